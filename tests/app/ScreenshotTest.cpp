#include "app/AppConstants.h"
#include "app/MainFrame.h"
#include "app/ScreenshotClient.h"
#include "app/ScreenshotServer.h"

#include "show/ViewFakes.h"
#include "support/TempWorkDir.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs on a thread of its own while the event loop here serves the show.
template <typename Function> auto Beside(Function function) {
    auto result = std::async(std::launch::async, std::move(function));
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return result.get();
}

// Everything the server sends to a request until it ends the connection.
QByteArray Ask(const QString& path, const QByteArray& request) {
    return Beside([path, request] {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(1000))
            return QByteArray("not connected");
        socket.write(request);
        socket.waitForBytesWritten(1000);
        QByteArray answer;
        while (socket.waitForReadyRead(app::kScreenshotWaitMs))
            answer += socket.readAll();
        return answer + socket.readAll();
    });
}

// What a process of another user meets when it asks: the error of its connect, else
// kAnswered or kDropped. It connects from the socket's folder by the socket's name, so that
// only that folder and the socket decide, not folders above that this user may not enter (a
// build under /root, a container's root).
constexpr int kAnswered = 200;
constexpr int kDropped = 201;
int AskAsAnotherUser(const QString& path) {
    const QFileInfo socketFile(path);
    const QByteArray folder = QFile::encodeName(socketFile.absolutePath());
    const QByteArray name = QFile::encodeName(socketFile.fileName());
    const pid_t pid = fork();
    if (pid == 0) {
        constexpr uid_t kNobody = 65534;
        if (chdir(folder.constData()) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(255);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            _exit(errno);
        const timeval wait{app::kScreenshotWaitMs / 1000, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char byte = 0;
        _exit(write(fd, app::kScreenshotRequest, std::strlen(app::kScreenshotRequest)) > 0 &&
                      read(fd, &byte, 1) == 1
                  ? kAnswered
                  : kDropped);
    }
    // The show answers on this thread meanwhile.
    return Beside([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    });
}

class Screenshot : public ::testing::Test {
protected:
    Screenshot() : m_frame([this](QWidget* parent) { return m_seams.NewView(parent); }) {
        m_frame.View().OnInitialUpdate();
        m_frame.show();
    }

    CTempWorkDir m_dir;
    ViewSeams m_seams;
    CMainFrame m_frame;
};

} // namespace

TEST_F(Screenshot, OfARunningOffscreenShowIsWhatItsViewPainted) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    const CScreenshotServer server(m_frame);
    ASSERT_TRUE(server.IsListening());
    const QString file = m_dir.Path() + QStringLiteral("/shot.png");
    EXPECT_EQ(Beside([this, &file] { return FetchScreenshot(m_dir.Path(), file); }), QString());

    CZelvoraView& view = m_frame.View();
    const QImage painted = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage shot = QImage(file).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), m_frame.size());
    EXPECT_EQ(shot.copy(QRect(view.mapTo(&m_frame, QPoint()), view.size())), painted);
    QImage blank(painted.size(), painted.format());
    blank.fill(painted.pixel(0, 0));
    EXPECT_NE(painted, blank) << "the view painted its message, not just a background";
}

// Only its owner gets in, and only the one request gets an answer; the client says in one line
// why it got none.
TEST_F(Screenshot, TheSocketAnswersItsOwnersOneRequestOnly) {
    auto server = std::make_unique<CScreenshotServer>(m_frame);
    const QString path = server->SocketPath();
    ASSERT_TRUE(server->IsListening());
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0U) << "the socket's mode shuts others out";
    if (geteuid() == 0) {
        // The folder open to all, so that only the socket's own mode stands in the way; and
        // with that opened too, the peer's user.
        ASSERT_EQ(chmod(QFile::encodeName(m_dir.Path()).constData(), 0755), 0);
        EXPECT_EQ(AskAsAnotherUser(path), EACCES);
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0777), 0);
        EXPECT_EQ(AskAsAnotherUser(path), kDropped);
    }

    const std::pair<QByteArray, bool> requests[] = {
        {"screenshot\n", true},
        {"status\n", false},
        {"screenshot\nscreenshot\n", false},
        {"screensh", false}, // and then nothing: dropped after the request's wait
    };
    for (const auto& [request, bAnswered] : requests) {
        const QByteArray answer = Ask(path, request);
        EXPECT_EQ(answer.size() > 4 && answer.mid(4, 4) == "\x89PNG", bAnswered) << request.data();
        if (!bAnswered) {
            EXPECT_TRUE(answer.isEmpty()) << request.data();
        }
    }

    const QString folder = QDir::toNativeSeparators(m_dir.Path());
    const QString file = m_dir.Path() + QStringLiteral("/shot.png");
    server.reset();
    EXPECT_FALSE(QFile::exists(path)) << "the socket goes with the show";
    EXPECT_EQ(Beside([&] { return FetchScreenshot(m_dir.Path(), file); }),
              QStringLiteral("zelvora: no show runs on the working folder ") + folder);
    QLocalServer silent;
    ASSERT_TRUE(silent.listen(path));
    EXPECT_EQ(Beside([&] { return FetchScreenshot(m_dir.Path(), file, 1000); }),
              QStringLiteral("zelvora: the show on the working folder %1 gave no screenshot "
                             "within 1 s")
                  .arg(folder));
    EXPECT_FALSE(QFile::exists(file));
}
