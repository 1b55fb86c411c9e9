#include "show/WindowTimers.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <vector>

TEST(WindowTimers, ArmingReplacesThePeriodAndTicksCarryTheirIdentifier) {
    std::vector<int> ticks;
    CWindowTimers timers([&](int nIDEvent) { ticks.push_back(nIDEvent); });
    EXPECT_FALSE(timers.IsArmed(1703));
    EXPECT_EQ(timers.Interval(1703), 0);
    timers.KillTimer(1703); // killing a timer never armed is harmless

    timers.SetTimer(1703, 10000);
    timers.SetTimer(1703, 3000);
    EXPECT_TRUE(timers.IsArmed(1703));
    EXPECT_EQ(timers.Interval(1703), 3000);
    timers.KillTimer(1703);
    EXPECT_FALSE(timers.IsArmed(1703));
    EXPECT_EQ(timers.Interval(1703), 0);

    timers.SetTimer(2398, 0);
    QCoreApplication::processEvents();
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front(), 2398);
    timers.KillTimer(2398);
}
