#include "sync/NeuFzSync.h"

#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "catalogue/Sprache.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "sync/CredentialStore.h"
#include "sync/Portal.h"
#include "sync/SafeCache.h"

#include <QFileInfo>
#include <optional>

bool CNeuFzSlots::Add(QByteArrayView line) {
    if (m_nSlot < std::ssize(m_slots))
        m_slots[m_nSlot] = line.toByteArray();
    const bool bTag = line == portalsync::kNeuFzTag;
    const bool bClosed = bTag && m_nLine > 0;
    if (bTag)
        m_nSlot = 0;
    ++m_nLine;
    ++m_nSlot;
    return bClosed;
}

std::span<const QByteArray, kBilderProSatz> CNeuFzSlots::PhotoPaths() const {
    return std::span(m_slots).subspan<neufz::kHauptfoto, kBilderProSatz>();
}

QByteArray NeuFzPhotoName(const QByteArray& path) {
    return QByteArray(path).replace('/', '_');
}

CNeuFzSync::CNeuFzSync(CSatzStore& store, const SyncOptions& options, SyncOutcome& outcome)
    : m_store(store), m_options(options), m_outcome(outcome) {}

void CNeuFzSync::UpdateNeuFzPictureList() {
    Trace(QStringLiteral("UpdateNeuFzPictureList"));
    // Put into the query as it is: the HTTP client escapes what a request line cannot hold.
    const QByteArray marken = cache::ToCp1252(m_options.TakeMarken());
    if (!FormPasswordDigest(m_store, m_options.TakeCredentials())) {
        m_outcome.Note(SyncFailure::NoCredentials);
        Trace(QStringLiteral("UpdateNeuFzPictureList fertig"));
        return;
    }
    CPortalConnection portal(m_store, m_options, m_outcome);
    const char* query =
        ByLanguage(m_store.m_nSprache, portalsync::kNeuFzQueryDe, portalsync::kNeuFzQueryFr);
    const PortalAnswer answer =
        portal.Get(FormatPath(portal::kGatewayPath, query, m_store.m_strPasswordDigest.constData(),
                              m_store.m_nKundenNr, marken.constData()),
                   m_options.nNeuFzListTimeout);
    // No answer at all: the portal is out of reach, so are its photos.
    if (answer.nResultCode != 0) {
        m_outcome.Note(answer.failure);
    } else {
        const QString listPath = cache::CachePath(cache::kDaten, portalsync::kNeuFzListe);
        // An empty or refused answer keeps the previous list: the next try may be a week away.
        // The photos of that list are still fetched.
        const SyncFailure failure = answer.TextFailure();
        m_outcome.Note(failure);
        const auto text = failure == SyncFailure::None
                              ? std::optional(answer.body)
                              : cache::ReadWholeFile(listPath, kMaxCacheTextSize);
        if (text) {
            bool bComplete = true;
            CNeuFzSlots lineStore;
            cache::CLineReader lines(*text);
            while (const auto line = lines.Next())
                if (lineStore.Add(*line))
                    bComplete = FetchPhotos(portal, lineStore.PhotoPaths()) && bComplete;
            // The list comes last: a vehicle whose new photo may still come keeps its previous
            // slide until a sync brings every photo.
            if (failure == SyncFailure::None && bComplete)
                ReplaceCacheFile(listPath, answer.body);
        }
    }
    Trace(QStringLiteral("UpdateNeuFzPictureList fertig"));
}

bool CNeuFzSync::FetchPhotos(CPortalConnection& portal, std::span<const QByteArray> paths) {
    bool bComplete = true;
    for (const QByteArray& path : paths) {
        // A record of 21 to 25 lines leaves its own closing "<neufz>" in a photo slot: no path.
        if (path == portalsync::kNeuFzTag)
            continue;
        // The path may hold "/", its local name may not lead anywhere else.
        const QByteArray name = NeuFzPhotoName(path);
        if (!IsSafeCacheName(name))
            continue;
        const QString file = cache::CachePath(cache::kBilder, name);
        if (QFileInfo::exists(file))
            continue;
        const PortalAnswer photo = portal.Get(path, m_options.nRequestTimeout);
        const SyncFailure failure = photo.PhotoFailure();
        m_outcome.Note(failure);
        // No answer, or a photo that could not be stored (a full disk): it may come next time.
        if (failure == SyncFailure::None && ReplaceCacheFile(file, photo.body))
            m_options.Report(SyncStep::Photo);
        else if (IsNoAnswer(failure) || failure == SyncFailure::None)
            bComplete = false;
    }
    return bComplete;
}
