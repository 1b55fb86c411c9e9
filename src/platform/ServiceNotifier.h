#pragma once
// Tells the service manager that the show is up, and then that its user-interface thread is
// alive: the watchdog message comes from a timer of that thread, so a hung loop stops it and
// the manager restarts the show. Started without a unit (no NOTIFY_SOCKET), it sends nothing.

#include <QObject>
#include <QTimer>

namespace service {
// Well inside the unit's WatchdogSec=60.
inline constexpr int kWatchdogPeriod = 20000;
} // namespace service

class CServiceNotifier : public QObject {
    Q_OBJECT

public:
    explicit CServiceNotifier(int nWatchdogPeriod = service::kWatchdogPeriod,
                              QObject* parent = nullptr);

    // Once the window is up, on the user-interface thread: ready, and the watchdog from now on.
    void Ready();

private:
    static void Notify(const char* szState);

    QTimer m_watchdog;
};
