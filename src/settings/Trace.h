#pragma once
// Trace lines of the show's steps. Off by default; switch on with ZELVORA_TRACE=1 or
// QT_LOGGING_RULES="zelvora.trace.debug=true".

#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcZelvoraTrace)

// Switches the trace on when the environment asks for it; QT_LOGGING_RULES still overrides.
void EnableTraceByEnvironment();

inline void Trace(const QString& line) {
    qCDebug(lcZelvoraTrace).noquote() << line;
}

// printf-style; the text is only formatted when the category is on.
template <typename... Args> void TraceF(const char* format, Args... args) {
    if (lcZelvoraTrace().isDebugEnabled())
        Trace(QString::asprintf(format, args...));
}
