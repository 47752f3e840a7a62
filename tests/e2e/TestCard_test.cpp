// The screen the real executable draws, read back pixel for pixel against the font.
#include "Harness.hpp"

#include "cindra/ConsoleRasterizer.hpp"
#include "cindra/TestCard.hpp"

#include <gtest/gtest.h>

#include <thread>

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

// Runs the game with the given configuration and checks its screen against the test card.
void expectTestCard(const std::string& config, const std::string& vboLine) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addFont();
    folder.write("config.txt", config);
    GameProcess game(xvfb, folder);
    ASSERT_EQ(game.waitForLine("VBOs enabled: "), vboLine) << game.errorOutput();
    std::this_thread::sleep_for(500ms); // let a few frames reach the screen
    const cindra::util::Image screen = game.screenshot();
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);

    const cindra::FontAtlas atlas(
        cindra::util::readPng((sourceDir() / "game/terminal.png").string()));
    cindra::Console card(128, 96);
    cindra::drawTestCard(card);
    const cindra::util::Image expected = cindra::rasterize(card, atlas);
    ASSERT_EQ(screen.width, 1024);
    ASSERT_EQ(screen.height, 768);
    const Mismatch mismatch = compare(screen, expected);
    EXPECT_EQ(mismatch.count, 0) << "first differing pixel (" << mismatch.firstX << ","
                                 << mismatch.firstY << ")";

    for (int glyph = 0; glyph < 256; ++glyph) {
        const auto cell = cindra::testCardCell(glyph);
        const auto decoded = cindra::decodeCell(screen, cell.x, cell.y, 96, atlas);
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
