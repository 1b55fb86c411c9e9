#pragma once
// Ends the requests of a job from another thread: the socket in use is shut down and a name
// lookup's wait is woken, so either returns at once, and every later request fails before it
// connects.

#include "net/SocketApi.h"

#include <atomic>
#include <functional>
#include <mutex>

class CCancelToken final : public sockapi::LookupCancel {
public:
    // Any thread; the first call counts, later ones do nothing.
    void Cancel() noexcept;
    bool IsCancelled() const noexcept { return m_bCancelled.load(); }

    // The socket of the request in flight. False, holding nothing, once cancelled.
    bool Hold(sockapi::Handle socket);
    // Called before the socket is closed, so a cancel never reaches a reused descriptor.
    void Release() noexcept;

    bool HoldWake(std::function<void()> wake) override;
    void ReleaseWake() noexcept override;

private:
    std::mutex m_mutex;
    sockapi::Handle m_hSocket = sockapi::kNoSocket;
    std::function<void()> m_wake;
    std::atomic<bool> m_bCancelled{false};
};
