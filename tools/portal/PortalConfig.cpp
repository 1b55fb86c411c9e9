#include "PortalConfig.h"

#include <fnmatch.h>

namespace demoportal {
namespace {

// Long enough for a sync step's whole time-out (50 seconds) and then some.
constexpr int kMaxDelayMs = 600000;
// Well beyond any header line the program takes.
constexpr int kMaxHeaderFaultBytes = 1024 * 1024;

enum class Value { None, Number, Text };

struct KindName {
    const char* name;
    FaultKind kind;
    Value value;
};

constexpr KindName kKinds[] = {
    {"delay", FaultKind::Delay, Value::Number},
    {"close-before-body", FaultKind::CloseBeforeBody, Value::None},
    {"cut-body", FaultKind::CutBody, Value::None},
    {"long-length", FaultKind::LongLength, Value::None},
    {"status", FaultKind::Status, Value::Number},
    {"fehler", FaultKind::Fehler, Value::None},
    {"no-length", FaultKind::NoLength, Value::None},
    {"body", FaultKind::Body, Value::Text},
    {"type", FaultKind::ContentType, Value::Text},
    {"encoding", FaultKind::ContentEncoding, Value::Text},
    {"crlf", FaultKind::CrLf, Value::None},
    {"long-header", FaultKind::LongHeader, Value::Number},
    {"two-lengths", FaultKind::TwoLengths, Value::None},
    {"cut-no-length", FaultKind::CutNoLength, Value::None},
};

// A header value must stay on its line.
bool IsHeaderValue(const QByteArray& text) {
    return !text.isEmpty() && !text.contains('\r') && !text.contains('\n') && !text.contains('\0');
}

std::optional<FaultRule> Refuse(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return std::nullopt;
}

} // namespace

bool FaultRule::Matches(QByteArrayView target) const {
    const QByteArray pattern = strPattern.toUtf8();
    if (pattern.contains('*'))
        return fnmatch(pattern.constData(), target.toByteArray().constData(), 0) == 0;
    return target.contains(pattern);
}

std::optional<FaultRule> ParseFaultRule(const QString& ruleText, QString* error) {
    const qsizetype eq = ruleText.lastIndexOf(QLatin1Char('='));
    if (eq < 0)
        return Refuse(error, QStringLiteral("fault \"%1\": expected PATTERN=KIND").arg(ruleText));
    FaultRule rule;
    rule.strPattern = ruleText.left(eq);
    const QString action = ruleText.mid(eq + 1);
    const QString name = action.section(QLatin1Char(':'), 0, 0);
    const bool bHasValue = action.contains(QLatin1Char(':'));
    for (const KindName& kind : kKinds) {
        if (name != QLatin1String(kind.name))
            continue;
        if ((kind.value != Value::None) != bHasValue)
            return Refuse(
                error, QStringLiteral("fault \"%1\": %2 %3 a value")
                           .arg(ruleText, name,
                                bHasValue ? QStringLiteral("takes no") : QStringLiteral("needs")));
        rule.kind = kind.kind;
        if (kind.value == Value::None)
            return rule;
        const QString value = action.mid(action.indexOf(QLatin1Char(':')) + 1);
        if (kind.value == Value::Text) {
            rule.text = QByteArray::fromPercentEncoding(value.toUtf8());
            if (kind.kind != FaultKind::Body && !IsHeaderValue(rule.text))
                return Refuse(error, QStringLiteral("fault \"%1\": bad value").arg(ruleText));
            return rule;
        }
        bool ok = false;
        rule.nValue = value.toInt(&ok);
        bool bInRange = rule.nValue >= 100 && rule.nValue <= 599 && rule.nValue != 200;
        if (kind.kind == FaultKind::Delay)
            bInRange = rule.nValue >= 0 && rule.nValue <= kMaxDelayMs;
        else if (kind.kind == FaultKind::LongHeader)
            bInRange = rule.nValue > 0 && rule.nValue <= kMaxHeaderFaultBytes;
        if (!ok || !bInRange)
            return Refuse(error, QStringLiteral("fault \"%1\": bad value").arg(ruleText));
        return rule;
    }
    return Refuse(error, QStringLiteral("fault \"%1\": unknown kind \"%2\"").arg(ruleText, name));
}

} // namespace demoportal
