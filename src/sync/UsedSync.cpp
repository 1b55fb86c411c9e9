#include "sync/UsedSync.h"

#include "catalogue/CacheFile.h"
#include "catalogue/CacheText.h"
#include "catalogue/Sprache.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "sync/CredentialStore.h"
#include "sync/NeuFzSync.h"
#include "sync/Portal.h"
#include "sync/SafeCache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <map>

namespace {

// Record lines up to the last photo line.
constexpr int kRecordLinesRead = occ::kHauptfoto + kBilderProSatz;

QString ListPath() {
    return cache::CachePath(cache::kDaten, portalsync::kSatzNrListe);
}

QByteArray RecordFileName(int nKundenNr, int nSatzNr) {
    return FormatPath("", portalsync::kRecordFileFormat, nKundenNr, nSatzNr);
}

// The line of a record text, without a carriage return at its end; empty when it has none.
QByteArray RecordLine(const std::vector<QByteArray>& lines, int nLine) {
    return nLine < std::ssize(lines) ? cache::WithoutTrailingCr(lines[nLine]).toByteArray()
                                     : QByteArray();
}

// Lines 7 to 11 of a record text, as far as it has them.
std::vector<QByteArray> RecordPhotoNames(const QByteArray& text) {
    const std::vector<QByteArray> lines = cache::SplitLines(text, kRecordLinesRead);
    std::vector<QByteArray> names;
    for (int nLine = occ::kHauptfoto; nLine < std::ssize(lines); ++nLine)
        names.push_back(RecordLine(lines, nLine));
    return names;
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The record number at the start of a list line: blanks, a sign, decimal digits.
struct ListedNumber {
    bool bInRange = true;    // within the 32-bit range
    bool bSemicolon = false; // ";" comes right after its digits
    int nValue = 0;          // 0 without digits
};

ListedNumber ReadListedNumber(QByteArrayView line) {
    ListedNumber number;
    qsizetype i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    const bool bNegative = i < line.size() && line[i] == '-';
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        ++i;
    const qsizetype nFirstDigit = i;
    const long long nLimit = static_cast<long long>(INT_MAX) + (bNegative ? 1 : 0);
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = std::min(value * 10 + (line[i] - '0'), nLimit + 1);
        number.bInRange = value <= nLimit;
    }
    number.bSemicolon = i > nFirstDigit && i < line.size() && line[i] == ';';
    if (number.bInRange)
        number.nValue = static_cast<int>(bNegative ? -value : value);
    return number;
}

void RemovePhoto(const QByteArray& name) {
    if (IsSafeCacheName(name))
        QFile::remove(cache::CachePath(cache::kBilder, name));
}

std::map<int, int> ReadHeldBack() {
    std::map<int, int> runs;
    const QString text = GetProfileString(portalsync::kHeldBackSection, portalsync::kHeldBackKey);
    for (const QString& pair : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        runs[pair.section(QLatin1Char(':'), 0, 0).toInt()] =
            pair.section(QLatin1Char(':'), 1).toInt();
    return runs;
}

void WriteHeldBack(const std::map<int, int>& runs) {
    QStringList pairs;
    for (const auto& [nSatzNr, nRuns] : runs)
        pairs << QStringLiteral("%1:%2").arg(nSatzNr).arg(nRuns);
    WriteProfileString(portalsync::kHeldBackSection, portalsync::kHeldBackKey,
                       pairs.join(QLatin1Char(',')));
}

} // namespace

bool IsRecordList(const QByteArray& text) {
    cache::CLineReader lines(text);
    const auto address = lines.Next();
    if (!address || address->startsWith('<'))
        return false;
    while (const auto line = lines.Next()) {
        const QByteArrayView record = cache::WithoutTrailingCr(*line);
        if (!record.isEmpty() && !ReadListedNumber(record).bSemicolon)
            return false;
    }
    return true;
}

int ParseSatzNrList(const std::vector<QByteArray>& lines, std::vector<SatzNrEntry>& list) {
    const qsizetype nCapacity = std::min<qsizetype>(kSatzNrListSize, std::ssize(list)) - 1;
    QSet<int> listed;
    int nCount = 0;
    for (qsizetype i = 1; i < std::ssize(lines) && nCount < nCapacity; ++i) {
        // Fields a short line lacks stay empty; anything after the seventh is ignored.
        const QList<QByteArray> fields =
            cache::WithoutTrailingCr(lines[i]).toByteArray().split(';');
        const ListedNumber number = ReadListedNumber(fields.front());
        if (!number.bInRange) {
            TraceF("Satznummer ausserhalb des Bereichs: %s", fields.front().left(40).constData());
            continue;
        }
        // The first line of a record counts: a second one would fetch it again and again.
        if (listed.contains(number.nValue)) {
            TraceF("Satz %d doppelt in der Liste", number.nValue);
            continue;
        }
        listed.insert(number.nValue);
        SatzNrEntry& entry = list[++nCount];
        entry.nSatzNr = number.nValue;
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
    m_options.Report(SyncStep::UsedBegins, 0);
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
        SyncFailure failure = answer.TextFailure();
        if (failure == SyncFailure::None && !IsRecordList(answer.body))
            failure = SyncFailure::ErrorAnswer;
        if (failure != SyncFailure::None) {
            m_outcome.Note(failure);
        } else {
            list = std::move(answer.body);
            ReplaceCacheFile(ListPath(), list);
            m_outcome.bListed = true;
        }
    }
    // Works on the answer itself, so a list file that cannot be written costs nothing.
    ReadSatzNrList(list);
    Trace(QStringLiteral("UpdatePictureList Fertig"));
}

void CUsedSync::ReadSatzNrList(const QByteArray& text) {
    m_store.m_nSatzNrCount = 0;
    if (!IsErrorAnswer(text) && IsRecordList(text)) {
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
    const std::map<int, int> heldBefore = ReadHeldBack();
    std::map<int, int> heldNow;
    for (int i = 1; i <= m_store.m_nSatzNrCount; ++i) {
        const SatzNrEntry& entry = m_store.m_satzNrList[i];
        // A record number of 1 or less names no record on the portal.
        if (!IsStale(entry) || entry.nSatzNr <= 1)
            continue;
        const QByteArray record = FetchRecord(portal, entry);
        if (record.isEmpty())
            continue;
        // The record file comes last: once it matches the list, neither it nor its photos are
        // asked for again. While a photo may still come, the previous file stays and shows the
        // previous slide, and the record stays stale for the next run; but not for ever, or
        // the previous price stays on show.
        if (!FetchPhotos(portal, record)) {
            const auto before = heldBefore.find(entry.nSatzNr);
            const int nRuns = (before == heldBefore.end() ? 0 : before->second) + 1;
            if (nRuns < portalsync::kMaxHeldBackRuns) {
                heldNow[entry.nSatzNr] = nRuns;
                continue;
            }
            TraceF("Satz %d ohne alle Fotos geschrieben", entry.nSatzNr);
        }
        if (ReplaceCacheFile(RecordPath(entry.nSatzNr), record)) {
            m_options.Report(SyncStep::Record);
            for (const QByteArray& photo : RecordPhotoNames(record))
                m_photosInUse.insert(photo);
        }
    }
    WriteHeldBack(heldNow);
}

void CUsedSync::RemoveUnlistedRecords() {
    QSet<QString> listed;
    for (int i = 1; i <= m_store.m_nSatzNrCount; ++i)
        listed.insert(QString::fromLatin1(
            RecordFileName(m_store.m_nKundenNr, m_store.m_satzNrList[i].nSatzNr)));
    // Files of another customer number are never listed, so they go too.
    const QDir daten(QString::fromLatin1(cache::kDaten));
    QSet<QByteArray> photosOfRemoved;
    m_photosInUse.clear();
    for (const QString& name :
         daten.entryList({QString::fromLatin1(portalsync::kRecordFilePattern)}, QDir::Files)) {
        const QString path = daten.filePath(name);
        const auto text = cache::ReadWholeFile(path, kMaxCacheTextSize);
        QSet<QByteArray>& photos = listed.contains(name) ? m_photosInUse : photosOfRemoved;
        if (text)
            for (const QByteArray& photo : RecordPhotoNames(*text))
                photos.insert(photo);
        if (!listed.contains(name))
            QFile::remove(path);
    }
    // A photo the new-vehicle list or a remaining record shows stays.
    if (const auto list = cache::ReadWholeFile(
            cache::CachePath(cache::kDaten, portalsync::kNeuFzListe), kMaxCacheTextSize))
        for (const QByteArray& photo : NeuFzPhotoNames(*list))
            m_photosInUse.insert(photo);
    for (const QByteArray& photo : std::as_const(photosOfRemoved))
        RemoveUnusedPhoto(photo);
}

void CUsedSync::RemoveUnusedPhoto(const QByteArray& name) const {
    if (!m_photosInUse.contains(name))
        RemovePhoto(name);
}

bool CUsedSync::IsStale(const SatzNrEntry& entry) {
    // A record file that is missing or cannot be read is fetched again.
    const auto text = cache::ReadWholeFile(RecordPath(entry.nSatzNr), kMaxCacheTextSize);
    if (!text)
        return true;
    // A line the file does not have is not compared.
    const std::vector<QByteArray> lines = cache::SplitLines(*text, kRecordLinesRead);
    bool bStale = std::ssize(lines) > portalsync::kStandLine &&
                  RecordLine(lines, portalsync::kStandLine) != entry.strStand;
    for (int k = 0; k < kBilderProSatz; ++k) {
        const int nLine = occ::kHauptfoto + k;
        if (nLine < std::ssize(lines) && RecordLine(lines, nLine) != entry.strBild[k]) {
            bStale = true;
            RemoveUnusedPhoto(entry.strBild[k]);
        }
    }
    return bStale;
}

QByteArray CUsedSync::FetchRecord(CPortalConnection& portal, const SatzNrEntry& entry) {
    const char* query =
        ByLanguage(m_store.m_nSprache, portalsync::kRecordQueryDe, portalsync::kRecordQueryFr);
    PortalAnswer answer =
        portal.Get(FormatPath(portal::kGatewayPath, query, entry.nSatzNr, m_store.m_nResMode),
                   m_options.nRequestTimeout);
    // The previous file stays: its change time still differs, so the next run asks again.
    // An answer without the listed change time is no record, or not the listed one.
    SyncFailure failure = answer.TextFailure();
    if (failure == SyncFailure::None && RecordLine(cache::SplitLines(answer.body, kRecordLinesRead),
                                                   portalsync::kStandLine) != entry.strStand)
        failure = SyncFailure::ErrorAnswer;
    if (failure != SyncFailure::None) {
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
            if (retry == SyncFailure::None) {
                failure = SyncFailure::None;
                bMayCome = false;
            }
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
