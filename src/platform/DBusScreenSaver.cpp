#include "platform/DBusScreenSaver.h"

#include "settings/Trace.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

namespace {
constexpr char kService[] = "org.freedesktop.ScreenSaver";
constexpr char kPath[] = "/org/freedesktop/ScreenSaver";
constexpr char kInterface[] = "org.freedesktop.ScreenSaver";
// A desktop without the service answers at once; a hung one must not hold up the end.
constexpr int kCallTimeoutMs = 2000;

QDBusMessage MethodCall(const QString& service, const char* method, const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, QString::fromLatin1(kPath),
                                                          QString::fromLatin1(kInterface),
                                                          QString::fromLatin1(method));
    message.setArguments(arguments);
    return message;
}
} // namespace

CDBusScreenSaver::CDBusScreenSaver(const QDBusConnection& bus, int nRecheckPeriod, int nRetryPeriod)
    : m_bus(bus),
      m_watcher(QString::fromLatin1(kService), bus, QDBusServiceWatcher::WatchForOwnerChange),
      m_nRecheckPeriod(nRecheckPeriod), m_nRetryPeriod(nRetryPeriod) {
    m_next.setSingleShot(true);
    connect(&m_next, &QTimer::timeout, this, &CDBusScreenSaver::Assert);
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                OnOwnerChanged(newOwner);
            });
}

CDBusScreenSaver::~CDBusScreenSaver() {
    Release();
}

void CDBusScreenSaver::Inhibit() {
    if (m_bWanted)
        return;
    m_bWanted = true;
    Assert();
}

void CDBusScreenSaver::Release() {
    m_bWanted = false;
    m_bHeld = false;
    m_next.stop();
    if (!m_cookieOwner.isEmpty())
        UnInhibit(m_cookieOwner, m_nCookie, true);
    m_cookieOwner.clear();
}

void CDBusScreenSaver::Assert() {
    if (!m_bWanted || m_bPending || !m_bus.isConnected())
        return;
    m_bPending = true;
    const QDBusMessage message =
        MethodCall(QString::fromLatin1(kService), "Inhibit",
                   {QCoreApplication::applicationName(), QStringLiteral("Slideshow")});
    auto* call = new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* done) {
        OnInhibitReply(*done);
        done->deleteLater();
    });
}

void CDBusScreenSaver::OnInhibitReply(const QDBusPendingCallWatcher& call) {
    m_bPending = false;
    const QDBusMessage reply = call.reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (m_bWanted) {
            if (m_bHeld || !m_next.isActive())
                TraceF("Bildschirmschoner: Inhibit über D-Bus fehlgeschlagen (%s), neuer Versuch",
                       qPrintable(reply.errorName()));
            m_bHeld = false;
            m_next.start(m_nRetryPeriod);
        }
        return;
    }
    const unsigned int nCookie = reply.arguments().constFirst().toUInt();
    if (!m_bWanted) { // released while the call was on its way
        UnInhibit(reply.service(), nCookie, false);
        return;
    }
    // The new inhibition holds before the one it replaces is given back.
    if (m_cookieOwner == reply.service() && m_nCookie != nCookie)
        UnInhibit(m_cookieOwner, m_nCookie, false);
    m_cookieOwner = reply.service();
    m_nCookie = nCookie;
    m_bHeld = true;
    m_next.start(m_nRecheckPeriod);
}

void CDBusScreenSaver::OnOwnerChanged(const QString& newOwner) {
    // The previous owner's inhibitions went with it.
    m_cookieOwner.clear();
    m_bHeld = false;
    if (!newOwner.isEmpty())
        Assert();
}

void CDBusScreenSaver::UnInhibit(const QString& owner, unsigned int nCookie, bool bWait) {
    if (!m_bus.isConnected())
        return;
    const QDBusMessage message = MethodCall(owner, "UnInhibit", {nCookie});
    m_bus.call(message, bWait ? QDBus::Block : QDBus::NoBlock, kCallTimeoutMs);
}
