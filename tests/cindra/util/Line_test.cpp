#include "cindra/Error.hpp"
#include "cindra/util/Line.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

using cindra::util::LineIterator;

namespace {

using Cells = std::vector<std::pair<int, int>>;

Cells walk(int x1, int y1, int x2, int y2) {
    Cells cells;
    LineIterator(x1, y1, x2, y2).visit([&](int& x, int& y) {
        cells.emplace_back(x, y);
        return 0;
    });
    return cells;
}

std::vector<float> distances(int x1, int y1, int x2, int y2) {
    std::vector<float> result;
    LineIterator(x1, y1, x2, y2).visit([&](int&, int&, float d) {
        result.push_back(d);
        return 0;
    });
    return result;
}

} // namespace

TEST(LineIterator, VisitsBothEndsAndStepsTheMinorAxisOnlyBelowZero) {
    EXPECT_EQ(walk(0, 0, 3, 1), (Cells{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(walk(0, 0, 2, 2), (Cells{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(walk(0, 0, 0, 0), (Cells{{0, 0}}));
    // An error of exactly 0 does not step: (0,0)->(4,2) steps y after the second cell.
    EXPECT_EQ(walk(0, 0, 4, 2), (Cells{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
    // Backwards and y-major.
    EXPECT_EQ(walk(3, 1, 0, 0), (Cells{{3, 1}, {2, 1}, {1, 0}, {0, 0}}));
    EXPECT_EQ(walk(0, 0, -1, -3), (Cells{{0, 0}, {0, -1}, {-1, -2}, {-1, -3}}));
    EXPECT_EQ(walk(5, 5, 5, 2), (Cells{{5, 5}, {5, 4}, {5, 3}, {5, 2}}));
}

TEST(LineIterator, EveryLineIsConnectedAndEndsExactlyAtItsEndPoint) {
    for (int x2 = -7; x2 <= 7; ++x2) {
        for (int y2 = -7; y2 <= 7; ++y2) {
            const Cells cells = walk(1, -2, x2, y2);
            ASSERT_EQ(cells.front(), std::make_pair(1, -2));
            ASSERT_EQ(cells.back(), std::make_pair(x2, y2));
            ASSERT_EQ(cells.size(),
                      static_cast<std::size_t>(std::max(std::abs(x2 - 1), std::abs(y2 + 2)) + 1));
            for (std::size_t i = 1; i < cells.size(); ++i) {
                ASSERT_LE(std::abs(cells[i].first - cells[i - 1].first), 1);
                ASSERT_LE(std::abs(cells[i].second - cells[i - 1].second), 1);
            }
        }
    }
}

TEST(LineIterator, StopsAtTheFirstNonzeroResult) {
    int calls = 0;
    LineIterator line(0, 0, 10, 0);
    const int result = line.visit([&](int&, int&) { return ++calls == 2 ? 7 : 0; });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(result, 7);
    // The last cell's result is the walk's result too.
    EXPECT_EQ(LineIterator(0, 0, 2, 0).visit([](int& x, int&) { return x == 2 ? -4 : 0; }), -4);
}

TEST(LineIterator, ChangingTheVisitorsCopiesDoesNotChangeTheWalk) {
    Cells cells;
    LineIterator(0, 0, 3, 0).visit([&](int& x, int& y) {
        cells.emplace_back(x, y);
        x = 100;
        y = 100;
        return 0;
    });
    EXPECT_EQ(cells, (Cells{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
}

TEST(LineIterator, DistancesGrowByTheSinglePrecisionStep) {
    const std::vector<float> d = distances(0, 0, 3, 1);
    ASSERT_EQ(d.size(), 4u);
    const float step = std::sqrt((2.0f / 6.0f) * (2.0f / 6.0f) + 1.0f);
    EXPECT_EQ(d[0], 0.0f);
    EXPECT_EQ(d[1], step);
    EXPECT_EQ(d[2], step + step);
    EXPECT_EQ(d[3], step + step + step);
    EXPECT_NEAR(d[3], 3.162f, 0.001f);
    EXPECT_EQ(distances(0, 0, 0, 0), (std::vector<float>{0.0f}));
    EXPECT_EQ(distances(0, 0, 0, -3), (std::vector<float>{0.0f, 1.0f, 2.0f, 3.0f}));
    const std::vector<float> diagonal = distances(0, 0, 2, 2);
    EXPECT_EQ(diagonal[2], std::sqrt(2.0f) + std::sqrt(2.0f));
}

TEST(LineIterator, FieldsAndSteps) {
    LineIterator line(4, 1, -2, 3);
    EXPECT_TRUE(line.xMajor);
    EXPECT_EQ(line.twiceDx, 12);
    EXPECT_EQ(line.twiceDy, 4);
    EXPECT_EQ(line.error, 6);
    int sx = 0;
    int sy = 0;
    line.getStep(sx, sy);
    EXPECT_EQ(sx, -1);
    EXPECT_EQ(sy, 1);
    EXPECT_FALSE(LineIterator(0, 0, 3, 3).xMajor); // diagonals are y-major
    EXPECT_THROW(LineIterator(-2147483647 - 1, 0, 2147483647, 0), cindra::Error);
    EXPECT_NO_THROW(LineIterator(0, 0, 0, 1 << 29));
    LineIterator point(2, 2, 2, 2);
    point.getStep(sx, sy);
    EXPECT_EQ(sx, 0);
    EXPECT_EQ(sy, 0);
}
