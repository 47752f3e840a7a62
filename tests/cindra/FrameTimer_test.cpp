#include "cindra/FrameTimer.hpp"

#include <gtest/gtest.h>

#include <limits>

TEST(FrameTimer, ClampsLongAndUndefinedFrames) {
    EXPECT_FLOAT_EQ(cindra::clampFrameTime(0.016), 0.016f);
    EXPECT_EQ(cindra::clampFrameTime(0.1), 0.1f);
    EXPECT_EQ(cindra::clampFrameTime(2.0), 0.1f);
    EXPECT_EQ(cindra::clampFrameTime(std::numeric_limits<double>::quiet_NaN()), 0.1f);

    cindra::FrameTimer timer(10.0);
    EXPECT_FLOAT_EQ(timer.measure(10.02), 0.02f);
    EXPECT_EQ(timer.measure(12.02), 0.1f);
    // The previous reading moves on even when the frame was clamped.
    EXPECT_FLOAT_EQ(timer.measure(12.05), 0.03f);
}
