#include "sync/UpdateScheduler.h"
#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"
#include "sync/PortalSync.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class CFakeClock final : public IClock {
public:
    std::time_t Now() const override { return m_now; }
    std::time_t m_now = LocalTime(2026, 3, 10, 14, 0, 0);
};

// Records the order of the sync steps and of the catalogue rebuild.
class CRecordingSync final : public IPortalSync {
public:
    explicit CRecordingSync(std::vector<std::string>& log) : m_log(log) {}
    void UpdatePictureList() override { m_log.push_back("UpdatePictureList"); }
    bool UpdateNeuFzPictureList() override {
        m_log.push_back("UpdateNeuFzPictureList");
        return true;
    }

private:
    std::vector<std::string>& m_log;
};

class UpdateScheduler : public ::testing::Test {
protected:
    void SetLastUpdateText(const QString& text) {
        WriteProfileString(setting::kSection, setting::kLastUpdate, text);
    }
    QString LastUpdateText() const {
        return GetProfileString(setting::kSection, setting::kLastUpdate);
    }
    // Writes LastUpdate as the program would, `hoursAgo` hours (and minutes) before now.
    void SetLastUpdateAgo(int hours, int minutes = 0) {
        CFakeClock then;
        then.m_now = m_clock.m_now - hours * 3600 - minutes * 60;
        CUpdateScheduler(m_store, m_sync, then).SetLastUpdate();
    }
    std::function<void()> StopTimer() {
        return [this] {
            m_log.push_back("stop 1703");
        };
    }

    CTempWorkDir m_dir;
    std::vector<std::string> m_log;
    CFakeClock m_clock;
    CRecordingSync m_sync{m_log};
    CSatzStore m_store;
    CUpdateScheduler m_scheduler{m_store, m_sync, m_clock};
};

} // namespace

TEST_F(UpdateScheduler, TimeStampIsWrittenAsTwentyYearTwoDigitsAndReadBackToTheSecond) {
    m_clock.m_now = LocalTime(2026, 3, 9, 7, 5, 9);
    m_scheduler.SetLastUpdate();
    EXPECT_EQ(LastUpdateText(), QStringLiteral("2026-03-09 07:05:09"));
    EXPECT_EQ(m_scheduler.GetLastUpdate(), m_clock.m_now);
}

TEST_F(UpdateScheduler, ParseTimeStampReadsByPositionAndNormalises) {
    EXPECT_EQ(CUpdateScheduler::ParseTimeStamp(QString()), 0);
    EXPECT_EQ(CUpdateScheduler::ParseTimeStamp(QStringLiteral("2024-05-01 10:00")), 0);
    EXPECT_EQ(CUpdateScheduler::ParseTimeStamp(QStringLiteral("2024-05-01 10:00:000")), 0);
    EXPECT_EQ(CUpdateScheduler::ParseTimeStamp(QStringLiteral("2024-13-01 00:00:00")),
              LocalTime(2025, 1, 1, 0, 0, 0));
    EXPECT_EQ(CUpdateScheduler::ParseTimeStamp(QStringLiteral("2024/05/01T10:20:30")),
              LocalTime(2024, 5, 1, 10, 20, 30))
        << "separators are ignored";
    EXPECT_EQ(CUpdateScheduler::ParseTimeStamp(QStringLiteral("2024-05-xx 10:20:30")),
              LocalTime(2024, 5, 0, 10, 20, 30))
        << "a piece that does not begin with a digit counts as 0";
    EXPECT_EQ(CUpdateScheduler::ParseTimeStamp(QStringLiteral("0000-01-01 00:00:00")), -1);
}

TEST_F(UpdateScheduler, WeeklyCheckIsDueAfter169FullHours) {
    SetLastUpdateAgo(168, 59);
    const QString notDue = LastUpdateText();
    m_scheduler.WeeklyNeuFzUpdateCheck();
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(LastUpdateText(), notDue);

    SetLastUpdateAgo(169);
    m_scheduler.WeeklyNeuFzUpdateCheck();
    EXPECT_EQ(m_log, std::vector<std::string>{"UpdateNeuFzPictureList"});
    EXPECT_EQ(m_scheduler.GetLastUpdate(), m_clock.m_now) << "written after the sync";
}

TEST_F(UpdateScheduler, WeeklyCheckIsDueWithoutOrWithUnreadableLastUpdate) {
    for (const QString& text :
         {QString(), QStringLiteral("gestern"), QStringLiteral("0000-00-00 00:00:00")}) {
        m_log.clear();
        SetLastUpdateText(text);
        m_scheduler.WeeklyNeuFzUpdateCheck();
        EXPECT_EQ(m_log.size(), 1u) << text.toStdString();
    }
}

TEST_F(UpdateScheduler, LastUpdateInTheFutureWaitsUntilTheClockHasPassedIt) {
    SetLastUpdateAgo(-24);
    m_scheduler.WeeklyNeuFzUpdateCheck();
    m_clock.m_now += 168 * 3600;
    m_scheduler.WeeklyNeuFzUpdateCheck();
    EXPECT_TRUE(m_log.empty());
    m_clock.m_now += 25 * 3600;
    m_scheduler.WeeklyNeuFzUpdateCheck();
    EXPECT_EQ(m_log.size(), 1u);
}

TEST_F(UpdateScheduler, OnlineUpdateStopsTheSlidesSyncsAndRebuilds) {
    SetLastUpdateAgo(1);
    m_store.m_nCurrentSatz = 7;
    m_scheduler.OnlineUpdate(StopTimer());
    EXPECT_EQ(m_log, (std::vector<std::string>{"stop 1703", "UpdatePictureList"}));
    EXPECT_EQ(m_store.m_nCurrentSatz, 0);
    EXPECT_EQ(m_store.m_nSatzCount, 0);
}

TEST_F(UpdateScheduler, ManualUpdatesSuppressOnlyTheHourlyUpdate) {
    m_store.m_bManuellUpdate = true;
    m_store.m_nCurrentSatz = 3;
    m_scheduler.OnlineUpdate(StopTimer());
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_store.m_nCurrentSatz, 3);
}

TEST_F(UpdateScheduler, MenuUpdateSyncsBothTwiceWhenTheWeekIsDue) {
    m_store.m_bManuellUpdate = true;
    m_scheduler.ManualUpdate(StopTimer());
    EXPECT_EQ(m_log, (std::vector<std::string>{"stop 1703", "UpdatePictureList",
                                               "UpdateNeuFzPictureList", "stop 1703",
                                               "UpdatePictureList", "UpdateNeuFzPictureList"}));
    EXPECT_FALSE(m_store.m_bManuellUpdate);
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kManuellUpdate, 0), 0)
        << "the setting itself is not changed";
    EXPECT_EQ(m_scheduler.GetLastUpdate(), m_clock.m_now);

    m_log.clear();
    m_scheduler.ManualUpdate(StopTimer());
    EXPECT_EQ(m_log, (std::vector<std::string>{"stop 1703", "UpdatePictureList", "stop 1703",
                                               "UpdatePictureList", "UpdateNeuFzPictureList"}))
        << "not due again right after";
}
