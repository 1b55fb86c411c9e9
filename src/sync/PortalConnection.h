#pragma once
// One group of requests to the portal: the socket layer is started for the group's life, the
// connection target is looked up once, and every request names the portal host in its Host
// line, also when the target is a proxy.

#include "catalogue/CatalogueLimits.h"
#include "net/SocketApi.h"
#include "net/SocketLibrary.h"
#include "sync/CredentialStore.h"
#include "sync/SyncConstants.h"
#include "sync/SyncStatus.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdio>
#include <functional>
#include <optional>

class CCancelToken;
class CSatzStore;

// What a sync reports while it runs: which sync begins, records listed, a record or a photo
// stored, a record removed, a request sent, body bytes.
enum class SyncStep {
    UsedBegins,
    NeuFzBegins,
    Listed,
    Record,
    Photo,
    RecordRemoved,
    Request,
    Bytes
};

// Time-outs and name lookup of the sync; tests shorten the one and replace the other. A job
// on a worker thread adds its cancel, its progress and the copies it took when it began.
struct SyncOptions {
    int nRequestTimeout = portalsync::kRequestTimeout;
    int nNeuFzListTimeout = portalsync::kNeuFzListTimeout;
    // The whole job's, in milliseconds; read by the job, not by its requests.
    int nMaxJobTime = portalsync::kMaxJobTime;
    sockapi::Resolver resolve = sockapi::ResolveBlocking;
    CCancelToken* pCancel = nullptr;
    std::function<void(SyncStep step, qint64 nCount)> onProgress;
    // Each outcome a sync records, as it records it.
    std::function<void(SyncKind kind, const SyncOutcome& outcome)> onOutcome;
    // Without them the settings store is read at each step.
    std::optional<CredentialBytes> credentials;
    std::optional<QString> marken;

    CredentialBytes TakeCredentials() const;
    QString TakeMarken() const;
    void Report(SyncStep step, qint64 nCount = 1) const {
        if (onProgress)
            onProgress(step, nCount);
    }
    // Records the outcome in the settings store and reports it.
    void Record(SyncKind kind, const SyncOutcome& outcome) const;
};

// Empty, or shorter than kErrorAnswerSize and holding kErrorMarker. The text counts up to its
// first zero byte, so an answer of zero bytes is empty however long it is.
bool IsErrorAnswer(QByteArrayView body);

// An answer that a proxy, a captive portal or a broken page gives with status 200: a web
// page, a compressed body, or bytes that hold a zero byte. No list or record looks so.
bool IsForeignAnswer(QByteArrayView contentType, bool bEncoded, QByteArrayView body);

// How far an answer has the form of a list: not at all, enough to be taken as one, or whole
// (every line as the portal writes it, nothing cut off). A list that would remove most of what
// is cached is taken only whole.
enum class ListForm { None, Loose, Whole };

// Whether bytes begin like a picture of a format the decoder reads.
bool IsPictureBytes(QByteArrayView bytes);

// No whole answer came: the portal or the way to it failed, and the same request may succeed at
// the next run. An answer the portal gave, a refusal included, stays what it is.
inline bool IsNoAnswer(SyncFailure failure) {
    return failure == SyncFailure::NameLookup || failure == SyncFailure::Connect ||
           failure == SyncFailure::TimeOut || failure == SyncFailure::HeaderTooLong;
}

struct PortalAnswer {
    int nResultCode = 0; // the HTTP client's: not 0 when no answer came at all
    SyncFailure failure = SyncFailure::None;
    QByteArray body; // empty on every failure
    QByteArray contentType;
    bool bEncoded = false; // the answer named a Content-Encoding

    // Why the answer is no list or record: its failure, or an error answer; None when it is.
    SyncFailure TextFailure() const {
        if (failure != SyncFailure::None)
            return failure;
        return IsErrorAnswer(body) || IsForeignAnswer(contentType, bEncoded, body)
                   ? SyncFailure::ErrorAnswer
                   : SyncFailure::None;
    }
    // Why the answer is no photo: a photo is longer than kMinPhotoBytes, no longer than the
    // loader takes, and begins like a picture.
    SyncFailure PhotoFailure() const {
        if (failure != SyncFailure::None)
            return failure;
        return body.size() > portalsync::kMinPhotoBytes && body.size() <= kMaxPictureFileSize &&
                       IsPictureBytes(body)
                   ? SyncFailure::None
                   : SyncFailure::ErrorAnswer;
    }
};

class CPortalConnection {
public:
    // Counts the requests sent and the body bytes received into outcome.
    CPortalConnection(const CSatzStore& store, const SyncOptions& options, SyncOutcome& outcome);
    CPortalConnection(const CPortalConnection&) = delete;
    CPortalConnection& operator=(const CPortalConnection&) = delete;

    // GET of path (origin form, with its query). A path the request text cannot hold is not
    // sent and gives an empty answer.
    PortalAnswer Get(const QByteArray& path, int nTimeoutSeconds);

private:
    // 0 once the target's address is known, or the lookup's error code, kept for the group.
    int Resolve(int nTimeoutSeconds);

    CSocketLibrary m_library;
    std::array<char, 16> m_szAddress{}; // the target as a dotted address
    int m_nPort;
    const char* m_szServer;
    const SyncOptions& m_options;
    SyncOutcome& m_outcome;
    bool m_bResolved = false;
    int m_nLookupError = 0;
};

// prefix followed by the printf-formatted query: a request path.
template <typename... Args>
QByteArray FormatPath(const char* prefix, const char* format, Args... args) {
    const int size = std::snprintf(nullptr, 0, format, args...);
    QByteArray query(size + 1, '\0');
    std::snprintf(query.data(), query.size(), format, args...);
    query.chop(1);
    return prefix + query;
}
