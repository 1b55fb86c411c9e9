#include "app/RestartGuard.h"

#include "app/AppConstants.h"

#include <QByteArrayList>
#include <algorithm>

CRestartGuard::CRestartGuard(const QByteArray& history) {
    for (const QByteArray& item : history.split(',')) {
        bool ok = false;
        const qlonglong t = item.toLongLong(&ok);
        if (ok && t > 0)
            m_times.push_back(static_cast<std::time_t>(t));
        // A hostile or broken environment must not grow the list without bound.
        if (m_times.size() > static_cast<size_t>(app::kMaxRestartHistory))
            m_times.erase(m_times.begin());
    }
}

bool CRestartGuard::WouldAllow(std::time_t now) const {
    // A clock set back counts the later entries as recent: the guard errs towards staying up.
    return std::count_if(m_times.begin(), m_times.end(), [now](std::time_t t) {
               return now - t < app::kRestartWindowSeconds;
           }) < app::kMaxRestarts;
}

bool CRestartGuard::Allow(std::time_t now) {
    const bool bAllowed = WouldAllow(now);
    std::erase_if(m_times, [now](std::time_t t) { return now - t >= app::kRestartCountSeconds; });
    if (bAllowed)
        m_times.push_back(now);
    return bAllowed;
}

int CRestartGuard::RestartsWithinDay(std::time_t now) const {
    return static_cast<int>(std::count_if(m_times.begin(), m_times.end(), [now](std::time_t t) {
        return now - t < app::kRestartCountSeconds;
    }));
}

QByteArray CRestartGuard::History() const {
    QByteArray text;
    for (std::time_t t : m_times) {
        if (!text.isEmpty())
            text += ',';
        text += QByteArray::number(static_cast<qlonglong>(t));
    }
    return text;
}
