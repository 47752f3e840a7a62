#include "playtest/ConsoleDump.hpp"

#include "playtest/Cp437.hpp"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace cindra::playtest {
namespace {

constexpr std::string_view kKeyDigits =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::uint64_t rgb(Color c) {
    return (std::uint64_t{c.r} << 16) | (c.g << 8) | c.b;
}

std::uint64_t pairOf(const ConsoleChar& cell) {
    return (rgb(cell.foreground) << 24) | rgb(cell.background);
}

// The cells' colour pairs, numbered by first appearance from the top row.
struct Palette {
    std::vector<const ConsoleChar*> firstCells; // one cell of each pair, in number order
    std::vector<std::size_t> numbers;           // per cell, top row first
};

Palette paletteOf(const Console& console) {
    Palette palette;
    std::unordered_map<std::uint64_t, std::size_t> numberOf;
    for (int y = console.height() - 1; y >= 0; --y) {
        for (int x = 0; x < console.width(); ++x) {
            const ConsoleChar& cell = console.at(x, y);
            const auto [it, added] = numberOf.try_emplace(pairOf(cell), numberOf.size());
            if (added) {
                palette.firstCells.push_back(&cell);
            }
            palette.numbers.push_back(it->second);
        }
    }
    return palette;
}

std::string keyOf(std::size_t number, std::size_t width) {
    std::string key(width, kKeyDigits[0]);
    for (std::size_t i = width; i-- > 0; number /= kKeyDigits.size()) {
        key[i] = kKeyDigits[number % kKeyDigits.size()];
    }
    return key;
}

std::size_t keyWidth(std::size_t pairs) {
    std::size_t width = 1;
    for (std::size_t capacity = kKeyDigits.size(); capacity < pairs;
         capacity *= kKeyDigits.size()) {
        ++width;
    }
    return width;
}

void appendGlyphs(std::string& out, const Console& console) {
    for (int y = console.height() - 1; y >= 0; --y) {
        for (int x = 0; x < console.width(); ++x) {
            const std::int32_t glyph = console.at(x, y).glyph;
            appendUtf8(out, glyph >= 0 && glyph < 256 ? cp437ToUnicode(glyph) : U'\uFFFD');
        }
        out += '\n';
    }
}

std::string colorText(Color c) {
    return std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b);
}

void appendColors(std::string& out, const Console& console) {
    const Palette palette = paletteOf(console);
    const std::size_t width = keyWidth(palette.firstCells.size());
    std::size_t cell = 0;
    for (int y = 0; y < console.height(); ++y) {
        for (int x = 0; x < console.width(); ++x) {
            out += keyOf(palette.numbers[cell++], width);
        }
        out += '\n';
    }
    out += '\n';
    for (std::size_t number = 0; number < palette.firstCells.size(); ++number) {
        const ConsoleChar& first = *palette.firstCells[number];
        out += keyOf(number, width) + " = fg " + colorText(first.foreground) + " bg " +
               colorText(first.background) + "\n";
    }
}

} // namespace

std::string dumpConsole(const Console& console) {
    std::string out;
    appendGlyphs(out, console);
    out += '\n';
    appendColors(out, console);
    return out;
}

} // namespace cindra::playtest
