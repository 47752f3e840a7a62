#include "cindra/Animation.hpp"

#include "cindra/Error.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using cindra::Error;
using cindra::FlashingAnimation;
using cindra::LinearAnimation;

TEST(Animation, NoLoopsNeverAdvances) {
    LinearAnimation a(10.0f, 20.0f, 1.0f, 0);
    EXPECT_TRUE(a.finished());
    EXPECT_FLOAT_EQ(a.update(0.5f), 10.0f);
    EXPECT_FLOAT_EQ(a.time, 0.0f);
    EXPECT_FLOAT_EQ(a.progress(), 0.0f);
}

TEST(Animation, ConsumesWholeCyclesAndKeepsTheRemainder) {
    LinearAnimation a(0.0f, 1.0f, 1.0f, 3);
    EXPECT_FLOAT_EQ(a.update(2.5f), 0.5f);
    EXPECT_EQ(a.loops, 1u);
    EXPECT_FLOAT_EQ(a.time, 0.5f);
    EXPECT_FALSE(a.finished());
    // Running into the last cycle's end pins the phase at exactly 1.
    EXPECT_FLOAT_EQ(a.update(0.75f), 1.0f);
    EXPECT_TRUE(a.finished());
    EXPECT_EQ(a.time, 1.0f);
}

TEST(Animation, LastCycleEndsAtExactlyOne) {
    LinearAnimation a(-4.0f, 8.0f, 1.0f, 1);
    EXPECT_EQ(a.update(1.5f), 8.0f);
    EXPECT_TRUE(a.finished());
    EXPECT_EQ(a.position, 1.0f);
    // A finished animation answers with its resting value and no longer moves.
    EXPECT_EQ(a.update(0.3f), 8.0f);
    EXPECT_EQ(a.time, 1.0f);
}

TEST(Animation, ReachingTheCycleCountExactlyFinishes) {
    LinearAnimation a(0.0f, 1.0f, 2.0f, 2);
    a.update(1.0f); // time 2.0: both cycles done
    EXPECT_TRUE(a.finished());
    EXPECT_EQ(a.time, 1.0f);
}

TEST(Animation, HugeStepsFinishAtOnce) {
    LinearAnimation a(0.0f, 1.0f, 1.0f, std::numeric_limits<std::uint32_t>::max());
    a.update(std::numeric_limits<float>::infinity());
    EXPECT_TRUE(a.finished());
    EXPECT_EQ(a.time, 1.0f);

    LinearAnimation b(0.0f, 1.0f, 1.0f, std::numeric_limits<std::uint32_t>::max());
    b.update(1.0e6f + 0.25f);
    EXPECT_EQ(b.loops, std::numeric_limits<std::uint32_t>::max() - 1000000u);
    EXPECT_FLOAT_EQ(b.time, 0.25f);
}

TEST(Animation, StepsRoundThePhaseDown) {
    LinearAnimation a(0.0f, 1.0f, 1.0f, 1, 1, 0.25f);
    EXPECT_FLOAT_EQ(a.update(0.6f), 0.5f);
    EXPECT_FLOAT_EQ(a.time, 0.6f);
    EXPECT_FLOAT_EQ(a.update(0.15f), 0.75f);
    // The finished phase 1 is a multiple of the step, so the curve rests at `to`.
    EXPECT_FLOAT_EQ(a.update(1.0f), 1.0f);
}

TEST(Animation, StepsNeedAPositiveStepSize) {
    EXPECT_THROW(LinearAnimation(0.0f, 1.0f, 1.0f, 1, 2, 0.0f), Error);
    EXPECT_THROW(LinearAnimation(0.0f, 1.0f, 1.0f, 1, 2, -0.5f), Error);
    EXPECT_THROW(FlashingAnimation(0.5f, std::nanf(""), 1), Error);
    EXPECT_NO_THROW(LinearAnimation(0.0f, 1.0f, 1.0f, 1, 0, 0.0f));
}

TEST(FlashingAnimation, OnBelowTheThresholdOffFromIt) {
    FlashingAnimation f(0.5f, 1.0f, 1);
    EXPECT_EQ(f.update(0.25f), 1.0f);
    EXPECT_EQ(f.update(0.125f), 1.0f); // phase 0.375
    EXPECT_EQ(f.update(0.125f), 0.0f); // phase exactly 0.5
    EXPECT_EQ(f.update(0.3f), 0.0f);
    EXPECT_EQ(f.update(1.0f), 0.0f); // finished at phase 1
    EXPECT_TRUE(f.finished());
}

TEST(FlashingAnimation, RestsOffEvenWithThresholdOneAndIsOffForNaN) {
    FlashingAnimation f(1.0f, 1.0f, 1);
    EXPECT_EQ(f.update(0.99f), 1.0f);
    EXPECT_EQ(f.update(0.5f), 0.0f);

    FlashingAnimation n(std::nanf(""), 1.0f, 1);
    EXPECT_EQ(n.update(0.1f), 0.0f);
}
