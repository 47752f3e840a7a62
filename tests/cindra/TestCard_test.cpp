#include "cindra/TestCard.hpp"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

TEST(TestCard, ShowsEveryGlyphOnceInDistinctColours) {
    cindra::Console console(128, 96);
    cindra::drawTestCard(console);
    std::set<std::tuple<int, int, int>> foregrounds;
    for (int glyph = 0; glyph < 256; ++glyph) {
        const auto cell = cindra::testCardCell(glyph);
        const auto& c = console.at(cell.x, cell.y);
        EXPECT_EQ(c.glyph, glyph);
        const auto expected = cindra::testCardForeground(glyph);
        EXPECT_EQ(c.foreground.r, expected.r);
        EXPECT_EQ(c.foreground.g, expected.g);
        EXPECT_EQ(c.foreground.b, expected.b);
        // Every channel differs, so no glyph can vanish into its background.
        EXPECT_NE(c.foreground.r, c.background.r);
        EXPECT_NE(c.foreground.g, c.background.g);
        EXPECT_NE(c.foreground.b, c.background.b);
        foregrounds.insert({c.foreground.r, c.foreground.g, c.foreground.b});
    }
    EXPECT_EQ(foregrounds.size(), 256u);
    // Laid out like the font sheet: 0 at the top left, 15 below it, 16 to its right.
    EXPECT_EQ(cindra::testCardCell(0).y, cindra::testCardCell(15).y + 15);
    EXPECT_EQ(cindra::testCardCell(16).x, cindra::testCardCell(0).x + 1);
}
