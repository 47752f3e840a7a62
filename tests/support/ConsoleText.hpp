// A console as text, one line per row from the top row down, so a test can show a screen or
// a box in one assertion. Printable ASCII glyphs stand for themselves, empty cells (glyph 0)
// are blanks, the single-line frame, corner, tee and cross glyphs are - | and +, the arrows
// are > < ^ v, the full block is # and the diamond is o; any other glyph is shown as ?.
#pragma once

#include "cindra/Console.hpp"

#include <string>

namespace cindra::test {

inline char glyphChar(int glyph) {
    switch (glyph) {
    case 0:
        return ' ';
    case 196:
        return '-';
    case 179:
        return '|';
    case 192:
    case 217:
    case 218:
    case 191:
    case 195:
    case 180:
    case 194:
    case 193:
    case 197:
        return '+';
    case 26:
        return '>';
    case 27:
        return '<';
    case 24:
        return '^';
    case 25:
        return 'v';
    case 219:
        return '#';
    case 4:
        return 'o';
    default:
        return glyph >= 32 && glyph < 127 ? static_cast<char>(glyph) : '?';
    }
}

// The cells of columns x1..x2 and rows y1..y2 (inclusive), top row first.
inline std::string consoleText(const Console& console, int x1, int y1, int x2, int y2) {
    std::string text;
    for (int y = y2; y >= y1; --y) {
        for (int x = x1; x <= x2; ++x) {
            text += glyphChar(console.at(x, y).glyph);
        }
        text += '\n';
    }
    return text;
}

// What a fresh console's cell holds after a colour setter, which copies red, green and blue
// and leaves the fourth byte at 0.
inline Color setterColour(Color c) {
    return {c.r, c.g, c.b, 0};
}

inline std::string consoleText(const Console& console) {
    return consoleText(console, 0, 0, console.width() - 1, console.height() - 1);
}

} // namespace cindra::test
