#pragma once
// The desktop session's inhibition, org.freedesktop.ScreenSaver on the session bus. Asserted
// afresh at every recheck and whenever the service appears or changes hands (a restarted
// service has forgotten the inhibition); a call that fails is tried again soon. The calls never
// wait on the show's thread, except the release at the end.

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>

class QDBusPendingCallWatcher;

namespace blanking {
inline constexpr int kRecheckPeriod = 10 * 60 * 1000;
inline constexpr int kRetryPeriod = 30 * 1000;
} // namespace blanking

class CDBusScreenSaver : public QObject {
    Q_OBJECT

public:
    explicit CDBusScreenSaver(const QDBusConnection& bus,
                              int nRecheckPeriod = blanking::kRecheckPeriod,
                              int nRetryPeriod = blanking::kRetryPeriod);
    ~CDBusScreenSaver() override;

    void Inhibit();
    void Release();
    // The service confirmed the inhibition, and has not gone away since.
    bool IsHeld() const { return m_bHeld; }

private:
    void Assert();
    void OnInhibitReply(const QDBusPendingCallWatcher& call);
    void OnOwnerChanged(const QString& newOwner);
    void UnInhibit(const QString& owner, unsigned int nCookie, bool bWait);

    QDBusConnection m_bus;
    QDBusServiceWatcher m_watcher;
    // The recheck, or the retry after a failed call.
    QTimer m_next;
    int m_nRecheckPeriod;
    int m_nRetryPeriod;
    bool m_bWanted = false;
    bool m_bPending = false;
    bool m_bHeld = false;
    // The cookie to give back, and the unique bus name of the service that gave it: a restarted
    // service numbers its cookies afresh, so another owner's cookie is never given back.
    QString m_cookieOwner;
    unsigned int m_nCookie = 0;
};
