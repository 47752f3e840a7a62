#include "cindra/util/Rectangle.hpp"

#include <gtest/gtest.h>

using cindra::util::GridPos;
using cindra::util::IntRect;
using cindra::util::Rectangle;

TEST(Rectangle, NormalisesCornersAndContainsBothEnds) {
    const IntRect r(5, 7, 2, 3);
    EXPECT_EQ(r.x1, 2);
    EXPECT_EQ(r.y1, 3);
    EXPECT_EQ(r.x2, 5);
    EXPECT_EQ(r.y2, 7);
    EXPECT_TRUE(r.contains(2, 3));
    EXPECT_TRUE(r.contains(GridPos{5, 7}));
    EXPECT_FALSE(r.contains(6, 7));
    EXPECT_FALSE(r.contains(2, 2));
    // Only one axis reversed.
    EXPECT_EQ(IntRect(1, 9, 4, 2), IntRect(1, 2, 4, 9));
    const IntRect cell(4, 4, 4, 4);
    EXPECT_TRUE(cell.contains(4, 4));
    EXPECT_FALSE(cell.contains(5, 4));
}

TEST(Rectangle, IntersectionOfClosedIntervals) {
    const IntRect a(0, 0, 3, 3);
    EXPECT_EQ(a.intersect(IntRect(3, 1, 6, 2)), IntRect(3, 1, 3, 2)); // touching edge
    EXPECT_FALSE(a.intersect(IntRect(4, 0, 6, 6)).has_value());
    EXPECT_FALSE(a.intersect(IntRect(0, 4, 3, 9)).has_value());         // apart in y only
    EXPECT_EQ(a.intersect(IntRect(3, 3, 9, 9)), IntRect(3, 3, 3, 3));   // touching corner
    EXPECT_EQ(a.intersect(IntRect(-5, 1, 10, 2)), IntRect(0, 1, 3, 2)); // crossing
    EXPECT_EQ(a.intersect(IntRect(1, 1, 2, 2)), IntRect(1, 1, 2, 2));   // inside
    EXPECT_EQ(IntRect(1, 1, 2, 2).intersect(a), IntRect(1, 1, 2, 2));   // order does not matter
    EXPECT_EQ(a.intersect(a), a);
    EXPECT_FALSE(IntRect(-3, -3, -1, -1).intersect(a).has_value());
}

TEST(Rectangle, FloatInstance) {
    const Rectangle<float> r(1.5f, 2.0f, 0.5f, -1.0f);
    EXPECT_EQ(r.x1, 0.5f);
    EXPECT_EQ(r.y1, -1.0f);
    EXPECT_TRUE(r.contains(1.5f, 2.0f));
    EXPECT_EQ(r.intersect(Rectangle<float>(1.0f, 0.0f, 3.0f, 1.0f)),
              Rectangle<float>(1.0f, 0.0f, 1.5f, 1.0f));
}
