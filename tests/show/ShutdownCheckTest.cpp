#include "show/ShutdownCheck.h"

#include "catalogue/SatzStore.h"
#include "settings/Clock.h"

#include <gtest/gtest.h>

TEST(ShutdownCheck, WindowIsHalfAMinuteWithinTheSameDay) {
    CSatzStore store;
    store.m_bShutDown = true;
    store.m_timeShutDown = LocalTime(2007, 12, 13, 23, 59, 40);
    EXPECT_TRUE(IsShutdownDue(store, LocalTime(2026, 7, 1, 23, 59, 40)));
    EXPECT_TRUE(IsShutdownDue(store, LocalTime(2026, 7, 1, 23, 59, 59)));
    EXPECT_FALSE(IsShutdownDue(store, LocalTime(2026, 7, 2, 0, 0, 5))) << "no wrap past midnight";
    EXPECT_FALSE(IsShutdownDue(store, LocalTime(2026, 7, 1, 23, 59, 39)));

    store.m_timeShutDown = LocalTime(2007, 12, 13, 0, 0, 0);
    EXPECT_TRUE(IsShutdownDue(store, LocalTime(2026, 7, 2, 0, 0, 0)));
    store.m_bShutDown = false;
    EXPECT_FALSE(IsShutdownDue(store, LocalTime(2026, 7, 2, 0, 0, 0)));
}
