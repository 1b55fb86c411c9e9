#pragma once
// Tells the service manager that the show is on screen, and then, from a timer of the
// user-interface thread, that it still makes progress: a hung loop, or a show that says it
// stalled, stops the watchdog message and the manager restarts the show. Started without a
// unit (no NOTIFY_SOCKET), it sends nothing.

#include <QObject>
#include <QTimer>
#include <functional>

namespace service {
// Well inside the unit's WatchdogSec=60.
inline constexpr int kWatchdogPeriod = 20000;
} // namespace service

class CServiceNotifier : public QObject {
    Q_OBJECT

public:
    using ProgressCheck = std::function<bool()>;

    explicit CServiceNotifier(int nWatchdogPeriod = service::kWatchdogPeriod,
                              QObject* parent = nullptr);

    // Once the first frame is painted, on the user-interface thread: ready, and from now on
    // the watchdog at each tick that isProgressing confirms. Later calls do nothing.
    void Ready(ProgressCheck isProgressing);
    // The line the manager shows with the unit's status.
    void Status(const QString& line);

private:
    static void Notify(const QByteArray& state);

    QTimer m_watchdog;
    ProgressCheck m_isProgressing;
};
