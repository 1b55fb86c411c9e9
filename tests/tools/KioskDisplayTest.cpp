// The show on a bare X server, with no window manager to carry out its full-screen request:
// a screenshot of the server's framebuffer shows the window covering the screen at both sizes.
// And a platform that cannot start ends the program in one line with exit code 1.

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

} // namespace

TEST(KioskDisplay, TheWindowCoversABareXServersScreenAtBothSizes) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    for (const QSize size : {QSize(1920, 1080), QSize(3840, 2160)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        QTemporaryDir dir;
        QProcess server;
        // -displayfd 1: the server picks a free display and names it on its output.
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"),
                      QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()),
                      QStringLiteral("-fbdir"), dir.path(), QStringLiteral("-wr"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        ASSERT_TRUE(server.waitForStarted());
        QByteArray display;
        for (QDeadlineTimer deadline(20000); !display.endsWith('\n') && !deadline.hasExpired();)
            if (server.waitForReadyRead(1000))
                display += server.readAllStandardOutput();
        ASSERT_TRUE(display.endsWith('\n')) << "the server did not start";

        QProcess show;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"),
                   QLatin1Char(':') + QString::fromLatin1(display.trimmed()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        show.setProcessEnvironment(env);
        show.setWorkingDirectory(dir.path());
        show.start(QString::fromUtf8(ZELVORA_PROGRAM), {});
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
        EXPECT_EQ(show.state(), QProcess::Running) << show.readAllStandardError().toStdString();
        show.terminate();
        show.waitForFinished(10000);
        server.terminate();
        server.waitForFinished(10000);
    }
}

TEST(KioskDisplay, APlatformThatCannotStartEndsInOneLine) {
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
