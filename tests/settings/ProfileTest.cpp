#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"
#include "support/UnwritableSettings.h"

#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(Profile, OnlyTheOwnerMayReadTheFileWhateverTheUmask) {
    CTempWorkDir dir;
    const QString fileName =
        QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")).fileName();
    const auto mode = [&] {
        struct stat info {};
        return ::stat(QFile::encodeName(fileName).constData(), &info) == 0 ? info.st_mode & 0777
                                                                           : 0u;
    };
    const mode_t previous = ::umask(0);
    QFile::remove(fileName);
    WriteProfileString(kSection, kCode, QStringLiteral("secret"));
    EXPECT_EQ(mode(), 0600u) << "a new file";
    ::chmod(QFile::encodeName(fileName).constData(), 0644);
    WriteProfileInt(kSection, kSprache, 1);
    EXPECT_EQ(mode(), 0600u) << "a file left readable";
    ::umask(previous);
    EXPECT_EQ(GetProfileString(kSection, kCode), QStringLiteral("secret"));
}

TEST(Profile, ASkippedWriteKeepsTheOldValueAndIsNotedUntilAWriteIsStored) {
    CTempWorkDir dir;
    WriteProfileString(kSection, kLastUpdate, QStringLiteral("2026-03-01 12:00:00"));
    EXPECT_EQ(SkippedProfileWrite(), QString());
    {
        CUnwritableSettings unwritable;
        WriteProfileString(kSection, kLastUpdate, QString());
        WriteProfileInt(kSection, kSprache, 2);
    }
    EXPECT_EQ(SkippedProfileWrite(), QStringLiteral("Sprache"));
    EXPECT_EQ(GetProfileString(kSection, kLastUpdate), QStringLiteral("2026-03-01 12:00:00"));
    EXPECT_EQ(GetProfileInt(kSection, kSprache, 0), 0);
    WriteProfileInt(kSection, kSprache, 1);
    EXPECT_EQ(SkippedProfileWrite(), QString());
}
