#include "platform/ServiceNotifier.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

// A datagram socket where the service manager's would be, named by NOTIFY_SOCKET meanwhile.
class CNotifySocket {
public:
    CNotifySocket() {
        m_hSocket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = m_dir.filePath(QStringLiteral("notify")).toLocal8Bit();
        std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
        if (::bind(m_hSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            ADD_FAILURE() << "cannot bind " << path.constData();
        qputenv("NOTIFY_SOCKET", path);
    }
    ~CNotifySocket() {
        qunsetenv("NOTIFY_SOCKET");
        ::close(m_hSocket);
    }
    // The next message, processing events while it waits; empty after nMilliseconds.
    std::string Next(int nMilliseconds) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < nMilliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            pollfd entry{m_hSocket, POLLIN, 0};
            if (::poll(&entry, 1, 10) > 0) {
                char buffer[256] = {};
                const long n = ::recv(m_hSocket, buffer, sizeof buffer - 1, 0);
                return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
            }
        }
        return {};
    }

private:
    QTemporaryDir m_dir;
    int m_hSocket = -1;
};

} // namespace

TEST(ServiceNotifier, ReadyOnceThenTheWatchdogFromTheEventLoopOnlyUnderAUnit) {
    {
        CServiceNotifier notifier(50);
        notifier.Ready(); // no NOTIFY_SOCKET: nothing is sent, and no timer runs
    }
    CNotifySocket manager;
    CServiceNotifier notifier(50);
    EXPECT_EQ(manager.Next(100), "") << "nothing before the window is up";
    notifier.Ready();
    EXPECT_EQ(manager.Next(1000), "READY=1");
    EXPECT_EQ(manager.Next(1000), "WATCHDOG=1");
    EXPECT_EQ(manager.Next(1000), "WATCHDOG=1");
}
