// The screen the real executable draws, pixel for pixel: a map of the test card's cells
// against the console the engine computes for it and the font's rasterization of that.
#include "Harness.hpp"

#include "cindra/ConsoleRasterizer.hpp"
#include "cindra/Map.hpp"
#include "cindra/TestCard.hpp"

#include <gtest/gtest.h>

#include <cstdint>

using namespace cindra::e2e;

namespace {

struct Mismatch {
    int count = 0;
    int firstX = -1;
    int firstY = -1;
};

Mismatch compare(const cindra::util::Image& actual, const cindra::util::Image& expected) {
    Mismatch result;
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                if (result.count++ == 0) {
                    result.firstX = x;
                    result.firstY = y;
                }
            }
        }
    }
    return result;
}

// Whether glyphs a and b cover the same texels (or, with inverse, exactly opposite ones).
bool sameMask(const cindra::FontAtlas& atlas, int a, int b, bool inverse = false) {
    for (int j = 0; j < atlas.glyphHeight(); ++j) {
        for (int i = 0; i < atlas.glyphWidth(); ++i) {
            const auto ta = cindra::glyphTexel(atlas, a, i, j);
            const auto tb = cindra::glyphTexel(atlas, b, i, j);
            const bool inA = atlas.intensity(ta.x, ta.y) >= 128;
            const bool inB = atlas.intensity(tb.x, tb.y) >= 128;
            if ((inA != inB) != inverse) {
                return false;
            }
        }
    }
    return true;
}

// A 128 x 96 map whose cells are the test card's, in full ambient light, so that every map
// cell draws in exactly its own colours.
cindra::Map testCardMap() {
    cindra::Console card(kConsoleWidth, kConsoleHeight);
    cindra::drawTestCard(card);
    cindra::Map map(kConsoleWidth, kConsoleHeight);
    for (int y = 0; y < kConsoleHeight; ++y) {
        for (int x = 0; x < kConsoleWidth; ++x) {
            const cindra::ConsoleChar& c = card.at(x, y);
            cindra::MapCell& cell = map.getCell(x, y);
            cell.glyph = static_cast<std::uint32_t>(c.glyph);
            cell.foreground = c.foreground;
            cell.background = c.background;
        }
    }
    map.setAmbientLight(256, 256, 256);
    return map;
}

// Runs the game on the test card map with the given configuration and checks its screen
// against the console a World makes of the same folder in this process.
void expectTestCard(const std::string& config, const std::string& vboLine) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    folder.addMap(testCardMap());
    folder.write("config.txt", config);
    const cindra::FontAtlas& atlas = gameFont();
    const cindra::util::Image expected = cindra::rasterize(renderWorld(folder), atlas);

    GameProcess game(xvfb, folder);
    ASSERT_EQ(game.waitForLine("VBOs enabled: "), vboLine) << game.errorOutput();
    const cindra::util::Image screen =
        game.screenshotWhen([&](const cindra::util::Image& shot) { return shot == expected; });
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);

    ASSERT_EQ(screen.width, 1024);
    ASSERT_EQ(screen.height, 768);
    const Mismatch mismatch = compare(screen, expected);
    EXPECT_EQ(mismatch.count, 0) << "first differing pixel (" << mismatch.firstX << ","
                                 << mismatch.firstY << ")";

    // The cells read back as the card's glyphs and colours, independently of the rasterizer.
    for (int glyph = 0; glyph < 256; ++glyph) {
        const auto cell = cindra::testCardCell(glyph);
        const auto decoded = cindra::decodeCell(screen, cell.x, cell.y, kConsoleHeight, atlas);
        ASSERT_TRUE(decoded.ok) << "glyph " << glyph;
        // The lowest glyph that explains the cell may be the inverse picture (7 for 8) drawn
        // with the two colours swapped.
        const bool inverse = !sameMask(atlas, decoded.glyph, glyph);
        EXPECT_TRUE(sameMask(atlas, decoded.glyph, glyph, inverse)) << "glyph " << glyph;
        const cindra::util::Color fg = cindra::testCardForeground(glyph);
        const cindra::util::Color bg = cindra::testCardBackground(glyph);
        EXPECT_EQ(decoded.background, inverse ? fg : bg) << "glyph " << glyph;
        // An empty or full cell shows only one of its two colours.
        if (!sameMask(atlas, glyph, 0) && !sameMask(atlas, glyph, 0, true)) {
            EXPECT_EQ(decoded.foreground, inverse ? bg : fg) << "glyph " << glyph;
        }
    }
    // The player stands at map cell (0,0), drawn over the card's empty corner.
    EXPECT_EQ(findGlyph(screen, '@', cindra::util::Color(255, 255, 255), {0, 0}, {0, 0}),
              (cindra::GridPos{0, 0}));
}

} // namespace

TEST(TestCardScreen, MatchesTheFontPixelForPixelWithBufferObjects) {
    expectTestCard("", "VBOs enabled: true");
}

TEST(TestCardScreen, MatchesTheFontPixelForPixelWithClientArrays) {
    expectTestCard("disableVBOs = true\n", "VBOs enabled: false");
}

TEST(TestCardScreen, FullScreenKeepsTheProjectionAndCells) {
    // 0 counts as true in the settings file.
    expectTestCard("fullscreen = 0\n", "VBOs enabled: true");
}
