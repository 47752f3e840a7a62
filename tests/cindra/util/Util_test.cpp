#include "cindra/Error.hpp"
#include "cindra/util/Util.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace cindra::util;

TEST(Util, SignAndClamp) {
    EXPECT_EQ(sign(-7), -1);
    EXPECT_EQ(sign(0), 0);
    EXPECT_EQ(sign(12), 1);
    EXPECT_EQ(clamp(-3, 0, 9), 0);
    EXPECT_EQ(clamp(9, 0, 9), 9);
    EXPECT_EQ(clamp(4, 0, 9), 4);
    EXPECT_EQ(clamp(12, 0, 9), 9);
    // A minimum above the maximum: the minimum wins at or below it, the maximum above.
    EXPECT_EQ(clamp(5, 6, -28), 6);
    EXPECT_EQ(clamp(7, 6, -28), -28);
    EXPECT_EQ(clamp(0, 0, -1), 0);
}

TEST(Util, RoundToIntTiesToEven) {
    EXPECT_EQ(roundToInt(0.5f), 0);
    EXPECT_EQ(roundToInt(1.5f), 2);
    EXPECT_EQ(roundToInt(2.5f), 2);
    EXPECT_EQ(roundToInt(-0.5f), 0);
    EXPECT_EQ(roundToInt(-1.5f), -2);
    EXPECT_EQ(roundToInt(2.4999f), 2);
    EXPECT_EQ(roundToInt(254.5f), 254);
}

TEST(Util, NextPowerOfTwo) {
    EXPECT_EQ(nextPowerOfTwo(100), 128);
    EXPECT_EQ(nextPowerOfTwo(0), 1);
    EXPECT_EQ(nextPowerOfTwo(-5), 1);
    EXPECT_EQ(nextPowerOfTwo(1), 1);
    EXPECT_EQ(nextPowerOfTwo(2), 2);
    EXPECT_EQ(nextPowerOfTwo(3), 4);
    EXPECT_EQ(nextPowerOfTwo(1024), 1024);
    EXPECT_EQ(nextPowerOfTwo(1025), 2048);
    EXPECT_EQ(nextPowerOfTwo(1 << 30), 1 << 30);
    EXPECT_THROW(nextPowerOfTwo((1 << 30) + 1), cindra::Error);
}

TEST(Util, ArrayHelpers) {
    std::vector<int> v{1, 2, 3, 4, 5, 6};
    filter(v, [](int x) { return x % 2 == 0; });
    std::sort(v.begin(), v.end());
    EXPECT_EQ(v, (std::vector<int>{2, 4, 6}));
    filter(v, [](int) { return false; });
    EXPECT_TRUE(v.empty());

    const std::vector<std::string> names{"a", "b", "a"};
    EXPECT_EQ(indexOf(names, std::string("a")), 0u);
    EXPECT_EQ(indexOf(names, std::string("b")), 1u);
    EXPECT_EQ(indexOf(names, std::string("z")), 3u);

    std::vector<int> w{7, 8, 9};
    removeAt(w, 1);
    EXPECT_EQ(w, (std::vector<int>{7, 9}));
    removeAt(w, 1);
    EXPECT_EQ(w, (std::vector<int>{7}));
}
