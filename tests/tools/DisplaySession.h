#pragma once
// The show on real display stacks, driven from outside: display servers and compositors
// started for one test, the screen's picture read back from each, and a working folder whose
// cache holds slides.

#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A program that ends with the test, by its own process id. What it prints goes to a file of
// its own, never into a pipe that nobody reads, where a talkative child would stall; the end of
// that file tells what went wrong. A caller that reads the standard output asks for the pipe.
class CChild {
public:
    enum class Output { Logged, Piped };
    CChild() = default;
    CChild(const CChild&) = delete;
    CChild& operator=(const CChild&) = delete;
    ~CChild() { Stop(); }

    void Start(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
               const QString& workingDirectory = {}, Output output = Output::Logged);
    void Stop();
    QProcess& Process() { return m_process; }
    // The last lines the program printed.
    QString LogTail() const;

private:
    QTemporaryDir m_logDir;
    QProcess m_process;
};

// An X server on a display of its own choice, ended with the test.
class CXServer {
public:
    CXServer(const QString& program, QStringList arguments, const QString& parent = {});
    // Empty when the server did not start.
    const QString& Display() const { return m_display; }
    QString LogTail() const { return m_server.LogTail(); }

private:
    CChild m_server;
    QString m_display;
};

// An Xvfb screen of that size whose framebuffer stays readable in a file.
class CFrameBufferServer {
public:
    explicit CFrameBufferServer(const QSize& size);
    const QString& Display() const { return m_server->Display(); }
    QString LogTail() const { return m_server->LogTail(); }
    // The screen as it stands; null before the server has written it.
    QImage Picture() const;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CXServer> m_server;
};

// A program's standard output, run to its end on an X display (none when display is empty).
QString RunOn(const QString& display, const QString& program, const QStringList& arguments);
// The picture of an X window dump of a 24-bit screen, as Xvfb's -fbdir keeps it.
QImage FromWindowDump(const QByteArray& data);
// The whole screen of a VNC server on the loopback port, read in raw encoding.
QImage ReadVncScreen(quint16 nPort);
// A loopback port nobody listens on at the moment.
quint16 FreeLoopbackPort();

// Every pixel of the screen's corners belongs to the show's black paint; a server's or a
// desktop's background shows wherever the window does not reach.
bool Covered(const QImage& picture);
// The show's window covers the screen of that size and a slide fills it, not a waiting
// message or a slide drawn at a smaller size in a corner.
bool SlideFills(const QImage& picture, const QSize& size);

// Whether every program is installed; otherwise names the first that is not.
bool Installed(const QStringList& programs, QString* missing);

// A working folder and settings store for one show whose cache holds the demo portal's
// slides, synced once per test program; the settings point the show at a loopback port where
// nothing answers, so its start-up sync fails at once and the cache shows.
class CShowFolder {
public:
    CShowFolder();
    bool IsValid() const { return m_bValid; }
    QString WorkPath() const { return m_dir.filePath(QStringLiteral("work")); }
    QString ConfigPath() const { return m_dir.filePath(QStringLiteral("config")); }
    QString Path() const { return m_dir.path(); }
    // The show's environment: its own settings store and caches, the platform, nothing of the
    // caller's display unless given again.
    QProcessEnvironment Environment(const QString& platform) const;
    // Hands the folders to the unprivileged user that runs a compositor refusing root.
    bool GiveTo(uint nUid) const;

private:
    QTemporaryDir m_dir;
    bool m_bValid = false;
};

// The user the compositors that refuse root run as, and the command prefix that drops to it;
// empty when the test does not run as root.
inline constexpr uint kUnprivilegedUid = 65534;
QStringList DropPrivileges();
// Why a case that needs these programs cannot be tried here; empty when it can. A case that
// lists setpriv runs as that user when the test runs as root, which the user must be let do.
QString Unavailable(const QStringList& programs);
// Hands a folder and everything in it to that user.
bool GiveTo(const QString& path, uint nUid);
