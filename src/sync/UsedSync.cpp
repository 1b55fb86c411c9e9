#include "sync/UsedSync.h"

#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "catalogue/Sprache.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "sync/CredentialStore.h"
#include "sync/Portal.h"
#include "sync/SafeCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace {

// Record lines up to the last photo line.
constexpr int kRecordLinesRead = occ::kHauptfoto + kBilderProSatz;

QString ListPath() {
    return cache::CachePath(cache::kDaten, portalsync::kSatzNrListe);
}

QByteArray RecordFileName(int nKundenNr, int nSatzNr) {
    return FormatPath("", portalsync::kRecordFileFormat, nKundenNr, nSatzNr);
}

// Lines 7 to 11 of a record text, as far as it has them.
std::vector<QByteArray> RecordPhotoNames(const QByteArray& text) {
    std::vector<QByteArray> lines = cache::SplitLines(text, kRecordLinesRead);
    if (std::ssize(lines) <= occ::kHauptfoto)
        return {};
    lines.erase(lines.begin(), lines.begin() + occ::kHauptfoto);
    return lines;
}

void RemovePhoto(const QByteArray& name) {
    if (IsSafeCacheName(name))
        QFile::remove(cache::CachePath(cache::kBilder, name));
}

} // namespace

int ParseSatzNrList(const std::vector<QByteArray>& lines, std::vector<SatzNrEntry>& list) {
    const qsizetype nCapacity = std::min<qsizetype>(kSatzNrListSize, std::ssize(list)) - 1;
    const int nCount = static_cast<int>(std::clamp<qsizetype>(std::ssize(lines) - 1, 0, nCapacity));
    for (int i = 1; i <= nCount; ++i) {
        // Fields a short line lacks stay empty; anything after the seventh is ignored.
        const QList<QByteArray> fields = lines[i].split(';');
        SatzNrEntry& entry = list[i];
        entry.nSatzNr = cache::ParseInt(fields.front());
        entry.strStand = fields.value(1);
        for (int k = 0; k < kBilderProSatz; ++k)
            entry.strBild[k] = fields.value(2 + k);
    }
    return nCount;
}

CUsedSync::CUsedSync(CSatzStore& store, const SyncOptions& options, SyncOutcome& outcome)
    : m_store(store), m_options(options), m_outcome(outcome) {}

void CUsedSync::UpdatePictureList() {
    Trace(QStringLiteral("UpdatePictureList"));
    if (!FormPasswordDigest(m_store, m_options.TakeCredentials())) {
        m_outcome.Note(SyncFailure::NoCredentials);
        Trace(QStringLiteral("UpdatePictureList Fertig"));
        return;
    }
    QByteArray list;
    {
        CPortalConnection portal(m_store, m_options, m_outcome);
        const char* query =
            ByLanguage(m_store.m_nSprache, portalsync::kListQueryDe, portalsync::kListQueryFr);
        PortalAnswer answer = portal.Get(FormatPath(portal::kGatewayPath, query,
                                                    m_store.m_strPasswordDigest.constData(),
                                                    m_store.m_nKundenNr, m_store.m_nResMode),
                                         m_options.nRequestTimeout);
        // A failed, empty or refused answer keeps the previous list: nothing is deleted on
        // the strength of an answer that is no list.
        if (const SyncFailure failure = answer.TextFailure(); failure != SyncFailure::None) {
            m_outcome.Note(failure);
        } else {
            list = std::move(answer.body);
            ReplaceCacheFile(ListPath(), list);
        }
    }
    // Works on the answer itself, so a list file that cannot be written costs nothing.
    ReadSatzNrList(list);
    Trace(QStringLiteral("UpdatePictureList Fertig"));
}

void CUsedSync::ReadSatzNrList(const QByteArray& text) {
    m_store.m_nSatzNrCount = 0;
    if (!IsErrorAnswer(text)) {
        // The address and the records the list has room for: the rest is never read.
        const std::vector<QByteArray> lines = cache::SplitLines(text, kSatzNrListSize);
        WriteProfileString(setting::kSection, setting::kAdresse, cache::FromCp1252(lines.front()));
        m_store.m_nSatzNrCount = ParseSatzNrList(lines, m_store.m_satzNrList);
        m_options.Report(SyncStep::Listed, m_store.m_nSatzNrCount);
        SyncSatzFiles();
    }
    m_store.m_strAdresse = GetProfileString(setting::kSection, setting::kAdresse);
}

void CUsedSync::SyncSatzFiles() {
    CPortalConnection portal(m_store, m_options, m_outcome);
    RemoveUnlistedRecords();
    for (int i = 1; i <= m_store.m_nSatzNrCount; ++i) {
        const SatzNrEntry& entry = m_store.m_satzNrList[i];
        // A record number of 1 or less names no record on the portal.
        if (!IsStale(entry) || entry.nSatzNr <= 1)
            continue;
        const QByteArray record = FetchRecord(portal, entry.nSatzNr);
        // The record file comes last: once it matches the list, neither it nor its photos are
        // asked for again. While a photo may still come, the previous file stays and shows the
        // previous slide, and the record stays stale for the next run.
        if (!record.isEmpty() && FetchPhotos(portal, record) &&
            ReplaceCacheFile(RecordPath(entry.nSatzNr), record))
            m_options.Report(SyncStep::Record);
    }
}

