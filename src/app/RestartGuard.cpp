#include "app/RestartGuard.h"

#include "app/AppConstants.h"

#include <QByteArrayList>

CRestartGuard::CRestartGuard(const QByteArray& history) {
    for (const QByteArray& item : history.split(',')) {
        bool ok = false;
        const qlonglong t = item.toLongLong(&ok);
        if (ok && t > 0)
            m_times.push_back(static_cast<std::time_t>(t));
        // A hostile or broken environment must not grow the list without bound.
        if (m_times.size() > static_cast<size_t>(app::kMaxRestarts))
            m_times.erase(m_times.begin());
    }
}

bool CRestartGuard::Allow(std::time_t now) {
    // A clock set back counts the later entries as recent: the guard errs towards staying up.
    std::erase_if(m_times, [now](std::time_t t) { return now - t >= app::kRestartWindowSeconds; });
    if (m_times.size() >= static_cast<size_t>(app::kMaxRestarts))
        return false;
    m_times.push_back(now);
    return true;
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
