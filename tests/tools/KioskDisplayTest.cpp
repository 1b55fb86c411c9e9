// The show on a bare X server, with no window manager to carry out its full-screen request:
// a screenshot of the server's framebuffer shows the window covering the screen at both sizes.
// And a platform that cannot start ends the program in one line with exit code 1.

#include "support/Emulation.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// A pixel of an X window dump of a 24-bit screen, as Xvfb's -fbdir keeps it.
class CWindowDump {
public:
    explicit CWindowDump(const QByteArray& data) : m_data(data) {
        if (m_data.size() < kHeaderFields * 4)
            return;
        m_nWidth = int(Field(4));
        m_nHeight = int(Field(5));
        m_nBytesPerLine = int(Field(12));
        m_nPixels = qsizetype(Field(0)) + qsizetype(Field(19)) * kColourBytes;
    }
    QSize Size() const { return {m_nWidth, m_nHeight}; }
    bool IsBlack(int x, int y) const {
        const qsizetype at = m_nPixels + qsizetype(y) * m_nBytesPerLine + x * 4;
        return at + 3 <= m_data.size() && m_data[at] == 0 && m_data[at + 1] == 0 &&
               m_data[at + 2] == 0;
    }

private:
    static constexpr int kHeaderFields = 25;
    static constexpr int kColourBytes = 12;
    quint32 Field(int n) const { return qFromBigEndian<quint32>(m_data.constData() + 4 * n); }

    QByteArray m_data;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBytesPerLine = 0;
    qsizetype m_nPixels = 0;
};

// Every pixel of the screen's corners and centre belongs to the show's black paint; the
// server's white root shows wherever the window does not reach.
bool Covered(const CWindowDump& dump) {
    const QSize size = dump.Size();
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(size.width() - 4, 0), QPoint(0, size.height() - 4),
          QPoint(size.width() - 4, size.height() - 4)})
        for (int dy = 0; dy < 4; ++dy)
            for (int dx = 0; dx < 4; ++dx)
                if (!dump.IsBlack(corner.x() + dx, corner.y() + dy))
                    return false;
    return !size.isEmpty();
}

// An X server on a display of its own choice, ended with the test.
class CXServer {
public:
    CXServer(const QString& program, QStringList arguments, const QString& parent = {}) {
        // -displayfd 1: the server picks a free display and names it on its output.
        arguments << QStringLiteral("-displayfd") << QStringLiteral("1")
                  << QStringLiteral("-nolisten") << QStringLiteral("tcp");
        if (!parent.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("DISPLAY"), parent);
            m_process.setProcessEnvironment(env);
        }
        m_process.start(program, arguments);
        QByteArray display;
        for (QDeadlineTimer deadline(20000); !display.endsWith('\n') && !deadline.hasExpired();)
            if (m_process.waitForReadyRead(1000))
                display += m_process.readAllStandardOutput();
        if (display.endsWith('\n'))
            m_display = QLatin1Char(':') + QString::fromLatin1(display.trimmed());
    }
    ~CXServer() {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }
    // Empty when the server did not start.
    const QString& Display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

// The show with settings of its own in dir, on an X display.
void StartShow(QProcess& show, const QString& display, const QTemporaryDir& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    show.setProcessEnvironment(env);
    show.setWorkingDirectory(dir.path());
    show.start(QString::fromUtf8(ZELVORA_PROGRAM), {});
}

QString RunOn(const QString& display, const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Whether the show's window stands at that geometry ("1024x768+0+0") within the time.
bool WindowReaches(const QString& display, const QString& geometry, int nMs) {
    const QString shown = QStringLiteral("(\"zelvora\" \"Zelvora\")  ") + geometry;
    for (QDeadlineTimer deadline(nMs); !deadline.hasExpired(); QThread::msleep(50))
        if (RunOn(display, QStringLiteral("xwininfo"),
                  {QStringLiteral("-root"), QStringLiteral("-tree")})
                .contains(shown))
            return true;
    return false;
}

} // namespace

