#include "platform/SystemScreenSaver.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

namespace {
constexpr char kService[] = "org.freedesktop.ScreenSaver";
constexpr char kPath[] = "/org/freedesktop/ScreenSaver";
constexpr char kInterface[] = "org.freedesktop.ScreenSaver";
// A desktop without the service answers at once; a hung one must not hold up the show.
constexpr int kCallTimeoutMs = 2000;

QDBusMessage Call(const char* method, const QVariantList& arguments) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {};
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
        QString::fromLatin1(method));
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, kCallTimeoutMs);
}
} // namespace

void CSystemScreenSaver::Inhibit() {
    if (m_bHeld)
        return;
    const QDBusMessage reply =
        Call("Inhibit", {QCoreApplication::applicationName(), QStringLiteral("Slideshow")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return;
    m_nCookie = reply.arguments().constFirst().toUInt();
    m_bHeld = true;
}

void CSystemScreenSaver::Release() {
    if (!m_bHeld)
        return;
    m_bHeld = false;
    Call("UnInhibit", {m_nCookie});
}
