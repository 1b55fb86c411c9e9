#pragma once
// Trace lines of the show's steps. Off by default; switch on with
// QT_LOGGING_RULES="zelvora.trace.debug=true".

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcZelvoraTrace)

inline void Trace(const QString& line) { qCDebug(lcZelvoraTrace).noquote() << line; }

// printf-style; the text is only formatted when the category is on.
template <typename... Args> void TraceF(const char* format, Args... args) {
    if (lcZelvoraTrace().isDebugEnabled())
        Trace(QString::asprintf(format, args...));
}
