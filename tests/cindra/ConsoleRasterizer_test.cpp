#include "cindra/ConsoleRasterizer.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/GlyphTable.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

using cindra::Console;
using cindra::decodeCell;
using cindra::DecodedCell;
using cindra::Error;
using cindra::FontAtlas;
using cindra::glyphTexel;
using cindra::modulate;
using cindra::rasterize;
using cindra::util::Color;
using cindra::util::GlyphTable;
using cindra::util::Image;

namespace {

const Color kRed(255, 0, 0);
const Color kBlue(0, 0, 255);

FontAtlas gameFont() {
    return FontAtlas(
        GlyphTable::load(std::string(CINDRA_SOURCE_DIR) + "/tools/font/cp437-8x8.txt").toAtlas());
}

// A 128 x 128 atlas that is black except for the given texels.
FontAtlas atlasWith(std::initializer_list<std::pair<int, int>> texels, std::uint8_t red = 255) {
    Image img(128, 128);
    for (auto [x, y] : texels) {
        img.setPixel(x, y, Color(red, 0, 0));
    }
    return FontAtlas(img);
}

// A 128 x 128 atlas whose whole glyph cell at grid (column, row) is lit.
FontAtlas atlasWithCell(int column, int row) {
    Image img(128, 128);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            img.setPixel(column * 8 + x, row * 8 + y, Color(255, 255, 255));
        }
    }
    return FontAtlas(img);
}

void setCell(Console& c, int x, int y, int glyph, Color fg, Color bg) {
    c.at(x, y) = {glyph, fg, bg};
}

// A cell picture of one character throughout.
std::string uniformPicture(char c) {
    std::string s;
    for (int j = 0; j < 8; ++j) {
        s += std::string(8, c) + "/";
    }
    return s;
}

// The cell's pixels as text, '#' for fg and '.' for bg, top row first.
std::string cellPicture(const Image& img, int left, int top, Color fg) {
    std::string s;
    for (int j = 0; j < 8; ++j) {
        for (int i = 0; i < 8; ++i) {
            s += img.pixel(left + i, top + j) == fg ? '#' : '.';
        }
        s += '/';
    }
    return s;
}

} // namespace

TEST(ConsoleRasterizer, InRangeGlyphsSampleTheirOwnCellTexelForTexel) {
    Image img(256, 64); // glyphs of 16 x 4 pixels
    img.setPixel(16 + 15, 4 + 3, Color(255, 255, 255));
    FontAtlas atlas(img);
    for (int g = 0; g < 256; ++g) {
        for (int j = 0; j < 4; ++j) {
            for (int i = 0; i < 16; ++i) {
                auto t = glyphTexel(atlas, g, i, j);
                ASSERT_EQ(t.x, g / 16 * 16 + i);
                ASSERT_EQ(t.y, g % 16 * 4 + j);
            }
        }
    }
    Console c(1, 1);
    setCell(c, 0, 0, 17, kRed, kBlue); // grid column 1, row 1
    Image out = rasterize(c, atlas);
    ASSERT_EQ(out.width, 16);
    ASSERT_EQ(out.height, 4);
    EXPECT_EQ(out.pixel(15, 3), kRed);
    EXPECT_EQ(out.pixel(14, 3), kBlue);
}

