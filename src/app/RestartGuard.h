#pragma once
// Keeps a show that restarts itself from doing so in a loop: it counts the restarts of the last
// few minutes, carried across the exec as a list of times. The times of the last day are kept
// for the show's status.

#include <QByteArray>
#include <ctime>
#include <vector>

class CRestartGuard {
public:
    // history: the times of earlier restarts as History() wrote them; anything unreadable
    // counts as none.
    explicit CRestartGuard(const QByteArray& history = {});

    // Records a restart at now and allows it, unless the restarts within the window ending at
    // now have reached the limit; a refused request records nothing.
    bool Allow(std::time_t now);
    // Whether Allow(now) would allow; records nothing.
    bool WouldAllow(std::time_t now) const;
    // The restarts recorded within the day ending at now.
    int RestartsWithinDay(std::time_t now) const;
    QByteArray History() const;

private:
    std::vector<std::time_t> m_times;
};
