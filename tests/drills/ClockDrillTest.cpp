// The clock jumps: the daylight-saving changes of Zurich, and manual changes by hours or days.
// The weekly new-vehicle check and the scheduled shutdown keep their rules through them.

#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/ViewConstants.h"
#include "show/ViewFakes.h"
#include "support/TempWorkDir.h"
#include "sync/UpdateScheduler.h"

#include <QByteArray>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::time_t kHour = 3600;
constexpr std::time_t kDay = 24 * kHour;
// The new-vehicle check is due once more than 168 full hours have passed.
constexpr std::time_t kDueAfter = 169 * kHour;
constexpr std::time_t kStep = 5 * 60;

// A time value from a UTC calendar time, whatever the local zone.
std::time_t Utc(int year, int month, int day, int hour, int minute, int second = 0) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return timegm(&tm);
}

long UtcOffset(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_gmtoff;
}

std::string LocalText(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[40] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %Z", &tm);
    return text;
}

// The process's local zone for one test; the previous one comes back however the test ends.
class CLocalZone {
public:
    explicit CLocalZone(const char* zone)
        : m_bHad(qEnvironmentVariableIsSet("TZ")), m_previous(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~CLocalZone() {
        if (m_bHad)
            qputenv("TZ", m_previous);
        else
            qunsetenv("TZ");
        tzset();
    }
    CLocalZone(const CLocalZone&) = delete;
    CLocalZone& operator=(const CLocalZone&) = delete;

private:
    bool m_bHad;
    QByteArray m_previous;
};

class ClockDrill : public ::testing::Test {
protected:
    void SetUp() override {
        // Without zone data the C library quietly keeps UTC, and no clock here would jump.
        ASSERT_EQ(UtcOffset(Utc(2026, 1, 15, 12, 0)), 3600)
            << "no zone data for Europe/Zurich (package tzdata)";
        ASSERT_EQ(UtcOffset(Utc(2026, 7, 15, 12, 0)), 7200);
    }

    CLocalZone m_zone{"Europe/Zurich"};
    CTempWorkDir m_dir;
};

// 2026 in Zurich: summer time from 29 March, 01:00 UTC (02:00 becomes 03:00), to 25 October,
// 01:00 UTC (03:00 becomes 02:00, so 02:00 to 02:59 comes twice).
const std::time_t kSpringForward = Utc(2026, 3, 29, 1, 0);
const std::time_t kFallBack = Utc(2026, 10, 25, 1, 0);

class WeeklyCheckDrill : public ClockDrill {
protected:
    // Runs the check with the clock at now; true when it synced.
    bool CheckAt(std::time_t now) {
        m_clock.m_now = now;
        const std::size_t nBefore = m_log.size();
        m_scheduler.WeeklyNeuFzUpdateCheck();
        return m_log.size() > nBefore;
    }
    // The hourly checks from `from` to `to`: the times at which they synced.
    std::vector<std::time_t> HourlyChecks(std::time_t from, std::time_t to) {
        std::vector<std::time_t> synced;
        for (std::time_t t = from; t <= to; t += kHour)
            if (CheckAt(t))
                synced.push_back(t);
        return synced;
    }
    void SyncAt(std::time_t now) {
        WriteProfileString(setting::kSection, setting::kLastUpdate, QString());
        ASSERT_TRUE(CheckAt(now));
    }

    std::vector<std::string> m_log;
    CFakeClock m_clock;
    CRecordingSync m_sync{m_log};
    CSatzStore m_store;
    CUpdateScheduler m_scheduler{m_store, m_sync, m_clock};
};

} // namespace

