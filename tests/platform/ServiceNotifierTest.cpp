#include "platform/ServiceNotifier.h"

#include "support/NotifySocket.h"

#include <gtest/gtest.h>

TEST(ServiceNotifier, ReadyOnceThenTheWatchdogFromTheEventLoopOnlyUnderAUnit) {
    {
        CServiceNotifier notifier(50);
        notifier.Ready([] { return true; }); // no NOTIFY_SOCKET: nothing is sent, and no timer runs
    }
    CNotifySocket manager;
    CServiceNotifier notifier(50);
    EXPECT_EQ(manager.Next(100), "") << "nothing before the window is up";
    notifier.Ready([] { return true; });
    EXPECT_EQ(manager.Next(1000), "READY=1");
    EXPECT_EQ(manager.Next(1000), "WATCHDOG=1");
    EXPECT_EQ(manager.Next(1000), "WATCHDOG=1");
}
