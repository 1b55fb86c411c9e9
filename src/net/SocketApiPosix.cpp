#include "net/SocketApi.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace sockapi {

const int kTimedOut = ETIMEDOUT;
const int kLookupTimedOut = EAI_AGAIN;
const int kProtocolError = EPROTO;
const int kHeaderTooLong = EMSGSIZE;
const int kCancelled = ECANCELED;

namespace {

using Clock = std::chrono::steady_clock;

// A signal must not shorten the wait, nor be taken for a time-out.
int WaitFor(Handle socket, short events, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + std::max(timeout, std::chrono::milliseconds(0));
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd entry{socket, events, 0};
        const int result = ::poll(&entry, 1, left > 0 ? static_cast<int>(left) : 0);
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

// Shared between the caller and the lookup thread, so a caller that gave up leaves the thread
// something valid to finish into.
struct LookupJob {
    std::string host;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool cancelled = false;
    int error = 0;
    in_addr address{};
};

void RunLookup(const std::shared_ptr<LookupJob>& job, const Resolver& resolve) {
    in_addr address{};
    const int error = resolve(job->host, address);
    const std::lock_guard lock(job->mutex);
    job->error = error;
    job->address = address;
    job->done = true;
    job->finished.notify_all();
}

} // namespace

int Startup() {
    return 0;
}

void Cleanup() {}

int LastError() {
    return errno;
}

Handle Open(int type) {
    const Handle socket = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    return socket >= 0 ? socket : kNoSocket;
}

int Close(Handle socket) {
    // Linux releases the descriptor even when close is interrupted.
    return ::close(socket) == 0 || errno == EINTR ? 0 : -1;
}

void Shutdown(Handle socket) {
    ::shutdown(socket, SHUT_RDWR);
}

int StartConnect(Handle socket, const sockaddr_in& address) {
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return 0;
    return errno == EINPROGRESS || errno == EINTR ? 1 : -1;
}

int ConnectError(Handle socket) {
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno;
    return error;
}

int WaitReadable(Handle socket, std::chrono::milliseconds timeout) {
    return WaitFor(socket, POLLIN, timeout);
}

int WaitWritable(Handle socket, std::chrono::milliseconds timeout) {
    return WaitFor(socket, POLLOUT, timeout);
}

long Send(Handle socket, const char* bytes, std::size_t count) {
    for (;;) {
        const long sent = ::send(socket, bytes, count, MSG_NOSIGNAL);
        if (sent >= 0 || errno != EINTR)
            return sent;
    }
}

long Receive(Handle socket, char* buffer, std::size_t size) {
    for (;;) {
        const long received = ::recv(socket, buffer, size, 0);
        if (received >= 0 || errno != EINTR)
            return received;
    }
}

int ResolveBlocking(const std::string& host, in_addr& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    int error = ::getaddrinfo(host.c_str(), nullptr, &hints, &answer);
    if (error == EAI_SYSTEM)
        error = errno != 0 ? errno : EAI_SYSTEM;
    else if (error == 0 && (answer == nullptr || answer->ai_addr == nullptr))
        error = EAI_NONAME;
    else if (error == 0) {
        sockaddr_in first{};
        std::memcpy(&first, answer->ai_addr, sizeof first);
        address = first.sin_addr;
    }
    if (answer != nullptr)
        ::freeaddrinfo(answer);
    return error;
}

int Lookup(const char* host, std::chrono::milliseconds timeout, in_addr& address,
           const Resolver& resolve, LookupCancel* pCancel) {
    if (host == nullptr || *host == '\0')
        return EAI_NONAME;
    if (::inet_pton(AF_INET, host, &address) == 1)
        return 0;

    // The C library's lookup has neither a time-out nor a cancel of its own; it runs on a
    // helper thread that is left to finish on its own when the caller stops waiting.
    auto job = std::make_shared<LookupJob>();
    job->host = host;
    if (pCancel != nullptr && !pCancel->HoldWake([job] {
            const std::lock_guard lock(job->mutex);
            job->cancelled = true;
            job->finished.notify_all();
        }))
        return kCancelled;
    try {
        std::thread(RunLookup, job, resolve).detach();
    } catch (const std::system_error& e) {
        if (pCancel != nullptr)
            pCancel->ReleaseWake();
        return e.code().value();
    }
    int result = kLookupTimedOut;
    {
        std::unique_lock lock(job->mutex);
        if (job->finished.wait_for(lock, std::max(timeout, std::chrono::milliseconds(0)),
                                   [&] { return job->done || job->cancelled; }))
            result = job->cancelled ? kCancelled : job->error;
        if (result == 0)
            address = job->address;
    }
    // Outside the lock: the cancel takes the token's lock first, then this one.
    if (pCancel != nullptr)
        pCancel->ReleaseWake();
    return result;
}

} // namespace sockapi