TEST_F(WeeklyCheckDrill, HourlyChecksThroughBothDaylightSavingChangesSyncEvery169Hours) {
    const std::time_t from = Utc(2026, 3, 1, 5, 17);
    const std::vector<std::time_t> synced = HourlyChecks(from, Utc(2026, 11, 30, 0, 0));
    ASSERT_GE(synced.size(), 38u);
    EXPECT_EQ(synced.front(), from) << "no LastUpdate: due at once";
    for (std::size_t i = 1; i < synced.size(); ++i)
        EXPECT_EQ(synced[i] - synced[i - 1], kDueAfter)
            << LocalText(synced[i - 1]) << " to " << LocalText(synced[i]);
}

TEST_F(WeeklyCheckDrill, LastUpdateNextToADaylightSavingChangeIsDueAfterAWeek) {
    struct Case {
        const char* what;
        std::time_t written;
        std::time_t earliest; // after the write
        std::time_t latest;
    };
    // The local text of the repeated hour names two times; either is read back, so that week
    // is an hour longer or shorter. Every other write reads back to the second.
    const Case cases[] = {
        {"before the missing hour", kSpringForward - 30 * 60, kDueAfter, kDueAfter},
        {"after the missing hour", kSpringForward + 30 * 60, kDueAfter, kDueAfter},
        {"a day before the spring change", kSpringForward - kDay, kDueAfter, kDueAfter},
        {"first 02:30 of the autumn change", kFallBack - 30 * 60, kDueAfter - kHour,
         kDueAfter + kHour},
        {"second 02:30 of the autumn change", kFallBack + 30 * 60, kDueAfter - kHour,
         kDueAfter + kHour},
        {"after the repeated hour", kFallBack + 90 * 60, kDueAfter, kDueAfter},
        {"a day before the autumn change", kFallBack - kDay, kDueAfter, kDueAfter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ", written " + LocalText(c.written));
        m_clock.m_now = c.written;
        m_scheduler.SetLastUpdate();
        // Every five minutes, so an early or late due time shows within the hour.
        std::time_t due = 0;
        for (std::time_t t = c.written; t <= c.written + kDueAfter + 2 * kHour && !due; t += kStep)
            if (CheckAt(t))
                due = t;
        ASSERT_NE(due, 0);
        EXPECT_GE(due - c.written, c.earliest) << "due " << LocalText(due);
        EXPECT_LE(due - c.written, c.latest) << "due " << LocalText(due);
    }
}

TEST_F(WeeklyCheckDrill, AJumpBackByADayOrLessNeverMakesItDue) {
    // Further back, LastUpdate is more than a day ahead: then it is due (see below).
    const std::time_t t0 = Utc(2026, 5, 4, 6, 0);
    for (const std::time_t back : {kHour, 3 * kHour, kDay}) {
        SCOPED_TRACE(LocalText(t0 - back));
        m_log.clear();
        SyncAt(t0);
        EXPECT_TRUE(HourlyChecks(t0 - back, t0 + kDueAfter - kHour).empty());
        EXPECT_TRUE(CheckAt(t0 + kDueAfter)) << "a week of full hours after the sync";
        EXPECT_EQ(m_log.size(), 2u);
    }
}

TEST_F(WeeklyCheckDrill, AJumpForwardByEightDaysMakesItDueOnce) {
    const std::time_t t0 = Utc(2026, 5, 4, 6, 0);
    SyncAt(t0);
    EXPECT_FALSE(CheckAt(t0 + kHour));
    EXPECT_FALSE(CheckAt(t0 + 5 * kHour)) << "a jump by hours is not a week";
    const std::time_t jumped = t0 + 5 * kHour + 8 * kDay;
    EXPECT_TRUE(CheckAt(jumped));
    EXPECT_TRUE(HourlyChecks(jumped + kHour, jumped + kDueAfter - kHour).empty());
    EXPECT_TRUE(CheckAt(jumped + kDueAfter));
    EXPECT_EQ(m_log.size(), 3u);
}

