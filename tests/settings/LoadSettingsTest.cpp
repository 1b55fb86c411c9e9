#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

using namespace setting;

namespace {
std::tm Local(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}
} // namespace

TEST(LoadSettings, FirstStartHasNoFiltersAndNoShutdown) {
    CTempWorkDir dir;
    CSatzStore store;
    store.LoadSettings();
    EXPECT_EQ(store.m_nAnzeige, 0);
    EXPECT_EQ(store.m_nPreisVon, 0);
    EXPECT_EQ(store.m_nPreisBis, 0);
    EXPECT_EQ(store.m_nPreisVonOcc, 0);
    EXPECT_EQ(store.m_nPreisBisOcc, 0);
    EXPECT_EQ(store.m_nKmVon, 0);
    EXPECT_EQ(store.m_nKmBis, 0);
    EXPECT_TRUE(store.m_strMarken.isEmpty());
    EXPECT_TRUE(store.m_strPromoText.isEmpty());
    EXPECT_FALSE(store.m_bManuellUpdate);
    EXPECT_FALSE(store.m_bShutDown);
    const std::tm tm = Local(store.m_timeShutDown);
    EXPECT_EQ(tm.tm_year, 107);
    EXPECT_EQ(tm.tm_mon, 11);
    EXPECT_EQ(tm.tm_mday, 13);
    EXPECT_EQ(tm.tm_hour, 0);
}

TEST(LoadSettings, OpenUpperPriceBoundsButNotMileage) {
    CTempWorkDir dir;
    WriteProfileString(kSection, kPreisVonOcc, QStringLiteral("5000"));
    WriteProfileString(kSection, kPreisVon, QStringLiteral("  12'000"));
    WriteProfileString(kSection, kPreisBis, QStringLiteral("x"));
    WriteProfileString(kSection, kKmVon, QStringLiteral("5000"));
    CSatzStore store;
    store.LoadSettings();
    EXPECT_EQ(store.m_nPreisVonOcc, 5000);
    EXPECT_EQ(store.m_nPreisBisOcc, 9999999);
    EXPECT_EQ(store.m_nPreisVon, 12) << "only the leading digits count";
    EXPECT_EQ(store.m_nPreisBis, 9999999);
    EXPECT_EQ(store.m_nKmVon, 5000);
    EXPECT_EQ(store.m_nKmBis, 0) << "no replacement for mileage";

    WriteProfileString(kSection, kPreisVonOcc, QStringLiteral("0"));
    WriteProfileString(kSection, kPreisBisOcc, QStringLiteral("3000"));
    store.LoadSettings();
    EXPECT_EQ(store.m_nPreisVonOcc, 0);
    EXPECT_EQ(store.m_nPreisBisOcc, 3000);
}

TEST(LoadSettings, CopiesFlagsTextsAndCategories) {
    CTempWorkDir dir;
    WriteProfileInt(kSection, kAnzeige, 2);
    WriteProfileInt(kSection, kKatID, 4);
    WriteProfileInt(kSection, kKatIDOcc, 8);
    WriteProfileString(kSection, kMarken, QStringLiteral("HONDA,KTM"));
    WriteProfileString(kSection, kMarkenOccAnzeigen, QStringLiteral("HONDA"));
    WriteProfileString(kSection, kMarkenNeuFzAnzeigen, QStringLiteral("KTM"));
    WriteProfileString(kSection, kPromoText, QStringLiteral("ROT: Frühlingsaktion"));
    WriteProfileInt(kSection, kManuellUpdate, 5);
    WriteProfileInt(kSection, kShutDown, 1);
    CSatzStore store;
    store.LoadSettings();
    EXPECT_EQ(store.m_nAnzeige, 2);
    EXPECT_EQ(store.m_nKatID, 4);
    EXPECT_EQ(store.m_nKatIDOcc, 8);
    EXPECT_EQ(store.m_strMarken, QStringLiteral("HONDA,KTM"));
    EXPECT_EQ(store.m_strMarkenOccAnzeigen, QStringLiteral("HONDA"));
    EXPECT_EQ(store.m_strMarkenNeuFzAnzeigen, QStringLiteral("KTM"));
    EXPECT_EQ(store.m_strPromoText, QStringLiteral("ROT: Frühlingsaktion"));
    EXPECT_TRUE(store.m_bManuellUpdate);
    EXPECT_TRUE(store.m_bShutDown);
}

TEST(LoadSettings, ShutdownTimeDropsTheSeconds) {
    CTempWorkDir dir;
    for (int t : {18 * 3600 + 30 * 60, 18 * 3600 + 30 * 60 + 59}) {
        WriteProfileInt(kSection, kShutDownTime, t);
        CSatzStore store;
        store.LoadSettings();
        EXPECT_EQ(SecondsOfDay(store.m_timeShutDown), 18 * 3600 + 30 * 60) << t;
    }
}
