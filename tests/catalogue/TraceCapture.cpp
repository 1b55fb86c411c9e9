#include "TraceCapture.h"

#include "settings/Trace.h"

#include <cstring>

namespace {
CTraceCapture* g_capture = nullptr;
} // namespace

CTraceCapture::CTraceCapture(std::function<void(const QString&)> onLine)
    : m_onLine(std::move(onLine)) {
    QLoggingCategory::setFilterRules(QStringLiteral("zelvora.trace.debug=true"));
    g_capture = this;
    m_previous = qInstallMessageHandler(&CTraceCapture::Handler);
}

CTraceCapture::~CTraceCapture() {
    qInstallMessageHandler(m_previous);
    QLoggingCategory::setFilterRules({});
    g_capture = nullptr;
}

QStringList CTraceCapture::Starting(const QString& prefix) const {
    QStringList lines;
    for (const QString& line : m_lines)
        if (line.startsWith(prefix))
            lines << line;
    return lines;
}

void CTraceCapture::Handler(QtMsgType type, const QMessageLogContext& context,
                            const QString& text) {
    const bool bTrace =
        context.category && std::strcmp(context.category, lcZelvoraTrace().categoryName()) == 0;
    if (!bTrace) {
        if (g_capture->m_previous)
            g_capture->m_previous(type, context, text);
        return;
    }
    g_capture->m_lines.append(text);
    if (g_capture->m_onLine)
        g_capture->m_onLine(text);
}
