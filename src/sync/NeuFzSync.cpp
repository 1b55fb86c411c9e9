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

bool CNeuFzSlots::Add(const QByteArray& line) {
    if (m_nSlot < std::ssize(m_slots))
        m_slots[m_nSlot] = line;
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
    const QByteArray marken =
        cache::ToCp1252(GetProfileString(setting::kSection, setting::kMarken));
    if (!FormPasswordDigest(m_store)) {
        m_outcome.Note(SyncFailure::NoCredentials);
        Trace(QStringLiteral("UpdateNeuFzPictureList fertig"));
        return;
    }
    CPortalConnection portal(m_store, m_options.resolve, m_outcome);
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
        if (const SyncFailure failure = answer.TextFailure(); failure != SyncFailure::None)
            m_outcome.Note(failure);
        else
            ReplaceCacheFile(listPath, answer.body);
        if (const auto text = cache::ReadWholeFile(listPath, kMaxCacheTextSize)) {
            CNeuFzSlots lineStore;
            for (const QByteArray& line : cache::SplitLines(*text))
                if (lineStore.Add(line))
                    FetchPhotos(portal, lineStore.PhotoPaths());
        }
    }
    Trace(QStringLiteral("UpdateNeuFzPictureList fertig"));
}

void CNeuFzSync::FetchPhotos(CPortalConnection& portal, std::span<const QByteArray> paths) {
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
        if (const SyncFailure failure = photo.PhotoFailure(); failure != SyncFailure::None)
            m_outcome.Note(failure);
        else
            ReplaceCacheFile(file, photo.body);
    }
}
