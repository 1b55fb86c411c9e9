#pragma once
// The X server's own blanking: without a desktop session nothing else stops its screen saver
// (on after 10 minutes by default) or its display power management. The screen saver is
// suspended for as long as the connection lives (the server ends a suspension with its
// client); DPMS is switched off and, if it was on, on again at the end. Without the
// extensions, or without a connection (not under X11), nothing happens.

struct xcb_connection_t;

class CXcbScreenSaver {
public:
    explicit CXcbScreenSaver(xcb_connection_t* pConnection);
    CXcbScreenSaver(const CXcbScreenSaver&) = delete;
    CXcbScreenSaver& operator=(const CXcbScreenSaver&) = delete;
    ~CXcbScreenSaver() { Restore(); }

    void Suspend();
    void Restore();
    // blanking:: bits: the screen saver suspended, DPMS off.
    unsigned HeldBy() const;

private:
    xcb_connection_t* m_pConnection;
    bool m_bSaverSuspended = false;
    bool m_bDpmsOff = false;
    // DPMS was on before: switched on again at the end.
    bool m_bDpmsWasOn = false;
};

// The X connection of the running Qt application; none under another platform.
xcb_connection_t* QtXcbConnection();
