#include "sync/ProxySettings.h"

#include "catalogue/SatzStore.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"
#include "sync/Portal.h"

#include <gtest/gtest.h>

namespace {
QByteArray Server(const CSatzStore& store) {
    return QByteArray(store.m_szServer.data());
}

class ProxySettingsTest : public ::testing::Test {
protected:
    CTempWorkDir m_workDir;
};
} // namespace

TEST_F(ProxySettingsTest, ValuesRoundTripAndDefaultToNoProxy) {
    ProxySettings proxy = LoadProxySettings();
    EXPECT_EQ(proxy.nProxyOn, 0);
    EXPECT_EQ(proxy.strProxyIP, "");
    EXPECT_EQ(proxy.nProxyPort, 0);

    SaveProxySettings({1, QStringLiteral("proxy.example.test"), 3128});
    proxy = LoadProxySettings();
    EXPECT_EQ(proxy.nProxyOn, 1);
    EXPECT_EQ(proxy.strProxyIP, "proxy.example.test");
    EXPECT_EQ(proxy.nProxyPort, 3128);
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kProxyPort, 0), 3128);

    // Saved unchanged, whatever the value.
    SaveProxySettings({-3, QString(), -1});
    proxy = LoadProxySettings();
    EXPECT_EQ(proxy.nProxyOn, -3);
    EXPECT_EQ(proxy.nProxyPort, -1);
}

TEST(ProxyPort, DigitsOnlyFromOneTo65535) {
    EXPECT_EQ(ParseProxyPort(QStringLiteral("1")), 1);
    EXPECT_EQ(ParseProxyPort(QStringLiteral("65535")), 65535);
    EXPECT_EQ(ParseProxyPort(QStringLiteral("08080")), 8080);
    for (const char* szText : {"0", "65536", "99999x", " 80", "+80", "", "000080", "８０"})
        EXPECT_EQ(ParseProxyPort(QString::fromUtf8(szText)), std::nullopt) << szText;
}

TEST_F(ProxySettingsTest, OnlyProxyOnOneConnectsThroughTheProxy) {
    CSatzStore store;
    for (const int nProxyOn : {0, 2, -1}) {
        ApplyConnectionTarget(store, {nProxyOn, QStringLiteral("10.0.0.1"), 8080});
        EXPECT_EQ(Server(store), portal::kHost) << nProxyOn;
        EXPECT_EQ(store.m_nServerPort, portal::kPort) << nProxyOn;
    }

    ApplyConnectionTarget(store, {1, QStringLiteral("10.0.0.1"), 8080});
    EXPECT_EQ(Server(store), "10.0.0.1");
    EXPECT_EQ(store.m_nServerPort, 8080);

    // The name is cut to the target's 51 characters, and is sent as Windows-1252 bytes.
    const QString longName = QString(59, QLatin1Char('p')) + QStringLiteral("\u00FC");
    ApplyConnectionTarget(store, {1, longName, 3128});
    EXPECT_EQ(Server(store), QByteArray(51, 'p'));
    ApplyConnectionTarget(store, {1, QStringLiteral("m\u00FCller"), 3128});
    EXPECT_EQ(Server(store), "m\xFCller");
}
