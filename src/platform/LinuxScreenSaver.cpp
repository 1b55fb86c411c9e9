#ifndef _WIN32
#include "platform/SystemScreenSaver.h"

CSystemScreenSaver::CSystemScreenSaver()
    : m_desktop(QDBusConnection::sessionBus()), m_xServer(QtXcbConnection()) {}

void CSystemScreenSaver::Inhibit() {
    m_desktop.Inhibit();
    m_xServer.Suspend();
}

void CSystemScreenSaver::Release() {
    m_desktop.Release();
    m_xServer.Restore();
}

unsigned CSystemScreenSaver::HeldBy() const {
    return (m_desktop.IsHeld() ? blanking::kDesktop : 0U) | m_xServer.HeldBy();
}
#endif