TEST_F(WeeklyCheckDrill, LastUpdateInTheFutureWaitsUntilTheClockHasPassedItBy169Hours) {
    // The sync ran while the clock was a day ahead; then the clock was put right.
    const std::time_t t0 = Utc(2026, 5, 4, 6, 0);
    SyncAt(t0 + kDay);
    const std::vector<std::time_t> synced = HourlyChecks(t0, t0 + kDay + kDueAfter + kDay);
    ASSERT_EQ(synced.size(), 1u);
    EXPECT_EQ(synced.front(), t0 + kDay + kDueAfter);

    // A LastUpdate a week ahead, as a clock put wrong by a week leaves it, is due at once.
    m_log.clear();
    m_clock.m_now = t0 + 7 * kDay;
    m_scheduler.SetLastUpdate();
    EXPECT_TRUE(CheckAt(t0));
    EXPECT_TRUE(HourlyChecks(t0 + kHour, t0 + kDueAfter - kHour).empty());
    EXPECT_TRUE(CheckAt(t0 + kDueAfter));
}

TEST_F(WeeklyCheckDrill, LastUpdateHasFourDigitYearsAndNoClockBefore2020WritesIt) {
    const std::time_t t0 = Utc(2026, 5, 4, 6, 0);
    struct Case {
        const char* what;
        QString stored;
        std::time_t now;
        bool bDue;
        QString written; // LastUpdate after the check
    };
    const QString today = QStringLiteral("2026-05-04 08:00:00"); // t0 in Zurich, summer time
    const Case cases[] = {
        {"more than a day ahead", QStringLiteral("2026-05-05 08:00:01"), t0, true, today},
        {"a clock in 1970 after a sync", today, Utc(1970, 1, 9, 9, 0, 1), true, today},
        {"the last second of 2019", QString(), Utc(2019, 12, 31, 22, 59, 59), true, QString()},
        {"the first second of 2020", QString(), Utc(2019, 12, 31, 23, 0), true,
         QStringLiteral("2020-01-01 00:00:00")},
        {"a clock in 2100", QString(), Utc(2100, 3, 1, 11, 0), true,
         QStringLiteral("2100-03-01 12:00:00")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteProfileString(setting::kSection, setting::kLastUpdate, c.stored);
        EXPECT_EQ(CheckAt(c.now), c.bDue);
        EXPECT_EQ(GetProfileString(setting::kSection, setting::kLastUpdate), c.written);
        if (!c.written.isEmpty() && c.written != c.stored) {
            EXPECT_FALSE(CheckAt(c.now + kHour)) << "reads back as written";
        }
    }
}

namespace {

class ShutdownDrill : public ClockDrill {
protected:
    ~ShutdownDrill() override {
        // Every power-off of the drill lay in its window.
        for (const std::time_t t : m_powerOffs) {
            const int d = SecondsOfDay(t) - m_nTarget;
            EXPECT_TRUE(d >= 0 && d <= view::kShutdownWindowSeconds)
                << "power-off at " << LocalText(t);
        }
    }

    // The view as started with the scheduled shutdown at hour:minute (no credentials stored,
    // so nothing loads: only the shutdown check runs).
    void StartView(int nHour, int nMinute) {
        m_nTarget = nHour * 3600 + nMinute * 60;
        WriteProfileInt(setting::kSection, setting::kShutDown, 1);
        WriteProfileInt(setting::kSection, setting::kShutDownTime, m_nTarget);
        m_view.reset(m_seams.NewView());
        m_view->OnInitialUpdate();
        ASSERT_TRUE(m_view->Timers().IsArmed(view::TIMER_SHUTDOWN_CHECK));
    }

    // The check's ticks every 800 ms for nSeconds of the clock from `from`, for as long as
    // its timer is armed.
    void Run(std::time_t from, std::time_t nSeconds) {
        for (qint64 ms = 0; ms < qint64(nSeconds) * 1000; ms += view::kShutdownCheckPeriod) {
            if (!m_view->Timers().IsArmed(view::TIMER_SHUTDOWN_CHECK))
                return;
            m_seams.clock.m_now = from + std::time_t(ms / 1000);
            const int nBefore = m_seams.powerOff.m_nCalls;
            m_view->OnTimer(view::TIMER_SHUTDOWN_CHECK);
            if (m_seams.powerOff.m_nCalls > nBefore)
                m_powerOffs.push_back(m_seams.clock.m_now);
        }
    }

    ViewSeams m_seams;
    std::unique_ptr<CZelvoraView> m_view;
    std::vector<std::time_t> m_powerOffs;
    int m_nTarget = 0;
};

} // namespace

TEST_F(ShutdownDrill, FiresOnceInItsWindowWhateverTheClockDoesAfterwards) {
    StartView(18, 30);
    Run(LocalTime(2026, 5, 4, 18, 29, 0), 120);
    ASSERT_EQ(m_powerOffs, std::vector<std::time_t>{LocalTime(2026, 5, 4, 18, 30, 0)});
    EXPECT_FALSE(m_view->Timers().IsArmed(view::TIMER_SHUTDOWN_CHECK));

    // The power-off was refused; the clock goes back into the window, then to the next day.
    Run(LocalTime(2026, 5, 4, 18, 29, 50), 60);
    Run(LocalTime(2026, 5, 5, 18, 29, 0), 120);
    EXPECT_EQ(m_seams.powerOff.m_nCalls, 1);
}

TEST_F(ShutdownDrill, AJumpOverTheWindowSkipsThatDay) {
    StartView(18, 30);
    Run(LocalTime(2026, 5, 4, 18, 29, 0), 55);
    Run(LocalTime(2026, 5, 4, 18, 30, 30), 3600);
    EXPECT_TRUE(m_powerOffs.empty()) << "never after its half minute";
    Run(LocalTime(2026, 5, 5, 18, 29, 30), 60);
    EXPECT_EQ(m_powerOffs, std::vector<std::time_t>{LocalTime(2026, 5, 5, 18, 30, 0)});
}

TEST_F(ShutdownDrill, AJumpIntoTheWindowFiresAtOnce) {
    StartView(18, 30);
    Run(LocalTime(2026, 5, 4, 15, 0, 0), 10);
    Run(LocalTime(2026, 5, 4, 18, 30, 20), 60);
    EXPECT_EQ(m_powerOffs, std::vector<std::time_t>{LocalTime(2026, 5, 4, 18, 30, 20)});
}

TEST_F(ShutdownDrill, AJumpBackBeforeTheWindowWaitsForIt) {
    StartView(18, 30);
    Run(LocalTime(2026, 5, 4, 18, 0, 0), 60);
    Run(LocalTime(2026, 5, 4, 12, 0, 0), 7 * 3600);
    EXPECT_EQ(m_powerOffs, std::vector<std::time_t>{LocalTime(2026, 5, 4, 18, 30, 0)});
}

TEST_F(ShutdownDrill, NoPowerOffInTheMissingHourOfTheSpringChange) {
    StartView(2, 30);
    Run(kSpringForward - 30 * 60, 2 * 3600);
    EXPECT_TRUE(m_powerOffs.empty()) << "02:30 never comes that night";
    Run(LocalTime(2026, 3, 30, 2, 29, 0), 120);
    EXPECT_EQ(m_powerOffs, std::vector<std::time_t>{LocalTime(2026, 3, 30, 2, 30, 0)});
}

TEST_F(ShutdownDrill, OnePowerOffInTheRepeatedHourOfTheAutumnChange) {
    StartView(2, 30);
    Run(kFallBack - kHour, 3 * 3600);
    EXPECT_EQ(m_powerOffs, std::vector<std::time_t>{kFallBack - 30 * 60}) << "the first 02:30 only";
}

TEST_F(ShutdownDrill, ADayWithAChangeFiresOnceAtItsTime) {
    StartView(18, 30);
    Run(Utc(2026, 10, 24, 22, 0), 25 * 3600);
    EXPECT_EQ(m_powerOffs, std::vector<std::time_t>{LocalTime(2026, 10, 25, 18, 30, 0)});
}