TEST(ConsoleRasterizer, OutOfRangeGlyphsClampToTheAtlasEdge) {
    FontAtlas atlas = gameFont();
    // -1: column 0, row -1, so every pixel row samples the atlas's top row.
    EXPECT_EQ(glyphTexel(atlas, -1, 5, 7).x, 5);
    EXPECT_EQ(glyphTexel(atlas, -1, 5, 7).y, 0);
    // 256: column 16, beyond the right edge; row 0.
    EXPECT_EQ(glyphTexel(atlas, 256, 0, 6).x, 127);
    EXPECT_EQ(glyphTexel(atlas, 256, 0, 6).y, 6);
    // -17: column -1 and row -1 both clamp to 0.
    EXPECT_EQ(glyphTexel(atlas, -17, 7, 7).x, 0);
    EXPECT_EQ(glyphTexel(atlas, -17, 7, 7).y, 0);
    EXPECT_EQ(glyphTexel(atlas, INT_MAX, 3, 3).x, 127);
    EXPECT_EQ(glyphTexel(atlas, INT_MAX, 3, 3).y, 15 * 8 + 3); // INT_MAX % 16 == 15
    EXPECT_EQ(glyphTexel(atlas, INT_MIN, 3, 3).x, 0);
    EXPECT_EQ(glyphTexel(atlas, INT_MIN, 3, 3).y, 3); // INT_MIN % 16 == 0

    // Drawn: glyph -1 repeats the top row of glyph 0's cell on every line.
    FontAtlas topRow = atlasWith({{1, 0}, {6, 0}, {3, 5}, {127, 2}});
    Console c(2, 1);
    setCell(c, 0, 0, -1, kRed, kBlue);
    setCell(c, 1, 0, 256, kRed, kBlue);
    Image img = rasterize(c, topRow);
    std::string expected;
    for (int j = 0; j < 8; ++j) {
        expected += ".#....#./";
    }
    EXPECT_EQ(cellPicture(img, 0, 0, kRed), expected);
    // Glyph 256 shows the atlas's last texel column on every pixel of a row.
    std::string lastColumn = uniformPicture('.');
    lastColumn.replace(18, 8, "########");
    EXPECT_EQ(cellPicture(img, 8, 0, kRed), lastColumn);
}

TEST(ConsoleRasterizer, DrawsBackgroundsGlyphsAndFlipsRows) {
    FontAtlas font = gameFont();
    Console c(3, 2);
    setCell(c, 0, 0, 219, Color(10, 20, 30), kBlue); // bottom left: full block
    setCell(c, 2, 1, 196, kRed, Color(1, 2, 3));     // top right: horizontal line
    setCell(c, 1, 0, 0, kRed, Color(9, 9, 9));       // empty glyph
    Image img = rasterize(c, font);
    ASSERT_EQ(img.width, 24);
    ASSERT_EQ(img.height, 16);
    // Console row 0 is the bottom row of cells: image rows 8 to 15.
    for (int j = 8; j < 16; ++j) {
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(img.pixel(i, j), Color(10, 20, 30));
            ASSERT_EQ(img.pixel(8 + i, j), Color(9, 9, 9));
        }
    }
    EXPECT_EQ(cellPicture(img, 16, 0, kRed),
              "......../......../......../......../########/......../......../......../");
    EXPECT_EQ(img.pixel(16, 0), Color(1, 2, 3));
    // A fresh console (all cells zero) is black.
    Image black = rasterize(Console(2, 2), font);
    EXPECT_EQ(black, Image(16, 16));
}

TEST(ConsoleRasterizer, Glyph65SamplesGridColumn4Row1) {
    FontAtlas atlas = atlasWithCell(4, 1);
    Console c(2, 1);
    setCell(c, 0, 0, 65, kRed, kBlue);
    setCell(c, 1, 0, 20, kRed, kBlue); // column 1, row 4: dark
    Image img = rasterize(c, atlas);
    EXPECT_EQ(cellPicture(img, 0, 0, kRed), uniformPicture('#'));
    EXPECT_EQ(cellPicture(img, 8, 0, kRed), uniformPicture('.'));
}

TEST(ConsoleRasterizer, ForegroundIsModulatedAboveHalfIntensity) {
    Image img(128, 128);
    img.setPixel(0, 0, Color(127, 0, 0)); // at or below one half: not drawn
    img.setPixel(1, 0, Color(128, 0, 0));
    img.setPixel(2, 0, Color(200, 0, 0));
    img.setPixel(3, 0, Color(255, 0, 0));
    FontAtlas atlas(img);
    Console c(1, 1);
    setCell(c, 0, 0, 0, Color(255, 100, 3), Color(7, 7, 7));
    Image out = rasterize(c, atlas);
    EXPECT_EQ(out.pixel(0, 0), Color(7, 7, 7));
    EXPECT_EQ(out.pixel(1, 0), Color(128, 50, 2));
    EXPECT_EQ(out.pixel(2, 0), Color(200, 78, 2));
    EXPECT_EQ(out.pixel(3, 0), Color(255, 100, 3));
    EXPECT_EQ(modulate(255, 128), 128);
    EXPECT_EQ(modulate(1, 128), 1); // (128 + 127) / 255
    EXPECT_EQ(modulate(1, 127), 0);
}

