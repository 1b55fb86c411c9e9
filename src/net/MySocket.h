#pragma once
// A TCP socket whose every wait (connect, send, receive) lasts at most a given number of
// seconds. Each failure throws CSocketException named after the operation.

#include "net/SocketApi.h"

#include <cstddef>

class CMySocket {
public:
    CMySocket() = default;
    // Closes a socket still held, so no path can leak one.
    ~CMySocket() { Abort(); }
    CMySocket(const CMySocket&) = delete;
    CMySocket& operator=(const CMySocket&) = delete;

    void Create(int type);
    // A name is looked up on a helper thread, given up after timeoutSeconds; a dotted address
    // needs no lookup.
    static sockaddr_in GetHostByName(const char* host, unsigned short port, int timeoutSeconds,
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
    sockapi::Handle m_hSocket = sockapi::kNoSocket;
};
