#pragma once
// A TCP socket whose every wait (lookup, connect, send, receive) lasts at most a given number of
// seconds, and all of them together at most until an optional deadline. Each failure throws
// CSocketException named after the operation.

#include "net/SocketApi.h"

#include <chrono>
#include <cstddef>

class CCancelToken;

class CMySocket {
public:
    CMySocket() = default;
    // Closes a socket still held, so no path can leak one.
    ~CMySocket() { Abort(); }
    CMySocket(const CMySocket&) = delete;
    CMySocket& operator=(const CMySocket&) = delete;

    using Clock = std::chrono::steady_clock;

    // Before Create: a cancel from another thread shuts the socket down and fails its wait.
    void SetCancelToken(CCancelToken* pCancel) { m_pCancel = pCancel; }
    // A wait that would end after deadline ends there, as a time-out.
    void SetDeadline(Clock::time_point deadline) { m_deadline = deadline; }

    void Create(int type);
    // A name is looked up on a helper thread; its wait lasts like any other and ends at once
    // on a cancel. A dotted address needs no lookup.
    sockaddr_in GetHostByName(const char* host, unsigned short port, int timeoutSeconds,
                              const sockapi::Resolver& resolve = sockapi::ResolveBlocking);
    // A connect still under way after timeoutSeconds fails as "Connect" with the platform's
    // time-out code, like a connect the network gave up on.
    void Connect(const sockaddr_in& address, int timeoutSeconds);
    std::size_t Send(const char* bytes, std::size_t count, int timeoutSeconds);
    std::size_t SendAll(const char* bytes, std::size_t count, int timeoutSeconds);
    // 0 when the peer has closed.
    std::size_t Receive(char* buffer, std::size_t size, int timeoutSeconds);
    void Close();
    // Close that ignores failures; never throws.
    void Abort() noexcept;

    bool IsOpen() const { return m_hSocket != sockapi::kNoSocket; }

private:
    // The single wait's bound, cut to what is left before the deadline.
    std::chrono::milliseconds WaitTime(int timeoutSeconds) const;
    // A cancelled socket reads as closed by the peer: its wait must not pass for an answer.
    void ThrowIfCancelled(const char* szOperation) const;

    sockapi::Handle m_hSocket = sockapi::kNoSocket;
    CCancelToken* m_pCancel = nullptr;
    Clock::time_point m_deadline = Clock::time_point::max();
};