TEST(ConsoleRasterizer, DecodesEveryGlyphOfTheGameFont) {
    FontAtlas font = gameFont();
    Console c(16, 16);
    for (int g = 0; g < 256; ++g) {
        auto v = static_cast<std::uint8_t>(g);
        setCell(c, g % 16, g / 16, g, Color(v, static_cast<std::uint8_t>(255 - v), 40),
                Color(static_cast<std::uint8_t>(v ^ 0x55), 200, static_cast<std::uint8_t>(v / 2)));
    }
    Image img = rasterize(c, font);
    // Some pictures have a lower glyph that explains them too: the blanks and the full block
    // (a uniform cell is glyph 0), and the inverse pairs, read back with swapped colours.
    const std::map<int, int> uniform = {{0, 0}, {32, 0}, {255, 0}, {219, 1}};
    const std::map<int, int> inverse = {{8, 7}, {10, 9}, {222, 221}, {223, 220}};
    Console decoded(16, 16);
    for (int g = 0; g < 256; ++g) {
        DecodedCell d = decodeCell(img, g % 16, g / 16, 16, font);
        ASSERT_TRUE(d.ok) << g;
        setCell(decoded, g % 16, g / 16, d.glyph, d.foreground, d.background);
        const cindra::ConsoleChar& cell = c.at(g % 16, g / 16);
        if (uniform.count(g)) {
            Color seen = uniform.at(g) ? cell.foreground : cell.background;
            EXPECT_EQ(d.glyph, 0);
            EXPECT_TRUE(d.foreground == seen && d.background == seen) << g;
        } else if (inverse.count(g)) {
            EXPECT_EQ(d.glyph, inverse.at(g));
            EXPECT_TRUE(d.foreground == cell.background && d.background == cell.foreground) << g;
        } else {
            EXPECT_EQ(d.glyph, g);
            EXPECT_TRUE(d.foreground == cell.foreground && d.background == cell.background) << g;
        }
    }
    EXPECT_EQ(rasterize(decoded, font), img);
}

TEST(ConsoleRasterizer, DecodeEdgeCases) {
    FontAtlas font = gameFont();
    Console c(3, 1);
    setCell(c, 0, 0, 219, kRed, kBlue); // a full block reads as glyph 0 in red
    setCell(c, 1, 0, 'A', kRed, kRed);  // invisible letter
    Image img = rasterize(c, font);
    DecodedCell full = decodeCell(img, 0, 0, 1, font);
    EXPECT_TRUE(full.ok);
    EXPECT_EQ(full.glyph, 0);
    EXPECT_EQ(full.foreground, kRed);
    EXPECT_EQ(decodeCell(img, 1, 0, 1, font).glyph, 0);

    img.setPixel(17, 3, Color(1, 2, 3)); // a stray pixel no glyph explains
    img.setPixel(20, 5, Color(4, 5, 6));
    EXPECT_FALSE(decodeCell(img, 2, 0, 1, font).ok);

    EXPECT_THROW(decodeCell(img, 3, 0, 1, font), Error);
    EXPECT_THROW(decodeCell(img, 0, 1, 1, font), Error);
    EXPECT_THROW(decodeCell(img, -1, 0, 1, font), Error);
    EXPECT_THROW(decodeCell(img, 0, 0, 2, font), Error);
}

TEST(ConsoleRasterizer, DecodesPartialIntensitiesToColoursThatRedrawTheSame) {
    Image atlasImage(128, 128);
    for (int x = 0; x < 8; ++x) {
        atlasImage.setPixel(8 + x, 0, Color(static_cast<std::uint8_t>(128 + x * 18), 0, 0));
    }
    FontAtlas atlas(atlasImage);
    Console c(1, 1);
    setCell(c, 0, 0, 16, Color(255, 101, 3), Color(7, 7, 7)); // glyph 16: grid column 1
    Image img = rasterize(c, atlas);
    DecodedCell d = decodeCell(img, 0, 0, 1, atlas);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.glyph, 16);
    EXPECT_EQ(d.background, Color(7, 7, 7));
    setCell(c, 0, 0, d.glyph, d.foreground, d.background);
    EXPECT_EQ(rasterize(c, atlas), img);
}
