#include "cindra/level/LevelSyntax.hpp"

#include "cindra/Error.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>

namespace cindra::level {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decodes the escape after a backslash at line[i]; i is left on its last character.
char readEscape(std::string_view line, std::size_t& i) {
    if (++i >= line.size()) {
        throw Error("unterminated text");
    }
    switch (line[i]) {
    case '\\':
        return '\\';
    case '"':
        return '"';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'x': {
        const int hi = i + 1 < line.size() ? hexDigit(line[i + 1]) : -1;
        const int lo = i + 2 < line.size() ? hexDigit(line[i + 2]) : -1;
        if (hi < 0 || lo < 0) {
            throw Error("\\x in a text needs two hex digits");
        }
        i += 2;
        return static_cast<char>(hi * 16 + lo);
    }
    default:
        throw Error(fmt::format("unknown escape \\{} in a text", line[i]));
    }
}

// Reads the quoted text starting at line[i] (the opening quote); i ends after the closing one.
Token readText(std::string_view line, std::size_t& i) {
    Token token{Token::Kind::Text, {}};
    for (++i; i < line.size(); ++i) {
        if (line[i] == '"') {
            ++i;
            return token;
        }
        token.value += line[i] == '\\' ? readEscape(line, i) : line[i];
    }
    throw Error("unterminated text");
}

Token readWord(std::string_view line, std::size_t& i) {
    const std::size_t start = i;
    while (i < line.size() && !isBlank(line[i])) {
        ++i;
    }
    return {Token::Kind::Word, std::string(line.substr(start, i - start))};
}

// A token as the author wrote it, for error messages.
std::string describe(const Token& token) {
    return token.kind == Token::Kind::Text ? quote(token.value) : "'" + token.value + "'";
}

} // namespace

const Token& TokenCursor::take(std::string_view what) {
    if (atEnd()) {
        throw Error(fmt::format("missing {}", what));
    }
    return tokens_[next_++];
}

const std::string& TokenCursor::takeWord(std::string_view what) {
    const Token& token = take(what);
    if (token.kind != Token::Kind::Word) {
        throw Error(fmt::format("expected {}, found {}", what, describe(token)));
    }
    return token.value;
}

const std::string& TokenCursor::takeText(std::string_view what) {
    const Token& token = take(what);
    if (token.kind != Token::Kind::Text) {
        throw Error(fmt::format("expected {} as a quoted text, found {}", what, describe(token)));
    }
    return token.value;
}

std::vector<Token> tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
        } else if (line[i] == '"') {
            tokens.push_back(readText(line, i));
        } else if (line[i] == '\'' && i + 2 < line.size() && line[i + 2] == '\'' &&
                   (i + 3 == line.size() || isBlank(line[i + 3]))) {
            tokens.push_back({Token::Kind::Char, std::string(1, line[i + 1])});
            i += 3;
        } else {
            tokens.push_back(readWord(line, i));
        }
    }
    return tokens;
}

std::int64_t parseInteger(const Token& token, std::int64_t min, std::int64_t max,
                          std::string_view what) {
    std::string_view s = token.value;
    const bool negative = !s.empty() && s[0] == '-';
    s.remove_prefix(negative ? 1 : 0);
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    std::uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    const bool number = token.kind == Token::Kind::Word && !s.empty() &&
                        end == s.data() + s.size() &&
                        (ec == std::errc() || ec == std::errc::result_out_of_range);
    if (!number) {
        throw Error(fmt::format("expected a number for {}, found {}", what, describe(token)));
    }
    // Every range asked for lies well inside 62 bits, so larger magnitudes are simply out.
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 62;
    const std::int64_t value = static_cast<std::int64_t>(std::min(magnitude, kLimit));
    const std::int64_t signedValue = negative ? -value : value;
    if (ec != std::errc() || signedValue < min || signedValue > max) {
        throw Error(fmt::format("{} {} is outside {}..{}", what, token.value, min, max));
    }
    return signedValue;
}

util::Color parseColor(const Token& token, std::string_view what) {
    const std::string& s = token.value;
    const bool wellFormed =
        token.kind == Token::Kind::Word && (s.size() == 7 || s.size() == 9) && s[0] == '#';
    std::uint8_t bytes[4] = {0, 0, 0, 255};
    for (std::size_t i = 1; wellFormed && i < s.size(); i += 2) {
        const int hi = hexDigit(s[i]);
        const int lo = hexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) {
            throw Error(
                fmt::format("{} {} is not a colour #rrggbb or #rrggbbaa", what, describe(token)));
        }
        bytes[i / 2] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    if (!wellFormed) {
        throw Error(
            fmt::format("{} {} is not a colour #rrggbb or #rrggbbaa", what, describe(token)));
    }
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

std::uint32_t parseGlyph(const Token& token, std::uint32_t max) {
    if (token.kind == Token::Kind::Char) {
        const auto glyph = static_cast<unsigned char>(token.value[0]);
        if (glyph > max) {
            throw Error(fmt::format("glyph {} is outside 0..{}", glyph, max));
        }
        return glyph;
    }
    return static_cast<std::uint32_t>(parseInteger(token, 0, max, "glyph"));
}

std::string formatColor(util::Color c) {
    if (c.a == 255) {
        return fmt::format("#{:02x}{:02x}{:02x}", c.r, c.g, c.b);
    }
    return fmt::format("#{:02x}{:02x}{:02x}{:02x}", c.r, c.g, c.b, c.a);
}

std::string formatGlyph(std::uint32_t glyph) {
    if (glyph >= 33 && glyph <= 126 && glyph != '\'') {
        return fmt::format("'{}'", static_cast<char>(glyph));
    }
    return std::to_string(glyph);
}

std::string quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u >= 32 && u < 127) {
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += fmt::format("\\x{:02x}", u);
        }
    }
    return out + "\"";
}

} // namespace cindra::level
