#pragma once
// A datagram socket where the service manager's would be, named by NOTIFY_SOCKET meanwhile.

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
#include <vector>

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
    CNotifySocket(const CNotifySocket&) = delete;
    CNotifySocket& operator=(const CNotifySocket&) = delete;
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
    // Forgets the messages sent so far.
    void Drain() {
        pollfd entry{m_hSocket, POLLIN, 0};
        char buffer[256];
        while (::poll(&entry, 1, 0) > 0 && ::recv(m_hSocket, buffer, sizeof buffer, 0) > 0) {
        }
    }
    // Whether the message text comes within nMilliseconds; the messages before it are dropped.
    bool Awaits(const std::string& text, int nMilliseconds) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < nMilliseconds)
            if (Next(static_cast<int>(nMilliseconds - elapsed.elapsed())) == text)
                return true;
        return false;
    }
    // Every message that comes within nMilliseconds.
    std::vector<std::string> During(int nMilliseconds) {
        std::vector<std::string> messages;
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < nMilliseconds) {
            std::string message = Next(static_cast<int>(nMilliseconds - elapsed.elapsed()));
            if (!message.empty())
                messages.push_back(std::move(message));
        }
        return messages;
    }

private:
    QTemporaryDir m_dir;
    int m_hSocket = -1;
};
