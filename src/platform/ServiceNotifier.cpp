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
    connect(&m_watchdog, &QTimer::timeout, this, [this] {
        if (m_isProgressing())
            Notify("WATCHDOG=1");
        else
            Trace(QStringLiteral("Watchdog: die Show kommt nicht voran"));
    });
}

void CServiceNotifier::Ready(ProgressCheck isProgressing) {
    if (!qEnvironmentVariableIsSet(kNotifySocket) || m_watchdog.isActive())
        return;
    m_isProgressing = std::move(isProgressing);
    Notify("READY=1");
    m_watchdog.start();
}

void CServiceNotifier::Status(const QString& line) {
    if (qEnvironmentVariableIsSet(kNotifySocket))
        Notify("STATUS=" + line.toUtf8());
}

void CServiceNotifier::Notify(const QByteArray& state) {
#ifndef _WIN32
    if (sd_notify(0, state.constData()) < 0)
        TraceF("sd_notify %s fehlgeschlagen", state.constData());
#else
    Q_UNUSED(state);
#endif
}
