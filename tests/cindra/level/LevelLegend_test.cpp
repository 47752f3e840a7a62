#include "cindra/level/LevelLegend.hpp"

#include <gtest/gtest.h>

#include <set>

using cindra::Map;
using cindra::level::inventLegend;
using cindra::level::kKeyAlphabet;
using cindra::level::lookalikeKey;

TEST(LevelLegend, KeyAlphabetHoldsEveryPrintableCharacterOnce) {
    const std::set<char> distinct(kKeyAlphabet.begin(), kKeyAlphabet.end());
    EXPECT_EQ(distinct.size(), 94u);
    EXPECT_EQ(kKeyAlphabet.size(), 94u);
    EXPECT_EQ(*distinct.begin(), '!');
    EXPECT_EQ(*distinct.rbegin(), '~');
}

TEST(LevelLegend, LookalikesWinOverFirstComers) {
    Map map(3, 1);
    map.getCell(0, 0).glyph = 0;   // no look-alike: gets a free key
    map.getCell(1, 0).glyph = 'a'; // keeps 'a' although the first free key is 'a'
    map.getCell(2, 0).glyph = 'a';
    map.getCell(2, 0).flags = 1; // a second 'a' cell: 'a' is taken
    const auto legend = inventLegend(map);
    ASSERT_EQ(legend.entries.size(), 3u);
    EXPECT_EQ(legend.entries[0].first, "b");
    EXPECT_EQ(legend.entries[1].first, "a");
    EXPECT_EQ(legend.entries[2].first, "c");
    EXPECT_EQ(lookalikeKey(250), '.');
    EXPECT_EQ(lookalikeKey(' '), 0);
}

TEST(LevelLegend, EntriesFollowTheTopRowFirst) {
    Map map(1, 2);
    map.getCell(0, 0).glyph = 'x';
    map.getCell(0, 1).glyph = 'y';
    const auto legend = inventLegend(map);
    EXPECT_EQ(legend.entries[0].first, "y");
    EXPECT_EQ(legend.cellEntries, (std::vector<std::uint32_t>{1, 0}));
}

TEST(LevelLegend, WidthGrowsPastNinetyFourCells) {
    for (const auto& [count, width] : {std::pair{94, 1}, std::pair{95, 2}}) {
        Map map(count, 1);
        for (int x = 0; x < count; ++x) {
            map.getCell(x, 0).glyph = static_cast<std::uint32_t>(1000 + x);
        }
        const auto legend = inventLegend(map);
        EXPECT_EQ(legend.keyWidth, width);
        std::set<std::string> keys;
        for (const auto& entry : legend.entries) {
            EXPECT_EQ(entry.first.size(), static_cast<std::size_t>(width));
            keys.insert(entry.first);
        }
        EXPECT_EQ(keys.size(), static_cast<std::size_t>(count));
    }
}
