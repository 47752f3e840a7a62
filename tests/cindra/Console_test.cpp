#include "cindra/Console.hpp"
#include "cindra/Error.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using cindra::Console;
using cindra::countLines;
using cindra::GridPos;
using cindra::layoutText;
using cindra::util::Color;

TEST(LayoutText, CountsLinesAtTheWrapEdges) {
    EXPECT_EQ(countLines("", 10), 1);
    EXPECT_EQ(countLines("abc", 10), 1);
    EXPECT_EQ(countLines("abc\n", 10), 2);
    EXPECT_EQ(countLines("abc def", 6), 2);
    EXPECT_EQ(countLines("abc def", 7), 1);
    // A word longer than the width moves down once, even from the left margin.
    EXPECT_EQ(countLines("abcdefghijkl", 10), 2);
}

TEST(LayoutText, PlacesBytesAndHandlesLineEnds) {
    std::vector<std::string> placed;
    auto put = [&](int x, int y, int ch) {
        placed.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + static_cast<char>(ch));
    };
    EXPECT_EQ(layoutText({5, 10}, "a\r\nb", 20, put), 9);
    EXPECT_EQ(placed, (std::vector<std::string>{"5,10:a", "5,9:b"}));

    placed.clear();
    // Two spaces give an empty word that still advances the cursor by one column.
    layoutText({0, 0}, "a  b", 20, put);
    EXPECT_EQ(placed, (std::vector<std::string>{"0,0:a", "3,0:b"}));

    placed.clear();
    // A word ending exactly on the last column stays on its line.
    EXPECT_EQ(layoutText({0, 0}, "ab cd", 5, put), 0);
    EXPECT_EQ(placed.back(), "4,0:d");

    // At the edges of the int range the cursor does not overflow: cells beyond the range
    // are skipped, the lines are still counted, and the last line's y stops at the smallest
    // int.
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    placed.clear();
    EXPECT_EQ(layoutText({kMax - 1, 5}, "abc de", kMax, put), 5);
    EXPECT_EQ(placed, (std::vector<std::string>{std::to_string(kMax - 1) + ",5:a",
                                                std::to_string(kMax) + ",5:b"}));
    placed.clear();
    EXPECT_EQ(layoutText({0, kMin + 1}, "ab\ncd\nef", 10, put), kMin);
    EXPECT_EQ(placed.size(), 4u);
    EXPECT_EQ(layoutText({kMin, 0}, "ab cd", kMin, put), -2);
}

TEST(LayoutText, PassesBytesWithoutDecoding) {
    std::vector<int> bytes;
    layoutText({0, 0}, "\xC3\xA9", 10, [&](int, int, int ch) { bytes.push_back(ch); });
    EXPECT_EQ(bytes, (std::vector<int>{0xC3, 0xA9}));
}

TEST(ConsoleCells, SettersKeepTheAlphaByteAndFillSetsAllFour) {
    Console console(4, 3);
    console.at(1, 2).foreground.a = 7;
    console.setForeground(1, 2, Color(10, 20, 30, 99));
    EXPECT_EQ(console.at(1, 2).foreground, Color(10, 20, 30, 7));
    console.setChar(1, 2, 65);
    console.fill(Color(1, 2, 3, 4));
    EXPECT_EQ(console.at(1, 2).glyph, 65);
    EXPECT_EQ(console.at(1, 2).foreground, Color(1, 2, 3, 4));
    EXPECT_EQ(console.at(3, 0).background, Color(1, 2, 3, 4));
    EXPECT_TRUE(console.isInside(3, 2));
    EXPECT_FALSE(console.isInside(4, 2));
    EXPECT_FALSE(console.isInside(GridPos{0, -1}));
}

namespace {

Console numbered(int width, int height) {
    Console console(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            console.setChar(x, y, 100 * y + x + 1);
        }
    }
    return console;
}

} // namespace

TEST(ConsoleBlit, ClipsAtEveryEdge) {
    Console source = numbered(4, 2);
    Console target(6, 3);
    target.blit(source, {-2, 0});
    EXPECT_EQ(target.at(0, 0).glyph, 3);
    EXPECT_EQ(target.at(1, 1).glyph, 104);
    EXPECT_EQ(target.at(2, 0).glyph, 0);

    Console corner(6, 3);
    corner.blit(source, {4, 2});
    EXPECT_EQ(corner.at(4, 2).glyph, 1);
    EXPECT_EQ(corner.at(5, 2).glyph, 2);
    EXPECT_EQ(corner.at(3, 2).glyph, 0);
    EXPECT_EQ(corner.at(4, 1).glyph, 0);
}

TEST(ConsoleBlit, IgnoresSourcesOutsideOrTouchingTheEdge) {
    Console source = numbered(2, 2);
    Console target(3, 3);
    target.blit(source, {3, 0});
    target.blit(source, {0, -2});
    target.blit(source, {-10, 50});
    for (const auto& cell : target.cells) {
        EXPECT_EQ(cell.glyph, 0);
    }
}

TEST(ConsoleSize, RefusesNegativeAndAbsurdSizes) {
    EXPECT_THROW(Console(-1, 5), cindra::Error);
    EXPECT_THROW(Console(5, -1), cindra::Error);
    EXPECT_THROW(Console(70000, 70000), cindra::Error);
    Console empty(0, 0);
    EXPECT_TRUE(empty.cells.empty());
    Console target(3, 3);
    target.blit(empty, {1, 1});
    EXPECT_EQ(target.at(1, 1).glyph, 0);
}

TEST(ConsoleBlit, OntoItselfCopiesAsIfFromASnapshotRow) {
    Console console = numbered(4, 1);
    console.blit(console, {1, 0});
    EXPECT_EQ(console.at(0, 0).glyph, 1);
    EXPECT_EQ(console.at(1, 0).glyph, 1);
    EXPECT_EQ(console.at(2, 0).glyph, 2);
    EXPECT_EQ(console.at(3, 0).glyph, 3);
}
