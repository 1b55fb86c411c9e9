#include "PortalConfig.h"

#include <fnmatch.h>

namespace demoportal {
namespace {

// Long enough for a sync step's whole time-out (50 seconds) and then some.
constexpr int kMaxDelayMs = 600000;

struct KindName {
    const char* name;
    FaultKind kind;
    bool bValue;
};

constexpr KindName kKinds[] = {
    {"delay", FaultKind::Delay, true},
    {"close-before-body", FaultKind::CloseBeforeBody, false},
    {"cut-body", FaultKind::CutBody, false},
    {"long-length", FaultKind::LongLength, false},
    {"status", FaultKind::Status, true},
    {"fehler", FaultKind::Fehler, false},
};

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
        if (kind.bValue != bHasValue)
            return Refuse(error, QStringLiteral("fault \"%1\": %2 %3 a value")
                                     .arg(ruleText, name,
                                          kind.bValue ? QStringLiteral("needs")
                                                      : QStringLiteral("takes no")));
        rule.kind = kind.kind;
        if (!kind.bValue)
            return rule;
        bool ok = false;
        rule.nValue = action.section(QLatin1Char(':'), 1).toInt(&ok);
        const bool bInRange = kind.kind == FaultKind::Delay
                                  ? rule.nValue >= 0 && rule.nValue <= kMaxDelayMs
                                  : rule.nValue >= 100 && rule.nValue <= 599 && rule.nValue != 200;
        if (!ok || !bInRange)
            return Refuse(error, QStringLiteral("fault \"%1\": bad value").arg(ruleText));
        return rule;
    }
    return Refuse(error, QStringLiteral("fault \"%1\": unknown kind \"%2\"").arg(ruleText, name));
}

} // namespace demoportal
