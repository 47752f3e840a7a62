#include "cindra/Error.hpp"
#include "cindra/Region.hpp"
#include "cindra/util/DataReader.hpp"
#include "cindra/util/DataWriter.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <sstream>
#include <utility>

using cindra::GridPos;
using cindra::Region;

namespace {

using CellSet = std::set<std::pair<int, int>>;

CellSet cellsOf(const Region& region) {
    CellSet cells;
    region.visit([&](int& x, int& y) {
        cells.emplace(x, y);
        return 0;
    });
    return cells;
}

Region block(int x1, int y1, int x2, int y2) {
    Region region;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) {
            region.add(x, y);
        }
    }
    return region;
}

Region fromCells(const CellSet& cells) {
    Region region;
    for (const auto& [x, y] : cells) {
        region.add(x, y);
    }
    return region;
}

} // namespace

TEST(Region, MembershipEditing) {
    Region r;
    r.add(3, 4);
    EXPECT_TRUE(r.contains(3, 4));
    EXPECT_FALSE(r.contains(4, 3));
    EXPECT_TRUE(r.contains(GridPos{3, 4}));
    r.toggle(5, 5);
    r.toggle(5, 5);
    r.toggle(GridPos{3, 4});
    r.toggle(GridPos{3, 4});
    EXPECT_EQ(cellsOf(r), (CellSet{{3, 4}}));
    r.remove(9, 9); // no row: nothing happens
    r.remove(3, 4);
    EXPECT_TRUE(cellsOf(r).empty());
    EXPECT_EQ(r.getCenter(), (GridPos{0, 0})); // its only row is empty
    EXPECT_EQ(r.rows().size(), 2u);            // empty row entries stay
    r.clear();
    EXPECT_TRUE(r.rows().empty());
}

TEST(Region, SetOperationsInPlace) {
    Region a = fromCells({{0, 0}, {1, 0}, {2, 0}});
    const Region b = fromCells({{2, 0}, {3, 0}, {0, 5}});
    Region u = a.clone();
    u.add(b);
    EXPECT_EQ(cellsOf(u), (CellSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 5}}));
    Region x = a.clone();
    x.toggle(b);
    EXPECT_EQ(cellsOf(x), (CellSet{{0, 0}, {1, 0}, {3, 0}, {0, 5}}));
    Region d = a.clone();
    d.remove(b);
    EXPECT_EQ(cellsOf(d), (CellSet{{0, 0}, {1, 0}}));
    // With itself: union keeps it, difference and symmetric difference empty it.
    a.add(a);
    EXPECT_EQ(cellsOf(a).size(), 3u);
    Region self = a.clone();
    self.toggle(self);
    EXPECT_TRUE(self.empty());
    a.remove(a);
    EXPECT_TRUE(a.empty());
}

TEST(Region, CloneIsIndependent) {
    Region original = fromCells({{1, 1}, {2, 1}});
    Region copy = original.clone();
    copy.add(3, 1);
    copy.remove(1, 1);
    original.add(7, 1);
    EXPECT_EQ(cellsOf(original), (CellSet{{1, 1}, {2, 1}, {7, 1}}));
    EXPECT_EQ(cellsOf(copy), (CellSet{{2, 1}, {3, 1}}));
}

TEST(Region, VisitStopsAndPassesCopies) {
    Region r = block(0, 0, 2, 2);
    int calls = 0;
    EXPECT_EQ(r.visit([&](int& x, int& y) {
        x = 50;
        y = 50;
        return ++calls == 4 ? 9 : 0;
    }),
              9);
    EXPECT_EQ(calls, 4);
    EXPECT_FALSE(r.contains(50, 50));
    EXPECT_EQ(r.size(), 9u);
}

TEST(Region, BorderAndInteriorSplitEveryCell) {
    const Region square = block(0, 0, 2, 2);
    EXPECT_EQ(square.border().size(), 8u);
    EXPECT_EQ(cellsOf(square.interior()), (CellSet{{1, 1}}));

    // An L shape with a hole: every cell is in exactly one of the two results.
    Region shape = block(0, 0, 6, 4);
    shape.add(block(0, 5, 2, 9));
    shape.remove(4, 2);
    const Region border = shape.border();
    const Region interior = shape.interior();
    EXPECT_EQ(border.size() + interior.size(), shape.size());
    Region both = border.clone();
    both.add(interior);
    EXPECT_EQ(both, shape);
    EXPECT_TRUE(border.contains(3, 1)); // diagonal neighbour of the hole
    EXPECT_TRUE(interior.contains(1, 6));
    EXPECT_FALSE(interior.contains(2, 6));
    EXPECT_TRUE(Region().border().empty());
    EXPECT_EQ(cellsOf(fromCells({{4, 4}}).border()), (CellSet{{4, 4}}));

    // A file may place cells at the edges of the 32-bit range, where some neighbours lie
    // beyond it: those are outside, so the cells are border.
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    for (const GridPos corner :
         {GridPos{kMin, kMin}, GridPos{kMax - 2, kMax - 2}, GridPos{kMax - 2, -1}}) {
        Region edge;
        for (int i = 0; i < 9; ++i) {
            edge.add(corner.x + i % 3, corner.y + i / 3);
        }
        EXPECT_EQ(edge.border().size(), 8u);
        EXPECT_EQ(cellsOf(edge.interior()), (CellSet{{corner.x + 1, corner.y + 1}}));
    }
}

