#include "net/MySocket.h"

#include "net/CancelToken.h"
#include "net/SocketException.h"

#include <algorithm>
#include <climits>

std::chrono::milliseconds CMySocket::WaitTime(int timeoutSeconds) const {
    using std::chrono::milliseconds;
    const milliseconds single(std::clamp(timeoutSeconds, 0, INT_MAX / 1000) * 1000LL);
    if (m_deadline == Clock::time_point::max())
        return single;
    const auto left = std::chrono::ceil<milliseconds>(m_deadline - Clock::now());
    return std::clamp(left, milliseconds(0), single);
}

void CMySocket::ThrowIfCancelled(const char* szOperation) const {
    if (m_pCancel && m_pCancel->IsCancelled())
        throw CSocketException(szOperation, sockapi::kCancelled);
}

void CMySocket::Create(int type) {
    Abort();
    m_hSocket = sockapi::Open(type);
    if (m_hSocket == sockapi::kNoSocket)
        throw CSocketException("Create", sockapi::LastError());
    if (m_pCancel && !m_pCancel->Hold(m_hSocket))
        throw CSocketException("Create", sockapi::kCancelled);
}

sockaddr_in CMySocket::GetHostByName(const char* host, unsigned short port, int timeoutSeconds,
                                     const sockapi::Resolver& resolve) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    const int error =
        sockapi::Lookup(host, WaitTime(timeoutSeconds), address.sin_addr, resolve, m_pCancel);
    if (error != 0)
        throw CSocketException("GetHostByName", error);
    return address;
}

void CMySocket::Connect(const sockaddr_in& address, int timeoutSeconds) {
    const int started = sockapi::StartConnect(m_hSocket, address);
    if (started < 0)
        throw CSocketException("Connect", sockapi::LastError());
    if (started == 0)
        return;
    const int ready = sockapi::WaitWritable(m_hSocket, WaitTime(timeoutSeconds));
    ThrowIfCancelled("Connect");
    if (ready == 0)
        throw CSocketException("Connect", sockapi::kTimedOut);
    if (ready < 0)
        throw CSocketException("Connect", sockapi::LastError());
    if (const int error = sockapi::ConnectError(m_hSocket); error != 0)
        throw CSocketException("Connect", error);
}

std::size_t CMySocket::Send(const char* bytes, std::size_t count, int timeoutSeconds) {
    const int ready = sockapi::WaitWritable(m_hSocket, WaitTime(timeoutSeconds));
    ThrowIfCancelled("Send");
    if (ready == 0)
        throw CSocketException("Send timeout", 0);
    const long sent = sockapi::Send(m_hSocket, bytes, count);
    if (sent < 0)
        throw CSocketException("Send", sockapi::LastError());
    return static_cast<std::size_t>(sent);
}

std::size_t CMySocket::SendAll(const char* bytes, std::size_t count, int timeoutSeconds) {
    std::size_t total = 0;
    while (total < count)
        total += Send(bytes + total, count - total, timeoutSeconds);
    return total;
}

std::size_t CMySocket::Receive(char* buffer, std::size_t size, int timeoutSeconds) {
    const int ready = sockapi::WaitReadable(m_hSocket, WaitTime(timeoutSeconds));
    ThrowIfCancelled("Receive");
    if (ready == 0)
        throw CSocketException("Receive timeout", 0);
    const long received = sockapi::Receive(m_hSocket, buffer, size);
    ThrowIfCancelled("Receive");
    if (received < 0)
        throw CSocketException("Receive", sockapi::LastError());
    return static_cast<std::size_t>(received);
}

void CMySocket::Close() {
    if (!IsOpen())
        return;
    const sockapi::Handle socket = m_hSocket;
    m_hSocket = sockapi::kNoSocket;
    if (m_pCancel)
        m_pCancel->Release();
    if (sockapi::Close(socket) != 0)
        throw CSocketException("Close", sockapi::LastError());
}

void CMySocket::Abort() noexcept {
    if (!IsOpen())
        return;
    if (m_pCancel)
        m_pCancel->Release();
    sockapi::Close(m_hSocket);
    m_hSocket = sockapi::kNoSocket;
}
