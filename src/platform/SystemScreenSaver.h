#pragma once
// Every means of keeping the screen on that the system offers: on Linux the desktop session's
// inhibition (org.freedesktop.ScreenSaver on the session bus) and, under X11, the X server's own
// screen saver and DPMS; on Windows the thread's execution state.

#include "platform/ScreenSaver.h"

#ifndef _WIN32
#include "platform/DBusScreenSaver.h"
#include "platform/XcbScreenSaver.h"
#endif

class CSystemScreenSaver final : public IScreenSaver {
public:
    // Once the application object exists: it gives the X connection.
    CSystemScreenSaver();
    CSystemScreenSaver(const CSystemScreenSaver&) = delete;
    CSystemScreenSaver& operator=(const CSystemScreenSaver&) = delete;
    ~CSystemScreenSaver() override { Release(); }

    void Inhibit() override;
    void Release() override;
    unsigned HeldBy() const override;

private:
#ifdef _WIN32
    bool m_bHeld = false;
#else
    CDBusScreenSaver m_desktop;
    CXcbScreenSaver m_xServer;
#endif
};
