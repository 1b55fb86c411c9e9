#include "show/ShutdownCheck.h"

#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "show/ViewConstants.h"

bool IsShutdownDue(const CSatzStore& store, std::time_t now) {
    if (!store.m_bShutDown)
        return false;
    const int d = SecondsOfDay(now) - SecondsOfDay(store.m_timeShutDown);
    return d >= 0 && d <= view::kShutdownWindowSeconds;
}
