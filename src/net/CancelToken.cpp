#include "net/CancelToken.h"

void CCancelToken::Cancel() noexcept {
    const std::lock_guard lock(m_mutex);
    m_bCancelled = true;
    if (m_hSocket != sockapi::kNoSocket)
        sockapi::Shutdown(m_hSocket);
    if (m_wake)
        m_wake();
}

bool CCancelToken::Hold(sockapi::Handle socket) {
    const std::lock_guard lock(m_mutex);
    if (m_bCancelled)
        return false;
    m_hSocket = socket;
    return true;
}

void CCancelToken::Release() noexcept {
    const std::lock_guard lock(m_mutex);
    m_hSocket = sockapi::kNoSocket;
}

bool CCancelToken::HoldWake(std::function<void()> wake) {
    const std::lock_guard lock(m_mutex);
    if (m_bCancelled)
        return false;
    m_wake = std::move(wake);
    return true;
}

void CCancelToken::ReleaseWake() noexcept {
    const std::lock_guard lock(m_mutex);
    m_wake = nullptr;
}
