#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

// Bounds every wait of the server, so a client fault fails the test instead of hanging it.
constexpr int kServerWaitMs = 5000;

int ListenOnLoopback(int backlog, std::uint16_t& port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener, backlog) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("cannot listen on loopback");
    port = ntohs(address.sin_port);
    return listener;
}

bool WaitReadable(int socket) {
    pollfd entry{socket, POLLIN, 0};
    return ::poll(&entry, 1, kServerWaitMs) > 0;
}

// Reads until the predicate holds, the peer closes or the wait runs out.
template <typename Done> void ReadInto(int connection, std::string& received, Done done) {
    char buffer[4096];
    while (!done() && WaitReadable(connection)) {
        const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
        if (count <= 0)
            return;
        received.append(buffer, static_cast<std::size_t>(count));
    }
}

void SendAll(int connection, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t count =
            ::send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0)
            return;
        sent += static_cast<std::size_t>(count);
    }
}

} // namespace

CScriptedServer::CScriptedServer(std::vector<ServerReply> replies)
    : m_replies(std::move(replies)), m_requests(m_replies.size()) {
    m_hListen = ListenOnLoopback(8, m_nPort);
    m_thread = std::thread([this] { Run(); });
}

CScriptedServer::~CScriptedServer() {
    Join();
    ::close(m_hListen);
}

void CScriptedServer::Join() {
    if (m_thread.joinable())
        m_thread.join();
}

void CScriptedServer::Run() {
    for (std::size_t i = 0; i < m_replies.size(); ++i) {
        if (!WaitReadable(m_hListen))
            return;
        const int connection = ::accept(m_hListen, nullptr, nullptr);
        if (connection < 0)
            return;
        Serve(connection, m_replies[i], m_requests[i]);
        ::close(connection);
    }
}

void CScriptedServer::Serve(int connection, const ServerReply& reply, std::string& received) {
    const auto never = [] {
        return false;
    };
    if (reply.closeAtOnce) {
        // Half-close first and read the rest, so the client sees an orderly end, not a reset.
        ::shutdown(connection, SHUT_WR);
        ReadInto(connection, received, never);
        return;
    }
    ReadInto(connection, received, [&] { return received.find("\r\n\r\n") != std::string::npos; });
    SendAll(connection, reply.bytes);
    if (reply.resetAfterSend) {
        const linger abortive{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        return;
    }
    if (!reply.holdOpen)
        ::shutdown(connection, SHUT_WR);
    ReadInto(connection, received, never);
}

std::uint16_t ClosedPort() {
    std::uint16_t port = 0;
    ::close(ListenOnLoopback(1, port));
    return port;
}

CIdleListener::CIdleListener(bool fullQueue) {
    // Backlog 0 holds one connection; the handshake of the next one is dropped.
    m_hListen = ListenOnLoopback(fullQueue ? 0 : 4, m_nPort);
    if (!fullQueue)
        return;
    m_hFiller = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(m_nPort);
    if (m_hFiller < 0 ||
        ::connect(m_hFiller, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        !WaitReadable(m_hListen))
        throw std::runtime_error("cannot fill the accept queue");
}

CIdleListener::~CIdleListener() {
    if (m_hFiller >= 0)
        ::close(m_hFiller);
    ::close(m_hListen);
}
