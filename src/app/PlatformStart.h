#pragma once
// Qt ends a display platform that cannot start (no X server behind DISPLAY, no framebuffer or
// DRM device) with a fatal message, which aborts with a hint about reinstalling. While held,
// this guard turns that fatal message into one line that names the platform and what to try,
// and ends the program with exit code 1. Qt's other messages of the start are kept back and
// passed on once the start has succeeded.

#include <QString>
#include <QStringList>
#include <string>

class CPlatformStartGuard {
public:
    // requested: the platform asked for by -platform or QT_QPA_PLATFORM, empty for Qt's default.
    explicit CPlatformStartGuard(const std::string& requested);
    ~CPlatformStartGuard();
    CPlatformStartGuard(const CPlatformStartGuard&) = delete;
    CPlatformStartGuard& operator=(const CPlatformStartGuard&) = delete;

    // The window stands: later messages go their usual way, the held ones first.
    void Release();
};

// The line for a platform that could not start, from the messages Qt gave on the way, the
// fatal one last; it ends in a line feed.
std::string PlatformFailureText(const QStringList& messages, const std::string& requested);
