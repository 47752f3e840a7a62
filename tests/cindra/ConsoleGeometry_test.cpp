#include "cindra/ConsoleGeometry.hpp"

#include <gtest/gtest.h>

#include <vector>

using cindra::Console;
using cindra::ConsoleChar;
using cindra::util::Color;

TEST(ConsoleGeometry, PositionsRunCellByCellCounterClockwise) {
    std::vector<float> out(3 * 2 * 8);
    cindra::writePositions(out, 3, 2);
    // Cell (0,0) first, then (1,0); cell (2,1) is quad 5.
    EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 8),
              (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
    EXPECT_EQ(std::vector<float>(out.begin() + 8, out.begin() + 16),
              (std::vector<float>{1, 0, 2, 0, 2, 1, 1, 1}));
    EXPECT_EQ(std::vector<float>(out.begin() + 40, out.end()),
              (std::vector<float>{2, 1, 3, 1, 3, 2, 2, 2}));
}

TEST(ConsoleGeometry, ColoursRepeatRgbWithOpaqueAlpha) {
    Console console(2, 1);
    console.at(1, 0).foreground = Color(10, 20, 30, 0);
    console.at(1, 0).background = Color(40, 50, 60, 7);
    std::vector<std::uint8_t> fg(2 * 16), bg(2 * 16);
    cindra::writeColours(fg, console.cells, cindra::ColourLayer::Foreground);
    cindra::writeColours(bg, console.cells, cindra::ColourLayer::Background);
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(fg[16 + 4 * v], 10);
        EXPECT_EQ(fg[16 + 4 * v + 2], 30);
        EXPECT_EQ(fg[16 + 4 * v + 3], 255);
        EXPECT_EQ(bg[16 + 4 * v + 1], 50);
        EXPECT_EQ(bg[16 + 4 * v + 3], 255);
        EXPECT_EQ(fg[4 * v + 3], 255);
    }
}

namespace {

std::vector<float> texCoordsOf(int glyph) {
    std::vector<ConsoleChar> cells(1);
    cells[0].glyph = glyph;
    std::vector<float> out(8);
    cindra::writeTexCoords(out, cells);
    return out;
}

} // namespace

TEST(ConsoleGeometry, TexCoordsFollowTheColumnMajorAtlas) {
    // Glyph 65: atlas column 4, row 1 from the top; the cell's top shows the glyph's top.
    EXPECT_EQ(texCoordsOf(65), (std::vector<float>{0.25f, 0.125f, 0.3125f, 0.125f, 0.3125f, 0.0625f,
                                                   0.25f, 0.0625f}));
    EXPECT_EQ(texCoordsOf(0), (std::vector<float>{0, 0.0625f, 0.0625f, 0.0625f, 0.0625f, 0, 0, 0}));
    EXPECT_EQ(texCoordsOf(255),
              (std::vector<float>{0.9375f, 1, 1, 1, 1, 0.9375f, 0.9375f, 0.9375f}));
    // Signed arithmetic: -1 is column 0 and row -1, outside the atlas.
    EXPECT_EQ(texCoordsOf(-1),
              (std::vector<float>{0, 0, 0.0625f, 0, 0.0625f, -0.0625f, 0, -0.0625f}));
}