void CUsedSync::RemoveUnlistedRecords() {
    QSet<QString> listed;
    for (int i = 1; i <= m_store.m_nSatzNrCount; ++i)
        listed.insert(QString::fromLatin1(
            RecordFileName(m_store.m_nKundenNr, m_store.m_satzNrList[i].nSatzNr)));
    // Files of another customer number are never listed, so they go too.
    const QDir daten(QString::fromLatin1(cache::kDaten));
    for (const QString& name :
         daten.entryList({QString::fromLatin1(portalsync::kRecordFilePattern)}, QDir::Files)) {
        if (listed.contains(name))
            continue;
        const QString path = daten.filePath(name);
        if (const auto text = cache::ReadWholeFile(path, kMaxCacheTextSize))
            for (const QByteArray& photo : RecordPhotoNames(*text))
                RemovePhoto(photo);
        QFile::remove(path);
    }
}

bool CUsedSync::IsStale(const SatzNrEntry& entry) {
    // A record file that is missing or cannot be read is fetched again.
    const auto text = cache::ReadWholeFile(RecordPath(entry.nSatzNr), kMaxCacheTextSize);
    if (!text)
        return true;
    // A line the file does not have is not compared.
    const std::vector<QByteArray> lines = cache::SplitLines(*text, kRecordLinesRead);
    bool bStale = std::ssize(lines) > portalsync::kStandLine &&
                  lines[portalsync::kStandLine] != entry.strStand;
    for (int k = 0; k < kBilderProSatz; ++k) {
        const int nLine = occ::kHauptfoto + k;
        if (nLine < std::ssize(lines) && lines[nLine] != entry.strBild[k]) {
            bStale = true;
            RemovePhoto(entry.strBild[k]);
        }
    }
    return bStale;
}

QByteArray CUsedSync::FetchRecord(CPortalConnection& portal, int nSatzNr) {
    const char* query =
        ByLanguage(m_store.m_nSprache, portalsync::kRecordQueryDe, portalsync::kRecordQueryFr);
    PortalAnswer answer =
        portal.Get(FormatPath(portal::kGatewayPath, query, nSatzNr, m_store.m_nResMode),
                   m_options.nRequestTimeout);
    // The previous file stays: its change time still differs, so the next run asks again.
    if (const SyncFailure failure = answer.TextFailure(); failure != SyncFailure::None) {
        m_outcome.Note(failure);
        return {};
    }
    return std::move(answer.body);
}

bool CUsedSync::FetchPhotos(CPortalConnection& portal, const QByteArray& record) {
    bool bComplete = true;
    for (const QByteArray& name : RecordPhotoNames(record)) {
        if (name.size() <= portalsync::kMinPhotoName || !IsSafeCacheName(name))
            continue;
        const QString path = cache::CachePath(cache::kBilder, name);
        if (QFileInfo::exists(path))
            continue;
        SyncFailure failure = FetchPhoto(portal, name, path);
        bool bMayCome = IsNoAnswer(failure);
        if (failure != SyncFailure::None && name.size() > portalsync::kMinRetryName) {
            const SyncFailure retry =
                FetchPhoto(portal, name.mid(1, portalsync::kRetryNameLength), path);
            bMayCome = bMayCome || IsNoAnswer(retry);
            // The shorter name is a guess: only a photo missing under both counts, and the
            // reason is the first answer's.
            if (retry == SyncFailure::None)
                failure = SyncFailure::None;
        }
        m_outcome.Note(failure);
        // A photo that came but could not be stored (a full disk) may come again too.
        if (bMayCome || (failure == SyncFailure::None && !QFileInfo::exists(path)))
            bComplete = false;
    }
    return bComplete;
}

SyncFailure CUsedSync::FetchPhoto(CPortalConnection& portal, const QByteArray& requestName,
                                  const QString& path) {
    const PortalAnswer answer =
        portal.Get(FormatPath(portal::kOccasionPhotoPath, portalsync::kPhotoQuery,
                              m_store.m_nKundenNr, requestName.constData()),
                   m_options.nRequestTimeout);
    const SyncFailure failure = answer.PhotoFailure();
    if (failure == SyncFailure::None && ReplaceCacheFile(path, answer.body))
        m_options.Report(SyncStep::Photo);
    return failure;
}

QString CUsedSync::RecordPath(int nSatzNr) const {
    return cache::CachePath(cache::kDaten, RecordFileName(m_store.m_nKundenNr, nSatzNr));
}
