// The sync history kept in the settings group "Status", and the note on the slide when the
// used vehicles have not been brought up to date for more than 48 hours.

#include "show/StaleMarker.h"

#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/StatusReport.h"
#include "support/TempWorkDir.h"
#include "sync/SyncStatus.h"

#include <gtest/gtest.h>

namespace {

class CFixedClock final : public IClock {
public:
    std::time_t Now() const override { return m_now; }
    std::time_t m_now = LocalTime(2026, 3, 10, 14, 0, 0);
};

class StaleMarker : public ::testing::Test {
protected:
    StaleMarker() {
        m_store.m_bSatzLoaded = true;
        m_store.m_nSprache = 1;
    }
    void Record(SyncFailure failure, std::time_t time, int nStatusCode = 0) {
        SyncOutcome outcome;
        outcome.time = time;
        outcome.failure = failure;
        outcome.nStatusCode = nStatusCode;
        WriteSyncOutcome(SyncKind::Used, outcome);
    }
    QString Value(const char* szLabel) {
        for (const StatusLine& line : CStatusReport(m_store, m_clock).Page({}).lines)
            if (line.strLabel == QString::fromUtf8(szLabel))
                return line.strValue;
        ADD_FAILURE() << "no line " << szLabel;
        return {};
    }

    CTempWorkDir m_dir;
    CSatzStore m_store;
    CFixedClock m_clock;
};

} // namespace

TEST_F(StaleMarker, FailedAttemptsKeepTheLastSuccessAndItsAgeDecidesTheNote) {
    const std::time_t now = m_clock.m_now;
    Record(SyncFailure::None, now - 47 * 3600);
    Record(SyncFailure::Status, now - 600, 503);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).successTime, now - 47 * 3600);
    EXPECT_EQ(Value("Abgleich Occasionen"),
              QString::fromUtf8("10.03.2026 13:50:00 – Fehler: unerwarteter HTTP-Status 503"));
    EXPECT_EQ(Value("Letzter erfolgreicher Abgleich Occasionen"),
              QStringLiteral("08.03.2026 15:00:00"));
    EXPECT_EQ(StaleMarkerText(m_store, now), QString()) << "47 hours";

    Record(SyncFailure::None, now - 49 * 3600);
    Record(SyncFailure::TimeOut, now - 60);
    EXPECT_EQ(StaleMarkerText(m_store, now),
              QStringLiteral("Daten nicht aktualisiert seit 08.03.2026 13:00"))
        << "49 hours";
    m_store.m_nSprache = 2;
    EXPECT_EQ(StaleMarkerText(m_store, now),
              QString::fromUtf8("Données non actualisées depuis le 08.03.2026 13:00"));
    EXPECT_TRUE(IsUsedDataStale(now - 48 * 3600 - 1, now));
    EXPECT_FALSE(IsUsedDataStale(now - 48 * 3600, now));
    EXPECT_FALSE(IsUsedDataStale(0, now)) << "never on record: no time to tell";

    m_store.m_nAnzeige = 1;
    EXPECT_EQ(StaleMarkerText(m_store, now), QString()) << "no used vehicles shown";
    m_store.m_nAnzeige = 2;
    EXPECT_FALSE(StaleMarkerText(m_store, now).isEmpty());
    m_store.m_bSatzLoaded = false;
    EXPECT_EQ(StaleMarkerText(m_store, now), QString()) << "not while the show waits";
    m_store.m_bSatzLoaded = true;
    WriteProfileInt(setting::kSection, setting::kVeraltetHinweis, 0);
    EXPECT_EQ(StaleMarkerText(m_store, now), QString()) << "switched off";

    m_store.m_nSprache = 1;
    SyncOutcome photoMissing;
    photoMissing.time = now - 60;
    photoMissing.failure = SyncFailure::ErrorAnswer;
    photoMissing.bListed = true;
    WriteSyncOutcome(SyncKind::Used, photoMissing);
    EXPECT_EQ(StaleMarkerText(m_store, now), QString()) << "the list came, only a photo failed";

    Record(SyncFailure::None, now);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).nStatusCode, 0);
    EXPECT_EQ(Value("Letzter erfolgreicher Abgleich Occasionen"),
              QStringLiteral("10.03.2026 14:00:00"));
    EXPECT_EQ(Value("Letzter erfolgreicher Abgleich Neufahrzeuge"), QStringLiteral("noch keiner"));
}

TEST_F(StaleMarker, ARecordOfAnEarlierVersionCountsItsSuccess) {
    WriteProfileString("Status", "UsedSyncTime", QStringLiteral("2026-03-01 09:00:00"));
    WriteProfileString("Status", "UsedSyncOutcome", QStringLiteral("none"));
    const SyncOutcome outcome = ReadSyncOutcome(SyncKind::Used);
    EXPECT_EQ(outcome.failure, SyncFailure::None);
    EXPECT_EQ(outcome.successTime, LocalTime(2026, 3, 1, 9, 0, 0));
    Record(SyncFailure::None, m_clock.m_now);
    EXPECT_EQ(GetProfileString("Status", "UsedSyncOutcome"), QStringLiteral("success"));
}

TEST_F(StaleMarker, TheNoteStandsBelowEveryTextInTheCorner) {
    // The lowest cells: the address and the web address, small and large layout.
    const std::pair<QSize, int> views[] = {{QSize(1366, 768), 705}, {QSize(1680, 1050), 984}};
    const QString text = QStringLiteral("Daten nicht aktualisiert seit 08.03.2026 13:00");
    for (const auto& [size, nLowestText] : views) {
        const QRect view(QPoint(0, 0), size);
        const QRect note = StaleMarkerRect(view, text);
        EXPECT_GT(note.top(), nLowestText) << size.height();
        EXPECT_TRUE(view.contains(note));
        EXPECT_GT(note.left(), size.width() / 2) << "in the right corner, off the reading path";
    }
}
