// The show on a bare X server, with no window manager to carry out its full-screen request:
// a screenshot of the server's framebuffer shows the window covering the screen at both sizes.
// And a platform that cannot start ends the program in one line with exit code 1.

#include "support/Emulation.h"
#include "tools/DisplaySession.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

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
        const CFrameBufferServer server(size);
        ASSERT_FALSE(server.Display().isEmpty()) << "the server did not start";
        QProcess show;
        StartShow(show, server.Display(), dir);
        ASSERT_TRUE(show.waitForStarted());
        bool bCovered = false;
        for (QDeadlineTimer deadline(30000); !bCovered && !deadline.hasExpired();) {
            QThread::msleep(200);
            const QImage picture = server.Picture();
            if (!picture.isNull()) {
                EXPECT_EQ(picture.size(), size);
                bCovered = Covered(picture);
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
