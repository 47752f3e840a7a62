#include "cindra/editor/Outliner.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

using cindra::Region;
using cindra::editor::forEachNeighbour;
using cindra::editor::kNoGlyph;
using cindra::editor::outlineMask;
using cindra::editor::Outliner;

namespace {

using Glyphs = std::map<std::pair<int, int>, int>;

Glyphs outline(const Region& region, std::int8_t style) {
    Glyphs glyphs;
    Outliner(region, style).visit([&](int x, int y, int glyph) {
        glyphs[{x, y}] = glyph;
        return 0;
    });
    return glyphs;
}

Region block(int x0, int y0, int w, int h) {
    Region r;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            r.add(x, y);
        }
    }
    return r;
}

} // namespace

TEST(ForEachNeighbour, FixedOrderAndEarlyStop) {
    std::vector<std::string> seen;
    const int result = forEachNeighbour({10, 20}, [&](int x, int y, std::uint32_t bit) {
        seen.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + std::to_string(bit));
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"9,19:64", "10,19:4", "11,19:128", "9,20:8",
                                              "11,20:2", "9,21:16", "10,21:1", "11,21:32"}));
    int calls = 0;
    EXPECT_EQ(
        forEachNeighbour({0, 0}, [&](int, int, std::uint32_t) { return ++calls == 3 ? 7 : 0; }), 7);
    EXPECT_EQ(calls, 3);
}

TEST(ForEachNeighbour, NoNeighboursBeyondTheIntRange) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    std::vector<std::string> seen;
    forEachNeighbour({kMax, kMin}, [&](int x, int y, std::uint32_t bit) {
        seen.push_back(std::to_string(x - kMax) + "," + std::to_string(y - kMin) + ":" +
                       std::to_string(bit));
        return 0;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"-1,0:8", "-1,1:16", "0,1:1"}));
    // A block in that corner is outlined like any other.
    Region corner;
    for (int dx = 0; dx < 2; ++dx) {
        for (int dy = 0; dy < 2; ++dy) {
            corner.add(kMax - dx, kMin + dy);
        }
    }
    EXPECT_EQ(outline(corner, 0).size(), 4u);
}

TEST(OutlineMask, NeedsTwoNeighbours) {
    EXPECT_EQ(outlineMask(0xFF, 1), 0u);
    EXPECT_EQ(outlineMask(0xFF, 2), 15u);
    EXPECT_EQ(outlineMask(16 | 32 | 1, 3), 1u);
}

TEST(Outliner, ThreeByThreeBlockFromTheBottomUp) {
    const Glyphs single = outline(block(0, 0, 3, 3), 0);
    const std::vector<int> expected = {192, 193, 217, 195, 197, 180, 218, 194, 191};
    std::vector<int> got;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            got.push_back(single.at({x, y}));
        }
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(outline(block(0, 0, 3, 3), 1).at({1, 1}), 206);
    EXPECT_EQ(outline(block(0, 0, 3, 3), 2).at({0, 0}), 200);
}

TEST(Outliner, SkipsLoneCellsAndCellsWithOneNeighbour) {
    Region r;
    r.add(0, 0);
    r.add(5, 5);
    r.add(6, 5);
    EXPECT_TRUE(outline(r, 0).empty());
}

TEST(Outliner, LShapeCornerAndArms) {
    Region r;
    r.add(4, 4);
    r.add(5, 4);
    r.add(4, 5);
    std::uint32_t mask = 0;
    EXPECT_EQ(Outliner(r).neighbours(4, 4, mask), 2);
    EXPECT_EQ(mask, 3u);
    EXPECT_EQ(Outliner(r).neighbours(5, 4, mask), 2);
    EXPECT_EQ(mask, 8u | 16u);
    const Glyphs glyphs = outline(r, 0);
    EXPECT_EQ(glyphs.at({4, 4}), 192);
    // Arms with one orthogonal neighbour get the straight segment towards it.
    EXPECT_EQ(glyphs.at({5, 4}), 196);
    EXPECT_EQ(glyphs.at({4, 5}), 179);
}

TEST(Outliner, OnlyDiagonalNeighboursGiveNothing) {
    Region r;
    r.add(1, 1);
    r.add(0, 0);
    r.add(2, 2);
    EXPECT_EQ(outline(r, 0).count({1, 1}), 0u);
}

TEST(Outliner, StraightLineIgnoresDiagonals) {
    Region r = block(0, 0, 3, 1);
    r.add(0, 1);
    r.add(2, -1);
    EXPECT_EQ(outline(r, 0).at({1, 0}), 196);
}

TEST(Outliner, VisitorStopsTheWalk) {
    int calls = 0;
    const int result =
        Outliner(block(0, 0, 4, 4)).visit([&](int, int, int) { return ++calls == 2 ? -3 : 0; });
    EXPECT_EQ(result, -3);
    EXPECT_EQ(calls, 2);
}

TEST(Outliner, TileTypes) {
    using T = Outliner::TileType;
    EXPECT_EQ(Outliner::tileType(0), T::None);
    EXPECT_EQ(Outliner::tileType(4), T::End);
    EXPECT_EQ(Outliner::tileType(5), T::Straight);
    EXPECT_EQ(Outliner::tileType(10 | 16), T::Straight);
    EXPECT_EQ(Outliner::tileType(6), T::Corner);
    EXPECT_EQ(Outliner::tileType(13), T::Tee);
    EXPECT_EQ(Outliner::tileType(15), T::Cross);
}
