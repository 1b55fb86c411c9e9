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
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <iterator>
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

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
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

bool IsPlausibleAdresse(QByteArrayView line) {
    const auto isControl = [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t';
    };
    return line.size() <= portalsync::kMaxAdresseLength &&
           !line.contains(portalsync::kErrorMarker) && !line.contains('<') &&
           std::none_of(line.begin(), line.end(), isControl);
}

// "YYYY-MM-DD HH:MM:SS"
bool IsChangeTime(QByteArrayView field) {
    static constexpr QByteArrayView kForm = "0000-00-00 00:00:00";
    if (field.size() != kForm.size())
        return false;
    for (qsizetype i = 0; i < field.size(); ++i)
        if (kForm[i] == '0' ? !IsDigit(field[i]) : field[i] != kForm[i])
            return false;
    return true;
}

// A record line as the portal writes it, all its fields there.
bool IsWholeRecordLine(QByteArrayView line) {
    const qsizetype numberEnd = line.indexOf(';');
    if (numberEnd <= 0 || !std::all_of(line.begin(), line.begin() + numberEnd, IsDigit) ||
        !ReadListedNumber(line).bInRange)
        return false;
    const QByteArrayView rest = line.sliced(numberEnd + 1);
    const qsizetype standEnd = rest.indexOf(';');
    return standEnd >= 0 && IsChangeTime(rest.first(standEnd)) &&
           std::count(rest.begin(), rest.end(), ';') >= portalsync::kListFields - 2;
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

ListForm RecordListForm(const QByteArray& text) {
    cache::CLineReader lines(text);
    const auto adresse = lines.Next();
    if (!adresse || !IsPlausibleAdresse(cache::WithoutTrailingCr(*adresse)))
        return ListForm::None;
    bool bWhole = !adresse->isEmpty() && cache::EndsWithLineFeed(text);
    while (const auto line = lines.Next()) {
        const QByteArrayView record = cache::WithoutTrailingCr(*line);
        if (!record.isEmpty() && !ReadListedNumber(record).bSemicolon)
            return ListForm::None;
        bWhole = bWhole && IsWholeRecordLine(record);
    }
    return bWhole ? ListForm::Whole : ListForm::Loose;
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
        if (failure == SyncFailure::None && !IsListToTake(answer.body))
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
    if (IsListToTake(text)) {
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
    std::vector<const SatzNrEntry*> unchanged;
    for (int i = 1; i <= m_store.m_nSatzNrCount; ++i) {
        const SatzNrEntry& entry = m_store.m_satzNrList[i];
        const bool bStale = IsStale(entry);
        // A record number of 1 or less names no record on the portal.
        if (entry.nSatzNr <= 1)
            continue;
        if (!bStale) {
            unchanged.push_back(&entry);
            continue;
        }
        const QByteArray record = FetchRecord(portal, entry);
        if (record.isEmpty())
            continue;
        // The record file comes last: once it matches the list, it is not asked for again.
        // While a photo may still come, the previous file stays and shows the previous slide,
        // and the record stays stale for the next run; but not for ever, or the previous price
        // stays on show.
        if (!FetchPhotos(portal, MissingPhotos(record, entry.strStand))) {
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
    // A stored record whose photo failed to come, however it failed, asks for it again at
    // every run until it arrives; otherwise its vehicle stays off the show for good.
    std::vector<MissingPhoto> missing;
    for (const SatzNrEntry* entry : unchanged)
        if (const auto text = cache::ReadWholeFile(RecordPath(entry->nSatzNr), kMaxCacheTextSize)) {
            std::vector<MissingPhoto> photos = MissingPhotos(*text, entry->strStand);
            std::move(photos.begin(), photos.end(), std::back_inserter(missing));
        }
    RotateMissingPhotos(missing);
    FetchPhotos(portal, missing);
    m_refusals.Save();
}

bool CUsedSync::IsListToTake(const QByteArray& text) const {
    const ListForm form = RecordListForm(text);
    if (form != ListForm::Loose)
        return form == ListForm::Whole;
    // A list cut short, or a text that passes for one, must not empty the cache. Records are
    // counted as the sync would remove them, files of another customer number included.
    std::vector<SatzNrEntry> list(kSatzNrListSize);
    const int nCount = ParseSatzNrList(cache::SplitLines(text, kSatzNrListSize), list);
    QSet<QString> listed;
    for (int i = 1; i <= nCount; ++i)
        listed.insert(QString::fromLatin1(RecordFileName(m_store.m_nKundenNr, list[i].nSatzNr)));
    const QStringList cached =
        QDir(QString::fromLatin1(cache::kDaten))
            .entryList({QString::fromLatin1(portalsync::kRecordFilePattern)}, QDir::Files);
    const auto nRemoved =
        std::count_if(cached.begin(), cached.end(),
                      [&listed](const QString& name) { return !listed.contains(name); });
    return 2 * nRemoved <= cached.size();
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
        if (!listed.contains(name) && QFile::remove(path))
            m_options.Report(SyncStep::RecordRemoved);
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

std::vector<MissingPhoto> CUsedSync::MissingPhotos(const QByteArray& record,
                                                   const QByteArray& stamp) {
    std::vector<MissingPhoto> missing;
    for (const QByteArray& name : RecordPhotoNames(record))
        if (name.size() > portalsync::kMinPhotoName && IsSafeCacheName(name) &&
            !m_refusals.Waits(name, stamp) &&
            !HasWholePhoto(cache::CachePath(cache::kBilder, name)))
            missing.push_back({name, name, stamp});
    return missing;
}

bool CUsedSync::FetchPhotos(CPortalConnection& portal, const std::vector<MissingPhoto>& photos) {
    bool bComplete = true;
    for (const MissingPhoto& photo : photos) {
        // A photo two records name came with the first.
        const bool bMayCome = m_nFailedPhotoRequests >= portalsync::kMaxFailedPhotoRequests ||
                              (!HasWholePhoto(cache::CachePath(cache::kBilder, photo.name)) &&
                               FetchMissingPhoto(portal, photo));
        bComplete = bComplete && !bMayCome;
    }
    return bComplete;
}

bool CUsedSync::FetchMissingPhoto(CPortalConnection& portal, const MissingPhoto& photo) {
    const auto mayCome = [](PhotoVerdict verdict) {
        return verdict == PhotoVerdict::NoAnswer || verdict == PhotoVerdict::NotStored ||
               verdict == PhotoVerdict::Cut;
    };
    const QString path = cache::CachePath(cache::kBilder, photo.name);
    PhotoResult result = FetchPhoto(portal, photo.request, path);
    bool bMayCome = mayCome(result.verdict);
    if (result.verdict != PhotoVerdict::Stored && photo.name.size() > portalsync::kMinRetryName) {
        const PhotoResult retry =
            FetchPhoto(portal, photo.name.mid(1, portalsync::kRetryNameLength), path);
        bMayCome = bMayCome || mayCome(retry.verdict);
        // The shorter name is a guess: only a photo missing under both counts, and the reason
        // is the first answer's.
        if (retry.verdict == PhotoVerdict::Stored) {
            result = retry;
            bMayCome = false;
        }
    }
    m_outcome.Note(result.failure);
    // Only its size keeps a photo from being asked for again at the next run.
    m_refusals.Note(photo.name, photo.stamp, result.verdict, {PhotoVerdict::Oversized});
    return bMayCome;
}

PhotoResult CUsedSync::FetchPhoto(CPortalConnection& portal, const QByteArray& requestName,
                                  const QString& path) {
    const PortalAnswer answer =
        portal.Get(FormatPath(portal::kOccasionPhotoPath, portalsync::kPhotoQuery,
                              m_store.m_nKundenNr, requestName.constData()),
                   m_options.nRequestTimeout);
    const PhotoResult result = StorePhotoAnswer(answer, path);
    if (result.verdict == PhotoVerdict::Stored)
        m_options.Report(SyncStep::Photo);
    else
        ++m_nFailedPhotoRequests;
    return result;
}

QString CUsedSync::RecordPath(int nSatzNr) const {
    return cache::CachePath(cache::kDaten, RecordFileName(m_store.m_nKundenNr, nSatzNr));
}

std::vector<QByteArray> RecordPhotoNames(const QByteArray& text) {
    const std::vector<QByteArray> lines = cache::SplitLines(text, kRecordLinesRead);
    std::vector<QByteArray> names;
    for (int nLine = occ::kHauptfoto; nLine < std::ssize(lines); ++nLine)
        names.push_back(RecordLine(lines, nLine));
    return names;
}
