#include "show/StatusReport.h"

#include "catalogue/CacheText.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "platform/ScreenSaver.h"
#include "settings/Clock.h"
#include "show/StatusTexts.h"
#include "show/SyncNotice.h"
#include "show/ViewConstants.h"

#include <algorithm>

namespace {

constexpr qint64 kBytesPerKilobyte = 1024;
// A skipped settings write is shown after the lines of the two syncs and their last successes.
constexpr int kSettingsLine = 7;
constexpr qint64 kBytesPerMegabyte = 1024 * 1024;

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString TimeOfDay(int nSeconds) {
    return QString::asprintf("%02d:%02d", nSeconds / 3600, nSeconds % 3600 / 60);
}

// A number with one decimal, in the page's language.
QString OneDecimal(double value, char cDecimal) {
    return QString::number(value, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(cDecimal));
}

} // namespace

QString StatusPage::Text() const {
    QString text = strTitle + u'\n';
    for (const StatusLine& line : lines)
        text += line.strLabel + strSeparator + line.strValue + u'\n';
    return text + strHint + u'\n';
}

CStatusReport::CStatusReport(const CSatzStore& store, const IClock& clock)
    : m_store(store), m_clock(clock), m_texts(StatusTextsFor(store.m_nSprache)) {}

StatusPage CStatusReport::Page(const ShowState& show, const JobState& job,
                               const ScreenState& screen) const {
    ShowFacts facts = GatherShowFacts(m_store, m_clock, true);
    facts.show = show;
    facts.job = job;
    facts.screen = screen;
    return PageOf(facts);
}

StatusPage CStatusReport::PageOf(const ShowFacts& facts) const {
    const StatusTexts& t = m_texts;
    const bool bKundenNr = !facts.strKundenNr.isEmpty();
    const ShowState& show = facts.show;
    const ScreenState& screen = facts.screen;

    StatusPage page{Text(t.szTitle), {}, Text(t.szHint), Text(t.szSeparator)};
    page.lines = {
        {Text(t.szVersion), QStringLiteral(ZELVORA_VERSION)},
        // The password is never read here: only the customer number is shown.
        {Text(t.szKundenNr), bKundenNr ? facts.strKundenNr : Text(t.szNoKundenNr), !bKundenNr},
        {Text(t.szConnection), Connection(facts)},
        Sync(t.szUsedSync, facts.used),
        LastSuccess(t.szUsedSuccess, facts.used),
        Sync(t.szNeuFzSync, facts.neuFz),
        LastSuccess(t.szNeuFzSuccess, facts.neuFz),
        {Text(t.szSlides), Text(t.szSlidesValue).arg(facts.nRecords).arg(facts.nVisible),
         facts.bSatzLoaded && facts.nVisible == 0},
        {Text(t.szPictures), Text(t.szPicturesValue).arg(facts.nPictures).arg(kMaxPictures)},
        {Text(t.szDaten), Folder(facts.daten)},
        {Text(t.szBilder), Folder(facts.bilder)},
        {Text(t.szWorkDir), facts.strWorkDir},
        {Text(t.szInterval),
         Text(show.bAdvancing ? t.szRunning : t.szStopped).arg(Seconds(show.nSpeed))},
        Blanking(show.nBlankingHeldBy),
        {Text(t.szShutdown), Shutdown(facts)},
        {Text(t.szJob), Job(facts.job)},
        {Text(t.szTrace), Text(facts.bTrace ? t.szOn : t.szOff)},
    };
    if (!screen.strName.isEmpty() || !screen.size.isEmpty())
        page.lines.insert(std::find_if(page.lines.begin(), page.lines.end(),
                                       [&](const StatusLine& line) {
                                           return line.strLabel == Text(t.szShutdown);
                                       }),
                          {Text(t.szScreen), Screen(screen), !screen.strMissing.isEmpty()});
    if (!facts.strSkippedWrite.isEmpty())
        page.lines.insert(
            page.lines.begin() + kSettingsLine,
            {Text(t.szSettings), Text(t.szSettingSkipped).arg(facts.strSkippedWrite), true});
    return page;
}

QString CStatusReport::Connection(const ShowFacts& facts) const {
    const QString target = QStringLiteral("%1:%2").arg(facts.strServer).arg(facts.nServerPort);
    return Text(facts.bDirect ? m_texts.szDirect : m_texts.szViaProxy).arg(target);
}

StatusLine CStatusReport::Sync(const char* szLabel, const SyncOutcome& outcome) const {
    if (outcome.time == 0)
        return {Text(szLabel), Text(m_texts.szNever)};

    const QString result = FailureWords(outcome, m_texts);
    QString value =
        Text(m_texts.szSyncAt).arg(FormatLocalTime(outcome.time, "%d.%m.%Y %H:%M:%S"), result);
    if (outcome.nRequests > 0)
        value += QStringLiteral(", ") +
                 Counted(outcome.nRequests, m_texts.szRequest, m_texts.szRequests) +
                 QStringLiteral(", ") + Size(outcome.nBytes);
    return {Text(szLabel), value, outcome.failure != SyncFailure::None};
}

