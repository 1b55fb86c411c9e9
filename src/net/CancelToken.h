#pragma once
// Ends the requests of a job from another thread: the socket in use is shut down, so the wait
// on it returns at once, and every later request fails before it connects.

#include "net/SocketApi.h"

#include <atomic>
#include <mutex>

class CCancelToken {
public:
    // Any thread; the first call counts, later ones do nothing.
    void Cancel() noexcept;
    bool IsCancelled() const noexcept { return m_bCancelled.load(); }

    // The socket of the request in flight. False, holding nothing, once cancelled.
    bool Hold(sockapi::Handle socket);
    // Called before the socket is closed, so a cancel never reaches a reused descriptor.
    void Release() noexcept;

private:
    std::mutex m_mutex;
    sockapi::Handle m_hSocket = sockapi::kNoSocket;
    std::atomic<bool> m_bCancelled{false};
};
