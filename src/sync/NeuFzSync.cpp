#include "sync/NeuFzSync.h"

#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "catalogue/Sprache.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "sync/CredentialStore.h"
#include "sync/Md5Digest.h"
#include "sync/Portal.h"
#include "sync/SafeCache.h"

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

QByteArray CNeuFzSlots::Stamp() const {
    QByteArray lines;
    for (const QByteArray& line : m_slots)
        lines += line + '\n';
    return Md5Digest(lines).toHex();
}

QByteArray NeuFzPhotoName(const QByteArray& path) {
    return cache::WithoutTrailingCr(path).toByteArray().replace('/', '_');
}

void ForEachNeuFzRecord(const QByteArray& list,
                        const std::function<void(const CNeuFzSlots& record)>& take) {
    CNeuFzSlots lineStore;
    cache::CLineReader lines(list);
    int nRecords = 0;
    while (nRecords < kMaxSatz) {
        const auto line = lines.Next();
        if (!line)
            break;
        if (lineStore.Add(*line)) {
            take(lineStore);
            ++nRecords;
        }
    }
}

QSet<QByteArray> NeuFzPhotoNames(const QByteArray& list) {
    QSet<QByteArray> names;
    ForEachNeuFzRecord(list, [&names](const CNeuFzSlots& record) {
        for (const QByteArray& path : record.PhotoPaths())
            names.insert(NeuFzPhotoName(path));
    });
    return names;
}

ListForm NeuFzListForm(const QByteArray& text) {
    cache::CLineReader lines(text);
    bool bTagged = false;
    bool bWhole = true;
    int nLines = -1; // of the record since the last "<neufz>"; before the first, none counts
    while (const auto line = lines.Next()) {
        const bool bTag = *line == portalsync::kNeuFzTag;
        if (!bTag && line->startsWith('<'))
            return ListForm::None;
        if (!bTag) {
            bWhole = bWhole && nLines >= 0;
            ++nLines;
            continue;
        }
        if (bTagged)
            bWhole = bWhole && nLines >= neufz::kHauptfoto && nLines < kNeuFzMaxLines;
        bTagged = true;
        nLines = 0;
    }
    bWhole = bWhole && nLines == 0 && cache::EndsWithLineFeed(text);
    if (!bTagged)
        return ListForm::None;
    return bWhole ? ListForm::Whole : ListForm::Loose;
}

namespace {

// A list that would take more than half of the cached list's vehicles off the show is taken
// only whole: a list cut short, or a text that passes for one, waits a week otherwise.
bool IsNeuFzListToTake(const QByteArray& answer, const QString& listPath) {
    const ListForm form = NeuFzListForm(answer);
    if (form != ListForm::Loose)
        return form == ListForm::Whole;
    const auto cached = cache::ReadWholeFile(listPath, kMaxCacheTextSize);
    if (!cached)
        return true;
    // The main photo tells one vehicle from another.
    QSet<QByteArray> listed;
    ForEachNeuFzRecord(answer, [&listed](const CNeuFzSlots& record) {
        listed.insert(record.PhotoPaths().front());
    });
    int nCached = 0;
    int nRemoved = 0;
    ForEachNeuFzRecord(*cached, [&](const CNeuFzSlots& record) {
        ++nCached;
        nRemoved += listed.contains(record.PhotoPaths().front()) ? 0 : 1;
    });
    return 2 * nRemoved <= nCached;
}

} // namespace

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
        if (failure == SyncFailure::None && !IsNeuFzListToTake(answer.body, listPath))
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
    std::vector<MissingPhoto> missing;
    ForEachNeuFzRecord(list, [&](const CNeuFzSlots& record) { AddMissingPhotos(record, missing); });
    RotateMissingPhotos(missing);
    FetchPhotos(portal, missing);
    m_refusals.Save();
}

void CNeuFzSync::AddMissingPhotos(const CNeuFzSlots& record,
                                  std::vector<MissingPhoto>& missing) const {
    const QByteArray stamp = record.Stamp();
    for (const QByteArray& line : record.PhotoPaths()) {
        // A record of 21 to 25 lines leaves its own closing "<neufz>" in a photo slot: no path.
        if (line == portalsync::kNeuFzTag)
            continue;
        const QByteArray path = cache::WithoutTrailingCr(line).toByteArray();
        // The path may hold "/", its local name may not lead anywhere else.
        const QByteArray name = NeuFzPhotoName(path);
        if (IsSafeCacheName(name) && !m_refusals.Waits(name, stamp) &&
            !HasWholePhoto(cache::CachePath(cache::kBilder, name)))
            missing.push_back({path, name, stamp});
    }
}

void CNeuFzSync::FetchPhotos(CPortalConnection& portal, const std::vector<MissingPhoto>& photos) {
    for (const MissingPhoto& photo : photos) {
        const QString file = cache::CachePath(cache::kBilder, photo.name);
        // A photo two records name came with the first.
        if (m_bOutOfReach || m_nFailedPhotoRequests >= portalsync::kMaxFailedPhotoRequests ||
            HasWholePhoto(file))
            continue;
        const PhotoResult result =
            StorePhotoAnswer(portal.Get(photo.request, m_options.nRequestTimeout), file);
        m_outcome.Note(result.failure);
        m_refusals.Note(photo.name, photo.stamp, result.verdict,
                        {PhotoVerdict::Oversized, PhotoVerdict::NotAPhoto});
        if (result.verdict == PhotoVerdict::Stored)
            m_options.Report(SyncStep::Photo);
        else
            ++m_nFailedPhotoRequests;
        // Every further photo would wait its whole time-out too; the next hour tries again.
        m_bOutOfReach = result.verdict == PhotoVerdict::NoAnswer;
    }
}