TEST(KioskDisplay, TheWindowCoversABareXServersScreenAtBothSizes) {
    SKIP_WITHOUT_CHILD_PROCESSES();
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    for (const QSize size : {QSize(1920, 1080), QSize(3840, 2160)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        QTemporaryDir dir;
        const CXServer server(QStringLiteral("Xvfb"),
                              {QStringLiteral("-screen"), QStringLiteral("0"),
                               QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()),
                               QStringLiteral("-fbdir"), dir.path(), QStringLiteral("-wr")});
        ASSERT_FALSE(server.Display().isEmpty()) << "the server did not start";
        QProcess show;
        StartShow(show, server.Display(), dir);
        ASSERT_TRUE(show.waitForStarted());
        const QString frameBuffer = dir.filePath(QStringLiteral("Xvfb_screen0"));
        bool bCovered = false;
        for (QDeadlineTimer deadline(30000); !bCovered && !deadline.hasExpired();) {
            QThread::msleep(200);
            QFile file(frameBuffer);
            if (file.open(QIODevice::ReadOnly)) {
                const CWindowDump dump(file.readAll());
                EXPECT_EQ(dump.Size(), size);
                bCovered = Covered(dump);
            }
        }
        EXPECT_TRUE(bCovered);
        // No window manager hands out the focus: the window takes it, so keys reach the show.
        if (!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            bool bFocused = false;
            for (QDeadlineTimer deadline(5000); !bFocused && !deadline.hasExpired();
                 QThread::msleep(100))
                bFocused =
                    RunOn(server.Display(), QStringLiteral("xdotool"),
                          {QStringLiteral("getwindowfocus"), QStringLiteral("getwindowname")})
                        .contains(QStringLiteral("Unsere Fahrzeuge"));
            EXPECT_TRUE(bFocused);
        }
        EXPECT_EQ(show.state(), QProcess::Running) << show.readAllStandardError().toStdString();
        show.terminate();
        show.waitForFinished(10000);
    }
}

// A nested server inside Xvfb changes its mode through RandR, as a TV switched to another mode
// does: the window follows within 2 s.
TEST(KioskDisplay, TheWindowFollowsAModeChangeOfItsScreen) {
    SKIP_WITHOUT_CHILD_PROCESSES();
    for (const char* szTool : {"Xvfb", "Xephyr", "xrandr", "xwininfo"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(szTool)).isEmpty())
            GTEST_SKIP() << szTool << " is not installed";
    QTemporaryDir dir;
    const CXServer outer(QStringLiteral("Xvfb"), {QStringLiteral("-screen"), QStringLiteral("0"),
                                                  QStringLiteral("1920x1200x24")});
    ASSERT_FALSE(outer.Display().isEmpty());
    const CXServer nested(
        QStringLiteral("Xephyr"),
        {QStringLiteral("-resizeable"), QStringLiteral("-screen"), QStringLiteral("1920x1080")},
        outer.Display());
    ASSERT_FALSE(nested.Display().isEmpty());
    QProcess show;
    StartShow(show, nested.Display(), dir);
    ASSERT_TRUE(show.waitForStarted());
    EXPECT_TRUE(WindowReaches(nested.Display(), QStringLiteral("1920x1080+0+0"), 30000));
    for (const char* szMode : {"1024x768", "1600x1200"}) {
        RunOn(nested.Display(), QStringLiteral("xrandr"),
              {QStringLiteral("-s"), QString::fromLatin1(szMode)});
        EXPECT_TRUE(WindowReaches(nested.Display(),
                                  QString::fromLatin1(szMode) + QStringLiteral("+0+0"), 2000))
            << szMode;
    }
    EXPECT_EQ(show.state(), QProcess::Running);
    show.terminate();
    show.waitForFinished(10000);
}

TEST(KioskDisplay, APlatformThatCannotStartEndsInOneLine) {
    SKIP_WITHOUT_CHILD_PROCESSES();
    const struct {
        const char* szPlatform;
        const char* szDisplay;
    } cases[] = {{"xcb", ":99999"}, {"linuxfb:fb=/nonexistent/fb0", ""}, {"eglfs", ""}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        QProcess show;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(c.szPlatform));
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(c.szDisplay));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        // A DRM device the test machine may have is never opened.
        env.insert(QStringLiteral("QT_QPA_EGLFS_KMS_CONFIG"), dir.filePath(QStringLiteral("none")));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        show.setProcessEnvironment(env);
        show.setWorkingDirectory(dir.path());
        show.start(QString::fromUtf8(ZELVORA_PROGRAM), {});
        ASSERT_TRUE(show.waitForFinished(30000)) << c.szPlatform;
        const QByteArray err = show.readAllStandardError();
        EXPECT_EQ(show.exitStatus(), QProcess::NormalExit) << c.szPlatform << ": no abort";
        EXPECT_EQ(show.exitCode(), 1) << c.szPlatform;
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
        const QByteArray platform = QByteArray(c.szPlatform).split(':').first();
        EXPECT_TRUE(
            err.startsWith("zelvora: the display platform \"" + platform + "\" cannot start"))
            << err.toStdString();
    }
}
