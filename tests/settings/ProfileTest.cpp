#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"

#include <QSettings>
#include <gtest/gtest.h>

using namespace setting;

TEST(Profile, MissingValuesReadAsTheirDefaults) {
    CTempWorkDir dir;
    EXPECT_EQ(GetProfileInt(kSection, kSpeed, 0), 0);
    EXPECT_EQ(GetProfileInt(kSection, kSpeed, 7), 7);
    EXPECT_EQ(GetProfileString(kSection, kLastUpdate), QString());
}

TEST(Profile, ValuesLiveInGroupSettingsOfTheZelvoraStore) {
    CTempWorkDir dir;
    WriteProfileInt(kSection, kScrRes, 3);
    WriteProfileString(kSection, kMarken, QStringLiteral("HONDA,BMW"));
    QSettings store(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora"));
    EXPECT_EQ(store.value("Settings/ScrRes").toInt(), 3);
    EXPECT_EQ(store.value("Settings/Marken").toString(), QStringLiteral("HONDA,BMW"));
    EXPECT_EQ(GetProfileInt(kSection, kScrRes, 0), 3);
    EXPECT_EQ(GetProfileString(kSection, kMarken), QStringLiteral("HONDA,BMW"));
}

TEST(Profile, TextsKeepEveryCharacterAndIntegersReplaceTexts) {
    CTempWorkDir dir;
    const QString adresse = QStringLiteral("Töff Müller, Rue de l\u2019Église 3, 1000 Lausanne");
    WriteProfileString(kSection, kAdresse, adresse);
    EXPECT_EQ(GetProfileString(kSection, kAdresse), adresse);
    WriteProfileString(kSection, kLastUpdate, QString());
    EXPECT_EQ(GetProfileString(kSection, kLastUpdate), QString());
    WriteProfileString(kSection, kSpeed, QStringLiteral("fast"));
    EXPECT_EQ(GetProfileInt(kSection, kSpeed, 5), 0) << "a text that is no number reads as 0";
}
