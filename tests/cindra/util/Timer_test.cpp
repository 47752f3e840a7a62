#include "cindra/util/Profiler.hpp"
#include "cindra/util/Timer.hpp"

#include "support/StdoutCapture.hpp"

#include <gtest/gtest.h>

using cindra::util::Profiler;
using cindra::util::Timer;

TEST(Timer, AccumulatesResetsAndIgnoresStop) {
    Timer timer;
    EXPECT_TRUE(timer.isRunning());
    timer.update(0.1f);
    timer.update(0.1f);
    timer.update(0.1f);
    EXPECT_NEAR(timer.getTime(), 0.3f, 1e-6f);
    timer.stop();
    EXPECT_FALSE(timer.isRunning());
    timer.update(0.5f);
    EXPECT_NEAR(timer.getTime(), 0.8f, 1e-6f);
    timer.reset();
    EXPECT_EQ(timer.getTime(), 0.0f);
}

TEST(Timer, SystemListsWithoutOwning) {
    cindra::util::TimerSystem system;
    Timer a;
    Timer b;
    system.add(a);
    system.add(b);
    ASSERT_EQ(system.timers().size(), 2u);
    EXPECT_EQ(system.timers()[1], &b);
}

TEST(Profiler, SectionsWithOneNameAccumulateIntoOneEntry) {
    Profiler::table().clear();
    Profiler::record("draw", 1500);
    Profiler::record("draw", 2500);
    { cindra::util::Section scoped("load"); }
    ASSERT_EQ(Profiler::table().size(), 2u);
    EXPECT_EQ(Profiler::table()["draw"].calls, 2u);
    EXPECT_EQ(Profiler::table()["draw"].totalMicros, 4000u);
    EXPECT_EQ(Profiler::table()["load"].calls, 1u);

    Profiler::table().erase("load");
    EXPECT_EQ(cindra::test::capturedStdout(Profiler::report), "draw: 2 calls, 0.004 sec\n");
    Profiler::table().clear();
}

TEST(Timer, SystemForgetsRemovedTimers) {
    cindra::util::TimerSystem system;
    Timer a;
    Timer b;
    system.add(a);
    system.add(b);
    system.remove(a);
    ASSERT_EQ(system.timers().size(), 1u);
    EXPECT_EQ(system.timers()[0], &b);
}
