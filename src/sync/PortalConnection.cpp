#include "sync/PortalConnection.h"

#include "catalogue/SatzStore.h"
#include "net/CancelToken.h"
#include "net/HttpRequest.h"
#include "net/NetLimits.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/Portal.h"

#include <QImageReader>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

constexpr int kMaxPort = 65535;

SyncFailure Classify(int nResultCode, int nStatusCode) {
    if (nResultCode == sockapi::kHeaderTooLong)
        return SyncFailure::HeaderTooLong;
    if (nResultCode != 0)
        return nResultCode == sockapi::kTimedOut ? SyncFailure::TimeOut : SyncFailure::Connect;
    switch (nStatusCode) {
    case 200:
        return SyncFailure::None;
    case net::kStatusHeaderClosed:
        return SyncFailure::Connect;
    case net::kStatusReceiveTimeout:
    case net::kStatusSendTimeout:
        return SyncFailure::TimeOut;
    default:
        return SyncFailure::Status;
    }
}

struct Signature {
    const char* format;
    QByteArrayView magic;
};

// The first bytes of every file of a format; WebP's "WEBP" follows at offset 8.
constexpr Signature kSignatures[] = {
    {"jpeg", "\xFF\xD8\xFF"},
    {"png", "\x89PNG\r\n\x1A\n"},
    {"gif", "GIF87a"},
    {"gif", "GIF89a"},
    {"bmp", "BM"},
    {"webp", "RIFF"},
};

} // namespace

bool IsForeignAnswer(QByteArrayView contentType, bool bEncoded, QByteArrayView body) {
    const QByteArray type = contentType.trimmed().toByteArray().toLower();
    return bEncoded || type.startsWith("text/html") || body.contains('\0');
}

bool IsPictureBytes(QByteArrayView bytes) {
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const Signature& signature : kSignatures) {
        if (!bytes.startsWith(signature.magic) || !formats.contains(signature.format))
            continue;
        if (signature.format != QByteArrayView("webp") ||
            (bytes.size() > 12 && bytes.sliced(8).startsWith("WEBP")))
            return true;
    }
    return false;
}

CredentialBytes SyncOptions::TakeCredentials() const {
    return credentials ? *credentials : LoadCredentialBytes();
}

QString SyncOptions::TakeMarken() const {
    return marken ? *marken : GetProfileString(setting::kSection, setting::kMarken);
}

void SyncOptions::Record(SyncKind kind, const SyncOutcome& outcome) const {
    WriteSyncOutcome(kind, outcome);
    if (onOutcome)
        onOutcome(kind, outcome);
}

bool IsErrorAnswer(QByteArrayView body) {
    const qsizetype nul = body.indexOf('\0');
    const QByteArrayView text = nul < 0 ? body : body.first(nul);
    return text.isEmpty() ||
           (body.size() < portalsync::kErrorAnswerSize && text.contains(portalsync::kErrorMarker));
}

CPortalConnection::CPortalConnection(const CSatzStore& store, const SyncOptions& options,
                                     SyncOutcome& outcome)
    // A port out of range must not wrap onto another one: port 0 is refused by the connect.
    : m_nPort(store.m_nServerPort > 0 && store.m_nServerPort <= kMaxPort ? store.m_nServerPort : 0),
      m_szServer(store.m_szServer.data()), m_options(options), m_outcome(outcome) {}

int CPortalConnection::Resolve(int nTimeoutSeconds) {
    if (!m_bResolved) {
        in_addr address{};
        m_nLookupError = sockapi::Lookup(m_szServer, std::chrono::seconds(nTimeoutSeconds), address,
                                         m_options.resolve, m_options.pCancel);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&address.s_addr);
        std::snprintf(m_szAddress.data(), m_szAddress.size(), "%u.%u.%u.%u", bytes[0], bytes[1],
                      bytes[2], bytes[3]);
        m_bResolved = true;
    }
    return m_nLookupError;
}

PortalAnswer CPortalConnection::Get(const QByteArray& path, int nTimeoutSeconds) {
    PortalAnswer answer;
    // The client's buffers are large: one request at a time, off the stack.
    auto request = std::make_unique<CHttpRequest>();
    if (!request->FormatRequest(path.constData(), portal::kHost))
        return answer;
    // A cancelled job sends nothing more: every further step meets a portal out of reach.
    if (m_options.pCancel && m_options.pCancel->IsCancelled()) {
        answer.nResultCode = sockapi::kCancelled;
        answer.failure = SyncFailure::Connect;
        return answer;
    }
    request->SetCancelToken(m_options.pCancel);
    // The lookup counts in the request's time.
    request->SetDeadline(std::chrono::steady_clock::now() + net::kMaxRequestTime);
    if (const int error = Resolve(nTimeoutSeconds); error != 0) {
        answer.nResultCode = error;
        answer.failure = SyncFailure::NameLookup;
        return answer;
    }
    ++m_outcome.nRequests;
    m_options.Report(SyncStep::Request);
    answer.nResultCode = request->RequestURL(m_szAddress.data(),
                                             static_cast<std::uint16_t>(m_nPort), nTimeoutSeconds);
    answer.failure = Classify(answer.nResultCode, request->StatusCode());
    if (answer.failure == SyncFailure::Status && m_outcome.nStatusCode == 0)
        m_outcome.nStatusCode = request->StatusCode();
    if (answer.failure == SyncFailure::None) {
        answer.body = QByteArray(request->Body(), request->BodyLength());
        answer.contentType = request->ContentType();
        answer.bEncoded = request->ContentEncoding()[0] != '\0';
        m_outcome.nBytes += answer.body.size();
        m_options.Report(SyncStep::Bytes, answer.body.size());
    }
    return answer;
}
