#include "settings/Trace.h"

Q_LOGGING_CATEGORY(lcZelvoraTrace, "zelvora.trace", QtInfoMsg)

namespace {
constexpr char kTraceVariable[] = "ZELVORA_TRACE";
} // namespace

void EnableTraceByEnvironment() {
    if (qgetenv(kTraceVariable) == "1")
        QLoggingCategory::setFilterRules(QStringLiteral("zelvora.trace.debug=true"));
}
