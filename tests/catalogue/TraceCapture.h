#pragma once
// Collects the trace lines written while it lives, with the trace category switched on.
// One at a time.

#include <QStringList>
#include <QtGlobal>
#include <functional>

class CTraceCapture {
public:
    // onLine, when given, sees each line as it is written.
    explicit CTraceCapture(std::function<void(const QString&)> onLine = {});
    ~CTraceCapture();
    CTraceCapture(const CTraceCapture&) = delete;
    CTraceCapture& operator=(const CTraceCapture&) = delete;

    const QStringList& Lines() const { return m_lines; }
    // The lines that begin with prefix, in order.
    QStringList Starting(const QString& prefix) const;

private:
    static void Handler(QtMsgType type, const QMessageLogContext& context, const QString& text);

    std::function<void(const QString&)> m_onLine;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
};
