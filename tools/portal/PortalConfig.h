#pragma once
// What an operator or a test sets on a running portal: the request log and the faults it
// injects into chosen answers.

#include <QByteArray>
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
    NoLength,        // sends no Content-Length: the body ends at the close
    Body,            // answers 200 with the text value as a plain-text body
    ContentType,     // gives the answer the content type value
    ContentEncoding, // adds a Content-Encoding line with the value
    CrLf,            // ends the lines of a text answer with CR LF
    LongHeader,      // adds a Set-Cookie line of nValue bytes to the header
    TwoLengths,      // two Content-Length lines, the body's length and then half of it
    CutNoLength,     // sends half the body without a Content-Length, then closes
};

// "PATTERN=KIND" or "PATTERN=KIND:VALUE", split at the last "=". A pattern with a "*" is a
// glob over the whole request target (path and query; "*" also matches "/"), any other
// pattern a substring of it; an empty pattern matches every request. Kinds: delay:MS,
// close-before-body, cut-body, long-length, status:CODE, fehler, no-length, body:TEXT,
// type:TEXT, encoding:TEXT, crlf, long-header:BYTES, two-lengths, cut-no-length. A TEXT value
// is percent-decoded, so it can hold "=", line ends and zero bytes.
struct FaultRule {
    QString strPattern;
    FaultKind kind = FaultKind::Fehler;
    int nValue = 0;
    QByteArray text;

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
    // Whether Requests() keeps each line in memory too, for tests and benchmarks; a portal
    // that serves for weeks does without.
    bool bKeepRequests = true;
};

} // namespace demoportal