StatusLine CStatusReport::LastSuccess(const char* szLabel, const SyncOutcome& outcome) const {
    return {Text(szLabel), outcome.successTime > 0
                               ? FormatLocalTime(outcome.successTime, "%d.%m.%Y %H:%M:%S")
                               : Text(m_texts.szNoSuccess)};
}

StatusPage CStatusReport::JobPage(const SyncProgress& progress) const {
    const StatusTexts& t = m_texts;
    StatusPage page{Text(t.szJobTitle), {}, QString(), Text(t.szSeparator)};
    // The counts below belong to the used vehicles' list: the step says whether they still run.
    page.lines = {
        {Text(t.szJobStep), Text(progress.eSync == SyncKind::NeuFz ? t.szNeuFzSync : t.szUsedSync)},
        {Text(t.szJobRecords),
         Text(t.szJobRecordsValue).arg(progress.nRecords).arg(progress.nListed)},
        {Text(t.szJobPhotos), QString::number(progress.nPhotos)},
        {Text(t.szJobBytes), Size(progress.nBytes)},
    };
    return page;
}

QString CStatusReport::Job(const JobState& job) const {
    if (job.bRunning)
        return Text(m_texts.szJobRunning)
            .arg(job.nElapsedMs / 1000)
            .arg(job.progress.nRecords)
            .arg(job.progress.nPhotos)
            .arg(Size(job.progress.nBytes));
    if (job.nLastMs < 0)
        return Text(m_texts.szJobNone);
    return Text(m_texts.szJobIdle).arg(OneDecimal(job.nLastMs / 1000.0, m_texts.cDecimal));
}

QString CStatusReport::Folder(const FolderUsage& usage) const {
    return Counted(usage.nFiles, m_texts.szFile, m_texts.szFiles) + QStringLiteral(", ") +
           Size(usage.nBytes);
}

QString CStatusReport::Shutdown(const ShowFacts& facts) const {
    if (!facts.bShutDown)
        return Text(m_texts.szShutdownOff);
    const int nAt = SecondsOfDay(facts.shutDownTime);
    // Still today while the check's window after the set time is open.
    const bool bToday = SecondsOfDay(facts.now) <= nAt + view::kShutdownWindowSeconds;
    return Text(bToday ? m_texts.szToday : m_texts.szTomorrow).arg(TimeOfDay(nAt));
}

QString CStatusReport::Screen(const ScreenState& screen) const {
    const QString value = Text(m_texts.szScreenValue)
                              .arg(screen.strName)
                              .arg(screen.size.width())
                              .arg(screen.size.height())
                              .arg(QString::number(screen.dDevicePixelRatio, 'g', 3)
                                       .replace(QLatin1Char('.'), QLatin1Char(m_texts.cDecimal)))
                              .arg(qRound(screen.dRefreshRate));
    return screen.strMissing.isEmpty()
               ? value
               : Text(m_texts.szScreenMissing).arg(screen.strMissing, value);
}

StatusLine CStatusReport::Blanking(unsigned nHeldBy) const {
    const std::pair<unsigned, const char*> means[] = {
        {blanking::kDesktop, m_texts.szByDesktop},
        {blanking::kXScreenSaver, m_texts.szByXScreenSaver},
        {blanking::kDpms, m_texts.szByDpms},
    };
    QStringList names;
    for (const auto& [nBit, szName] : means) {
        if (nHeldBy & nBit)
            names << Text(szName);
    }
    if (names.isEmpty())
        return {Text(m_texts.szBlanking), Text(m_texts.szBlankingNone), true};
    return {Text(m_texts.szBlanking), Text(m_texts.szBlankingHeld).arg(names.join(u", "))};
}

QString CStatusReport::Counted(qint64 nCount, const char* szOne, const char* szMany) const {
    const bool bOne = nCount == 1 || (nCount == 0 && m_texts.bZeroIsSingular);
    return Text(bOne ? szOne : szMany).arg(nCount);
}

QString CStatusReport::Size(qint64 nBytes) const {
    // Rounded up: a few bytes are not "0 kB".
    if (nBytes < kBytesPerMegabyte)
        return Text(m_texts.szKilobytes).arg((nBytes + kBytesPerKilobyte - 1) / kBytesPerKilobyte);
    return Text(m_texts.szMegabytes)
        .arg(OneDecimal(static_cast<double>(nBytes) / kBytesPerMegabyte, m_texts.cDecimal));
}

QString CStatusReport::Seconds(int nMilliseconds) const {
    if (nMilliseconds % 1000 == 0)
        return QString::number(nMilliseconds / 1000);
    return OneDecimal(nMilliseconds / 1000.0, m_texts.cDecimal);
}
