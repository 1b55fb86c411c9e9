#include "sync/UpdateScheduler.h"

#include "catalogue/SatzStore.h"
#include "net/CancelToken.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "sync/PortalSync.h"
#include "sync/SyncConstants.h"

namespace {
// The new-vehicle list is refreshed once more than a week of full hours has passed.
constexpr long long kWeekHours = 168;
constexpr int kTimeStampLength = 19;

// The decimal digits at the start of text[from, from + count); 0 when it starts otherwise.
int PieceNumber(const QString& text, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = value * 10 + (text[i].unicode() - '0');
    return value;
}
} // namespace

CUpdateScheduler::CUpdateScheduler(CSatzStore& store, IPortalSync& sync, const IClock& clock,
                                   const CCancelToken* pCancel)
    : m_store(store), m_sync(sync), m_clock(clock), m_pCancel(pCancel) {}

void CUpdateScheduler::OnlineUpdate(const std::function<void()>& stopSlideTimer) {
    if (m_store.m_bManuellUpdate)
        return;
    Trace(QStringLiteral("OnlineUpdate Stop 1703"));
    stopSlideTimer();
    m_sync.UpdatePictureList();
    WeeklyNeuFzUpdateCheck();
    m_store.m_nCurrentSatz = 0;
    m_store.ResetBilderUndDaten();
    m_store.LadeBilderUndDaten();
    m_store.LadeNeuFzDatenUndBilder();
    Trace(QStringLiteral("OnlineUpdate Fertig"));
}

void CUpdateScheduler::WeeklyNeuFzUpdateCheck() {
    const long long elapsed = static_cast<long long>(m_clock.Now() - GetLastUpdate());
    Trace(QStringLiteral("WeeklyNeuFzUpdateCheck start"));
    if (elapsed / 3600 <= kWeekHours && elapsed >= -portalsync::kMaxLastUpdateAhead)
        return;
    // A sync that brought no list, or was cut short by the end of the program, stays due.
    if (!m_sync.UpdateNeuFzPictureList() || (m_pCancel && m_pCancel->IsCancelled()))
        return;
    SetLastUpdate();
    Trace(QStringLiteral("WeeklyNeuFzUpdateCheck Daten neu geladen"));
}

void CUpdateScheduler::ManualUpdate(const std::function<void()>& stopSlideTimer) {
    m_store.m_bManuellUpdate = false; // in memory only, so the update below does its work
    OnlineUpdate(stopSlideTimer);
    stopSlideTimer();
    m_sync.UpdatePictureList();
    if (m_sync.UpdateNeuFzPictureList())
        SetLastUpdate();
}

void CUpdateScheduler::SetLastUpdate() {
    if (m_lastUpdateRead &&
        GetProfileString(setting::kSection, setting::kLastUpdate) != *m_lastUpdateRead) {
        Trace(QStringLiteral("LastUpdate seit dem Start geändert, nicht geschrieben"));
        return;
    }
    const std::time_t now = m_clock.Now();
    std::tm tm{};
    localtime_r(&now, &tm);
    if (tm.tm_year + 1900 < portalsync::kMinLastUpdateYear ||
        tm.tm_year + 1900 > portalsync::kMaxLastUpdateYear)
        return;
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    const QString written = QString::fromLatin1(text);
    WriteProfileString(setting::kSection, setting::kLastUpdate, written);
    if (m_lastUpdateRead)
        m_lastUpdateRead = written;
}

std::time_t CUpdateScheduler::GetLastUpdate() const {
    return ParseTimeStamp(GetProfileString(setting::kSection, setting::kLastUpdate));
}

std::time_t CUpdateScheduler::ParseTimeStamp(const QString& text) {
    if (text.size() != kTimeStampLength)
        return 0;
    const std::time_t t =
        LocalTime(PieceNumber(text, 0, 4), PieceNumber(text, 5, 2), PieceNumber(text, 8, 2),
                  PieceNumber(text, 11, 2), PieceNumber(text, 14, 2), PieceNumber(text, 17, 2));
    // Times before 1970 are not convertible time values.
    return t < 0 ? -1 : t;
}
