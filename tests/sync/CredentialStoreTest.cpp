#include "sync/CredentialStore.h"

#include "catalogue/SatzStore.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"
#include "sync/BlowfishCipher.h"
#include "sync/SyncConstants.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {
QString Code() {
    return GetProfileString(setting::kSection, setting::kCode);
}
void SetCode(const QString& code) {
    WriteProfileString(setting::kSection, setting::kCode, code);
}

Credentials SaveAndLoad(const QString& kundenNr, const QString& password) {
    SaveCredentials(kundenNr, password);
    return LoadCredentials();
}

class CredentialStoreTest : public ::testing::Test {
protected:
    CTempWorkDir m_workDir;
};
} // namespace

TEST_F(CredentialStoreTest, TextsSurviveUpToTheirFieldAndAreCutBeyond) {
    const QString password32 = QStringLiteral("Pa55wort-mit-genau-32-Zeichen!!!");
    ASSERT_EQ(password32.size(), 32);
    const QString kundenNr16 = QStringLiteral("1234567890123456");

    Credentials loaded = SaveAndLoad(kundenNr16, password32);
    EXPECT_EQ(loaded.strKundenNr, kundenNr16);
    EXPECT_EQ(loaded.strPassword, password32);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{96}$")).match(Code()).hasMatch())
        << Code().toStdString();

    loaded = SaveAndLoad(kundenNr16 + QLatin1Char('7'), password32 + QLatin1Char('X'));
    EXPECT_EQ(loaded.strKundenNr, kundenNr16);
    EXPECT_EQ(loaded.strPassword, password32);

    loaded = SaveAndLoad(QStringLiteral("4711"), QStringLiteral("geheim"));
    EXPECT_EQ(loaded.strKundenNr, "4711");
    EXPECT_EQ(loaded.strPassword, "geheim");
}

TEST_F(CredentialStoreTest, EmptyPasswordGivesAFullCodeAndTheDigestOfNothing) {
    SaveCredentials(QStringLiteral("4711"), QString());
    const QString code = Code();
    ASSERT_EQ(code.size(), credential::kCodeLength);

    // Zero bytes from the zero vector: each block is the encipherment of the one before.
    const BlowfishCipher cipher(QByteArrayView(credential::kPasswordKey.data(),
                                               qsizetype(credential::kPasswordKey.size())));
    BlowfishCipher::Block reg{};
    QByteArray expected;
    for (int block = 0; block < 4; ++block) {
        reg = cipher.EncryptBlock(reg);
        expected += QByteArray(reinterpret_cast<const char*>(reg.data()), 8);
    }
    EXPECT_EQ(code.left(64), QString::fromLatin1(expected.toHex().toUpper()));

    CSatzStore store;
    EXPECT_TRUE(FormPasswordDigest(store));
    EXPECT_EQ(store.m_strPasswordDigest, "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(store.m_strKundenNr, "4711");
    EXPECT_EQ(store.m_nKundenNr, 4711);
}

TEST_F(CredentialStoreTest, EqualTextsGiveEqualCodesAndEarlierBlocksStay) {
    SaveCredentials(QStringLiteral("12345678-A"), QStringLiteral("Abcdefgh-eins"));
    const QString first = Code();
    SaveCredentials(QStringLiteral("12345678-A"), QStringLiteral("Abcdefgh-eins"));
    EXPECT_EQ(Code(), first);

    SaveCredentials(QStringLiteral("12345678-B"), QStringLiteral("Abcdefgh-zwei"));
    const QString second = Code();
    EXPECT_EQ(second.left(16), first.left(16));
    EXPECT_NE(second.mid(16, 16), first.mid(16, 16));
    EXPECT_EQ(second.mid(64, 16), first.mid(64, 16));
    EXPECT_NE(second.mid(80, 16), first.mid(80, 16));
}

TEST_F(CredentialStoreTest, NoCredentialsUnlessTheCodeHas96Characters) {
    CSatzStore store;
    store.m_nKundenNr = 99;
    EXPECT_FALSE(FormPasswordDigest(store)); // never written
    EXPECT_EQ(store.m_strKundenNr, "");
    EXPECT_EQ(store.m_nKundenNr, 99);
    EXPECT_EQ(store.m_strPasswordDigest, "D41D8CD98F00B204E9800998ECF8427E");

    SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    const QString code = Code();
    for (const QString& wrong : {code.left(95), code + QLatin1Char('0'), QString()}) {
        SetCode(wrong);
        const Credentials loaded = LoadCredentials();
        EXPECT_EQ(loaded.strKundenNr, "") << wrong.size();
        EXPECT_EQ(loaded.strPassword, "") << wrong.size();
        EXPECT_FALSE(FormPasswordDigest(store));
    }
}

TEST_F(CredentialStoreTest, ForeignCharactersLoadAsUnreadableTexts) {
    SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    SetCode(Code().toLower());
    Credentials loaded = LoadCredentials();
    EXPECT_NE(loaded.strKundenNr, "4711");
    EXPECT_NE(loaded.strPassword, "geheim");

    SetCode(QString(96, QChar(0x20AC)));
    loaded = LoadCredentials();
    EXPECT_LE(loaded.strKundenNr.size(), credential::kKundenNrFieldSize);
    EXPECT_LE(loaded.strPassword.size(), credential::kPasswordFieldSize);
}

TEST_F(CredentialStoreTest, BytesAbove127AreStoredAndDigestedAsWindows1252) {
    const QString password = QStringLiteral("Passw\u00F6rt");
    const Credentials loaded = SaveAndLoad(QStringLiteral("\u20AC 12"), password);
    EXPECT_EQ(loaded.strPassword, password);
    EXPECT_EQ(loaded.strKundenNr, QStringLiteral("\u20AC 12"));

    CSatzStore store;
    EXPECT_TRUE(FormPasswordDigest(store));
    // MD5 of the eight bytes "Passw", 0xF6, "rt".
    EXPECT_EQ(store.m_strPasswordDigest, "B2C8CF1247914BC74476EB1C46AA07A9");
    EXPECT_EQ(store.m_nKundenNr, 0);
}

TEST_F(CredentialStoreTest, DigestAndCustomerNumberForTheListRequests) {
    SaveCredentials(QStringLiteral(" +4711abc"), QStringLiteral("geheim"));
    CSatzStore store;
    EXPECT_TRUE(FormPasswordDigest(store));
    EXPECT_EQ(store.m_strPasswordDigest, "E8636EA013E682FAF61F56CE1CB1AB5C");
    EXPECT_EQ(store.m_strKundenNr, " +4711abc");
    EXPECT_EQ(store.m_nKundenNr, 4711);

    // A changed code counts at the next request.
    SaveCredentials(QStringLiteral("815"), QString());
    EXPECT_TRUE(FormPasswordDigest(store));
    EXPECT_EQ(store.m_strPasswordDigest, "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(store.m_nKundenNr, 815);
}
