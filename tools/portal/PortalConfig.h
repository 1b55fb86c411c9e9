#pragma once
// What an operator or a test sets on a running portal: the request log and the faults it
// injects into chosen answers.

#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace demoportal {

enum class FaultKind {
    Delay,           // waits nValue milliseconds before answering
    CloseBeforeBody, // sends the header, then closes
    CutBody,         // announces the whole body, sends half of it, closes
    LongLength,      // announces more bytes than the body has, sends the body, closes
    Status,          // answers with status nValue
    Fehler,          // answers 200 with a short "FEHLER" text
};

// "PATTERN=KIND" or "PATTERN=KIND:VALUE", split at the last "=". A pattern with a "*" is a
// glob over the whole request target (path and query; "*" also matches "/"), any other
// pattern a substring of it; an empty pattern matches every request. Kinds: delay:MS,
// close-before-body, cut-body, long-length, status:CODE, fehler.
struct FaultRule {
    QString strPattern;
    FaultKind kind = FaultKind::Fehler;
    int nValue = 0;

    bool Matches(QByteArrayView target) const;
};

// The rule, or nothing with the reason in error.
std::optional<FaultRule> ParseFaultRule(const QString& ruleText, QString* error = nullptr);

struct PortalConfig {
    // Every matching delay applies; of the other kinds the first matching rule shapes the
    // answer.
    std::vector<FaultRule> faults;
    // One line per request is appended when not empty.
    QString strLogFile;
};

} // namespace demoportal
