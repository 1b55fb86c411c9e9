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
    return cache::WithoutTrailingCr(path).toByteArray().replace('/', '_');
}

void ForEachNeuFzRecord(const QByteArray& list,
                        const std::function<void(std::span<const QByteArray>)>& take) {
    CNeuFzSlots lineStore;
    cache::CLineReader lines(list);
    int nRecords = 0;
    while (nRecords < kMaxSatz) {
        const auto line = lines.Next();
        if (!line)
            break;
        if (lineStore.Add(*line)) {
            take(lineStore.PhotoPaths());
            ++nRecords;
        }
    }
}

QSet<QByteArray> NeuFzPhotoNames(const QByteArray& list) {
    QSet<QByteArray> names;
    ForEachNeuFzRecord(list, [&names](std::span<const QByteArray> paths) {
        for (const QByteArray& path : paths)
            names.insert(NeuFzPhotoName(path));
    });
    return names;
}

bool IsNeuFzList(const QByteArray& text) {
    cache::CLineReader lines(text);
    while (const auto line = lines.Next())
        if (*line == portalsync::kNeuFzTag)
            return true;
    return false;
}

CNeuFzSync::CNeuFzSync(CSatzStore& store, const SyncOptions& options, SyncOutcome& outcome)
    : m_store(store), m_options(options), m_outcome(outcome) {}

void CNeuFzSync::UpdateNeuFzPictureList() {
    Trace(QStringLiteral("UpdateNeuFzPictureList"));
    m_options.Report(SyncStep::NeuFzBegins, 0);
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
        // The photos of that list are still fetched. A good list is kept whatever its photos
        // do: those missing are fetched at the next hourly update.
        SyncFailure failure = answer.TextFailure();
        if (failure == SyncFailure::None && !IsNeuFzList(answer.body))
            failure = SyncFailure::ErrorAnswer;
        m_outcome.Note(failure);
        m_outcome.bListed = failure == SyncFailure::None;
        if (failure == SyncFailure::None)
            ReplaceCacheFile(listPath, answer.body);
        const auto text = failure == SyncFailure::None
                              ? std::optional(answer.body)
                              : cache::ReadWholeFile(listPath, kMaxCacheTextSize);
        if (text)
            FetchListPhotos(portal, *text);
    }
    Trace(QStringLiteral("UpdateNeuFzPictureList fertig"));
}

void CNeuFzSync::FetchMissingPhotos() {
    const auto text = cache::ReadWholeFile(cache::CachePath(cache::kDaten, portalsync::kNeuFzListe),
                                           kMaxCacheTextSize);
    if (!text || !FormPasswordDigest(m_store, m_options.TakeCredentials()))
        return;
    CPortalConnection portal(m_store, m_options, m_outcome);
    FetchListPhotos(portal, *text);
}

void CNeuFzSync::FetchListPhotos(CPortalConnection& portal, const QByteArray& list) {
    ForEachNeuFzRecord(list,
                       [&](std::span<const QByteArray> paths) { FetchPhotos(portal, paths); });
}

void CNeuFzSync::FetchPhotos(CPortalConnection& portal, std::span<const QByteArray> paths) {
    for (const QByteArray& line : paths) {
        // A record of 21 to 25 lines leaves its own closing "<neufz>" in a photo slot: no path.
        if (m_bOutOfReach || line == portalsync::kNeuFzTag)
            continue;
        const QByteArray path = cache::WithoutTrailingCr(line).toByteArray();
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
        if (failure == SyncFailure::None && ReplaceCacheFile(file, photo.body))
            m_options.Report(SyncStep::Photo);
        // Every further photo would wait its whole time-out too; the next hour tries again.
        m_bOutOfReach = IsNoAnswer(failure);
    }
}
