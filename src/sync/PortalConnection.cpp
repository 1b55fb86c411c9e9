#include "sync/PortalConnection.h"

#include "catalogue/SatzStore.h"
#include "net/CancelToken.h"
#include "net/HttpRequest.h"
#include "net/NetLimits.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "sync/Portal.h"

#include <cstdio>
#include <memory>

namespace {

constexpr int kMaxPort = 65535;

SyncFailure Classify(int nResultCode, int nStatusCode) {
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

} // namespace

CredentialBytes SyncOptions::TakeCredentials() const {
    return credentials ? *credentials : LoadCredentialBytes();
}

QString SyncOptions::TakeMarken() const {
    return marken ? *marken : GetProfileString(setting::kSection, setting::kMarken);
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
        m_nLookupError = sockapi::Lookup(m_szServer, nTimeoutSeconds, address, m_options.resolve);
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
    if (const int error = Resolve(nTimeoutSeconds); error != 0) {
        answer.nResultCode = error;
        answer.failure = SyncFailure::NameLookup;
        return answer;
    }
    ++m_outcome.nRequests;
    answer.nResultCode = request->RequestURL(m_szAddress.data(),
                                             static_cast<std::uint16_t>(m_nPort), nTimeoutSeconds);
    answer.failure = Classify(answer.nResultCode, request->StatusCode());
    if (answer.failure == SyncFailure::None) {
        answer.body = QByteArray(request->Body(), request->BodyLength());
        m_outcome.nBytes += answer.body.size();
        m_options.Report(SyncStep::Bytes, answer.body.size());
    }
    return answer;
}
