#include "cindra/util/GridPos.hpp"

#include <gtest/gtest.h>

#include <climits>

using cindra::util::GridPos;

TEST(GridPos, TextFormHasNoBlanksAndKeepsSigns) {
    EXPECT_EQ((GridPos{-1, 5}).toString(), "(-1,5)");
    EXPECT_EQ((GridPos{3, -4}).toString(), "(3,-4)");
    EXPECT_EQ((GridPos{0, 0}).toString(), "(0,0)");
    EXPECT_EQ((GridPos{INT_MIN, INT_MAX}).toString(), "(-2147483648,2147483647)");
}

TEST(GridPos, ComparesFieldByFieldAndAdds) {
    EXPECT_EQ((GridPos{1, 2}), (GridPos{1, 2}));
    EXPECT_NE((GridPos{1, 2}), (GridPos{2, 1}));
    EXPECT_EQ((GridPos{1, 2} + GridPos{-3, 4}), (GridPos{-2, 6}));
    EXPECT_EQ((GridPos{1, 2} - GridPos{-3, 4}), (GridPos{4, -2}));
}
