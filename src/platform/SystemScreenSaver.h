#pragma once
// The desktop's screen-saver inhibition: org.freedesktop.ScreenSaver on the session bus, or
// the thread's execution state on Windows. Failures are ignored.

#include "platform/ScreenSaver.h"

class CSystemScreenSaver final : public IScreenSaver {
public:
    CSystemScreenSaver() = default;
    CSystemScreenSaver(const CSystemScreenSaver&) = delete;
    CSystemScreenSaver& operator=(const CSystemScreenSaver&) = delete;
    ~CSystemScreenSaver() override { Release(); }

    void Inhibit() override;
    void Release() override;

private:
    bool m_bHeld = false;
    unsigned int m_nCookie = 0;
};
