#include "cindra/TestCard.hpp"

#include <string_view>

namespace cindra {

GridPos testCardCell(int glyph) {
    return {kTestCardOrigin.x + glyph / 16, kTestCardOrigin.y + 15 - glyph % 16};
}

// Bright foregrounds over dark backgrounds; every channel differs between the two, so no
// glyph can be mistaken for an empty cell.
Color testCardForeground(int glyph) {
    const int column = glyph / 16;
    const int row = glyph % 16;
    return Color(static_cast<std::uint8_t>(128 + column * 8),
                 static_cast<std::uint8_t>(128 + row * 8),
                 static_cast<std::uint8_t>(255 - (glyph * 7) % 64));
}

Color testCardBackground(int glyph) {
    const int column = glyph / 16;
    const int row = glyph % 16;
    return Color(static_cast<std::uint8_t>(row * 6), static_cast<std::uint8_t>(column * 6),
                 static_cast<std::uint8_t>(16 + (glyph * 5) % 64));
}

namespace {

void writeText(Console& console, GridPos at, std::string_view text, Color colour) {
    for (char ch : text) {
        if (console.isInside(at)) {
            console.setChar(at.x, at.y, static_cast<unsigned char>(ch));
            console.setForeground(at.x, at.y, colour);
            console.setBackground(at.x, at.y, Color(0, 0, 0));
        }
        at.x += 1;
    }
}

} // namespace

void drawTestCard(Console& console) {
    for (ConsoleChar& cell : console.cells) {
        cell = ConsoleChar{};
    }
    for (int glyph = 0; glyph < 256; ++glyph) {
        const GridPos cell = testCardCell(glyph);
        if (console.isInside(cell)) {
            console.setChar(cell.x, cell.y, glyph);
            console.setForeground(cell.x, cell.y, testCardForeground(glyph));
            console.setBackground(cell.x, cell.y, testCardBackground(glyph));
        }
    }
    const GridPos title{kTestCardOrigin.x - 4, kTestCardOrigin.y + 18};
    writeText(console, title, "Cindra test card", Color(255, 255, 255));
}

} // namespace cindra
