#include "platform/ServiceNotifier.h"

#include "settings/Trace.h"

#ifndef _WIN32
#include <systemd/sd-daemon.h>
#endif

namespace {
constexpr char kNotifySocket[] = "NOTIFY_SOCKET";
} // namespace

CServiceNotifier::CServiceNotifier(int nWatchdogPeriod, QObject* parent) : QObject(parent) {
    m_watchdog.setInterval(nWatchdogPeriod);
    connect(&m_watchdog, &QTimer::timeout, this, [] { Notify("WATCHDOG=1"); });
}

void CServiceNotifier::Ready() {
    if (!qEnvironmentVariableIsSet(kNotifySocket))
        return;
    Notify("READY=1");
    m_watchdog.start();
}

void CServiceNotifier::Notify(const char* szState) {
#ifndef _WIN32
    if (sd_notify(0, szState) < 0)
        TraceF("sd_notify %s fehlgeschlagen", szState);
#else
    Q_UNUSED(szState);
#endif
}
