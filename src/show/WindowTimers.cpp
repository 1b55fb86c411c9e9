#include "show/WindowTimers.h"

CWindowTimers::CWindowTimers(Handler onTimer) : m_onTimer(std::move(onTimer)) {}

CWindowTimers::~CWindowTimers() = default;

void CWindowTimers::SetTimer(int nIDEvent, int nElapse) {
    auto& timer = m_timers[nIDEvent];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [this, nIDEvent] { m_onTimer(nIDEvent); });
    }
    timer->start(nElapse);
}

void CWindowTimers::KillTimer(int nIDEvent) {
    if (const auto it = m_timers.find(nIDEvent); it != m_timers.end())
        it->second->stop();
}

bool CWindowTimers::IsArmed(int nIDEvent) const {
    const auto it = m_timers.find(nIDEvent);
    return it != m_timers.end() && it->second->isActive();
}

int CWindowTimers::Interval(int nIDEvent) const {
    return IsArmed(nIDEvent) ? m_timers.at(nIDEvent)->interval() : 0;
}
