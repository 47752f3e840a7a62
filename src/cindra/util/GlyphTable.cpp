#include "cindra/util/GlyphTable.hpp"

#include "cindra/Error.hpp"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>

namespace cindra::util {

namespace {

// A table is about 25 KB; anything far larger is not a glyph table.
constexpr std::streamoff kMaxTableBytes = 1 << 20;

class TableParser {
public:
    TableParser(std::string_view text, const std::string& sourceName)
        : text_(text), name_(sourceName) {}

    GlyphTable run() {
        GlyphTable table;
        for (int glyph = 0; glyph < GlyphTable::kGlyphCount; ++glyph) {
            parseHeader(require("glyph " + std::to_string(glyph)), glyph);
            for (int y = 0; y < GlyphTable::kGlyphSize; ++y) {
                parseRow(
                    require("row " + std::to_string(y + 1) + " of glyph " + std::to_string(glyph)),
                    table, glyph, y);
            }
        }
        std::string_view extra;
        if (nextLine(extra)) {
            fail("unexpected text after the last glyph");
        }
        return table;
    }

private:
    // The next line that is neither empty nor a comment, without its line end.
    bool nextLine(std::string_view& line) {
        while (pos_ < text_.size()) {
            std::size_t end = text_.find('\n', pos_);
            end = end == std::string_view::npos ? text_.size() : end;
            line = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
            ++lineNumber_;
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            if (!line.empty() && line.front() != ';') {
                return true;
            }
        }
        return false;
    }

    std::string_view require(const std::string& what) {
        std::string_view line;
        if (!nextLine(line)) {
            ++lineNumber_; // the line after the last one
            fail("the table ends where " + what + " was expected");
        }
        return line;
    }

    void parseHeader(std::string_view line, int glyph) {
        constexpr std::string_view kKeyword = "glyph ";
        int number = -1;
        bool ok = line.substr(0, kKeyword.size()) == kKeyword;
        if (ok) {
            const char* first = line.data() + kKeyword.size();
            const char* last = line.data() + line.size();
            auto [end, ec] = std::from_chars(first, last, number);
            ok = ec == std::errc() && end != first && (end == last || *end == ' ');
        }
        if (!ok) {
            fail("expected \"glyph " + std::to_string(glyph) + "\"");
        }
        if (number != glyph) {
            fail("glyph " + std::to_string(number) + " found where glyph " + std::to_string(glyph) +
                 " was expected");
        }
    }

    void parseRow(std::string_view line, GlyphTable& table, int glyph, int y) {
        bool ok = line.size() == GlyphTable::kGlyphSize &&
                  line.find_first_not_of("#.") == std::string_view::npos;
        if (!ok) {
            fail("row " + std::to_string(y + 1) + " of glyph " + std::to_string(glyph) +
                 " must be 8 characters of '#' or '.'");
        }
        for (int x = 0; x < GlyphTable::kGlyphSize; ++x) {
            table.set(glyph, x, y, line[static_cast<std::size_t>(x)] == '#');
        }
    }

    [[noreturn]] void fail(const std::string& reason) const {
        throw Error(name_ + ":" + std::to_string(lineNumber_) + ": " + reason);
    }

    std::string_view text_;
    const std::string& name_;
    std::size_t pos_ = 0;
    int lineNumber_ = 0;
};

} // namespace

GlyphTable GlyphTable::parse(std::string_view text, const std::string& sourceName) {
    return TableParser(text, sourceName).run();
}

GlyphTable GlyphTable::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw Error("Cannot read glyph table " + path + ": " + std::strerror(errno));
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) {
        throw Error("Cannot read glyph table " + path + ": not a regular file");
    }
    if (size > kMaxTableBytes) {
        throw Error("Cannot read glyph table " + path + ": too large for a glyph table");
    }
    in.seekg(0);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in.read(text.data(), size)) {
        throw Error("Cannot read glyph table " + path + ": read error");
    }
    return parse(text, path);
}

void GlyphTable::set(int glyph, int x, int y, bool on) {
    auto bit = static_cast<std::uint8_t>(0x80 >> x);
    std::uint8_t& row = rows_[index(glyph, y)];
    row = on ? static_cast<std::uint8_t>(row | bit) : static_cast<std::uint8_t>(row & ~bit);
}

Image GlyphTable::toAtlas() const {
    Image atlas(kGridSize * kGlyphSize, kGridSize * kGlyphSize);
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        int left = glyph / kGridSize * kGlyphSize;
        int top = glyph % kGridSize * kGlyphSize;
        for (int y = 0; y < kGlyphSize; ++y) {
            for (int x = 0; x < kGlyphSize; ++x) {
                if (isSet(glyph, x, y)) {
                    atlas.setPixel(left + x, top + y, Color(255, 255, 255));
                }
            }
        }
    }
    return atlas;
}

} // namespace cindra::util