TEST(Region, RandomSubsetAtTheProbabilityEdges) {
    const Region r = block(-3, -3, 3, 3);
    cindra::util::Random random(42);
    EXPECT_EQ(r.randomSubset(1.0f, random), r);
    const Region none = r.randomSubset(0.0f, random);
    EXPECT_LE(none.size(), 1u); // only a fraction of exactly 0 keeps a cell
    const Region half = block(0, 0, 99, 99).randomSubset(0.5f, random);
    EXPECT_GT(half.size(), 4500u);
    EXPECT_LT(half.size(), 5500u);
    // The same seed gives the same subset.
    cindra::util::Random a(7);
    cindra::util::Random b(7);
    EXPECT_EQ(r.randomSubset(0.3f, a), r.randomSubset(0.3f, b));
}

TEST(Region, TranslateLeavesTheOriginal) {
    const Region r = fromCells({{0, 0}});
    EXPECT_EQ(cellsOf(r.translate(2, -1)), (CellSet{{2, -1}}));
    EXPECT_EQ(cellsOf(r), (CellSet{{0, 0}}));
    const Region b = block(0, 0, 1, 1);
    EXPECT_EQ(b.translate(-5, 5), block(-5, 5, -4, 6));
    // Cells moved past the 32-bit range are dropped; the others move.
    constexpr int kMax = std::numeric_limits<int>::max();
    const Region edge = fromCells({{kMax, 0}, {kMax - 1, 0}, {0, kMax}});
    EXPECT_EQ(cellsOf(edge.translate(1, 0)), (CellSet{{kMax, 0}, {1, kMax}}));
    EXPECT_EQ(cellsOf(edge.translate(0, 1)), (CellSet{{kMax, 1}, {kMax - 1, 1}}));
    EXPECT_EQ(cellsOf(fromCells({{std::numeric_limits<int>::min(), 3}}).translate(-1, 0)),
              CellSet{});
}

TEST(Region, CentreIsTheMiddleOfTheMiddleRow) {
    EXPECT_EQ(Region().getCenter(), (GridPos{0, 0}));
    EXPECT_EQ(fromCells({{1, 5}, {2, 5}, {3, 5}}).getCenter(), (GridPos{2, 5}));
    // Rows 1, 2, 9: index 1 is row 2; its cells 4, 8: index 1 is 8.
    EXPECT_EQ(fromCells({{0, 1}, {4, 2}, {8, 2}, {3, 9}}).getCenter(), (GridPos{8, 2}));
    Region withEmptyMiddle = fromCells({{0, 1}, {5, 2}, {3, 9}});
    withEmptyMiddle.remove(5, 2);
    EXPECT_EQ(withEmptyMiddle.getCenter(), (GridPos{0, 0}));
    EXPECT_EQ(fromCells({{-4, -7}}).getCenter(), (GridPos{-4, -7}));
}

TEST(Region, StreamFormRoundTripsAndDropsEmptyRows) {
    Region r = fromCells({{1, 2}, {-3, 2}, {5, -6}});
    r.add(9, 7);
    r.remove(9, 7); // empty row 7: written with a count of 0
    std::ostringstream out;
    cindra::util::DataWriter writer(out);
    r.save(writer);
    // 3 rows: -6 {5}, 2 {-3, 1}, 7 {}.
    EXPECT_EQ(out.str().size(), 4u + (8 + 4) + (8 + 8) + 8);
    std::istringstream in(out.str());
    cindra::util::DataReader reader(in, "r.bin");
    Region loaded = fromCells({{100, 100}});
    loaded.load(reader); // adds without clearing
    EXPECT_EQ(cellsOf(loaded), (CellSet{{1, 2}, {-3, 2}, {5, -6}, {100, 100}}));
    EXPECT_FALSE(loaded.rows().count(7));
}

TEST(Region, RefusesCountsTheFileCannotHold) {
    auto loadBytes = [](std::initializer_list<std::int32_t> words) {
        std::ostringstream out;
        cindra::util::DataWriter writer(out);
        for (std::int32_t w : words) {
            writer.writeInt32(w);
        }
        std::istringstream in(out.str());
        cindra::util::DataReader reader(in, "bad.cmap");
        Region r;
        r.load(reader);
        return r;
    };
    EXPECT_THROW(loadBytes({-1}), cindra::Error);
    EXPECT_THROW(loadBytes({2, 0, 0}), cindra::Error);          // second row missing
    EXPECT_THROW(loadBytes({1, 0, 1000000000}), cindra::Error); // cell count too large
    EXPECT_THROW(loadBytes({1, 0, -2}), cindra::Error);         // negative cell count
    EXPECT_THROW(loadBytes({1, 0, 2, 7}), cindra::Error);       // data ends early
    EXPECT_EQ(loadBytes({1, 4, 2, 7, 8}), fromCells({{7, 4}, {8, 4}}));
    try {
        loadBytes({0x7FFFFFFF});
        FAIL();
    } catch (const cindra::Error& e) {
        EXPECT_NE(std::string(e.what()).find("bad.cmap"), std::string::npos);
    }
}
