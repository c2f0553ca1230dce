#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/Clock.h"

TEST(Clock, AdvancesWithRealTime)
{
    const double before = GetClockSeconds();
    const DWORD ticksBefore = GetTickCount();
    Sleep(150);
    const double elapsed = GetClockSeconds() - before;
    const DWORD ticks = GetTickCount() - ticksBefore;
    EXPECT_GE(elapsed, 0.14);
    // Agrees with the system tick count to within its coarse resolution.
    EXPECT_NEAR(ticks / 1000.0, elapsed, 0.05);
}

TEST(Clock, NeverGoesBackwards)
{
    double previous = GetClockSeconds();
    for (int i = 0; i < 10000; ++i) {
        const double now = GetClockSeconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(Stopwatch, LapReturnsTheTimeSinceTheLastLap)
{
    CStopwatch watch;
    Sleep(80);
    const double first = watch.Lap();
    EXPECT_GE(first, 0.075);
    EXPECT_LT(first, 1.0);
    // The lap restarted the watch.
    const double second = watch.GetElapsedSeconds();
    EXPECT_LT(second, first);
    EXPECT_GE(second, 0.0);
}

TEST(Stopwatch, ElapsedKeepsTheStart)
{
    CStopwatch watch;
    const double start = watch.GetStartReading();
    Sleep(30);
    EXPECT_GE(watch.GetElapsedSeconds(), 0.025);
    EXPECT_EQ(start, watch.GetStartReading());
}
