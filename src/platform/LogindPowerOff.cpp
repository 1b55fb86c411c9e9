#include "platform/SystemPowerOff.h"

#include <QDBusConnection>
#include <QDBusMessage>

void CSystemPowerOff::ShutdownPC() {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    // Not interactive: an unattended PC has nobody to answer an authorisation prompt.
    message << false;
    QDBusConnection::systemBus().send(message);
}
