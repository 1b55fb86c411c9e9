#pragma once
// The view's window timers, addressed by their fixed identifiers. Arming an armed timer
// replaces its period and starts the count again.

#include <QTimer>
#include <functional>
#include <map>
#include <memory>

class CWindowTimers {
public:
    using Handler = std::function<void(int nIDEvent)>;
    explicit CWindowTimers(Handler onTimer);
    CWindowTimers(const CWindowTimers&) = delete;
    CWindowTimers& operator=(const CWindowTimers&) = delete;
    ~CWindowTimers();

    void SetTimer(int nIDEvent, int nElapse);
    void KillTimer(int nIDEvent);
    bool IsArmed(int nIDEvent) const;
    // The period of an armed timer; 0 when it is not armed.
    int Interval(int nIDEvent) const;

private:
    Handler m_onTimer;
    std::map<int, std::unique_ptr<QTimer>> m_timers;
};
