#include "FakeDialogHost.h"
#include "dialogs/Commands.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"
#include "sync/Portal.h"
#include "sync/ProxySettings.h"

#include <QLineEdit>
#include <gtest/gtest.h>
#include <tuple>

using namespace setting;

namespace {
void Enter(QDialog& dialog, bool bOn, const QString& address, const QString& port) {
    Control<QCheckBox>(dialog, 1020).setChecked(bOn);
    Control<QLineEdit>(dialog, 1018).setText(address);
    Control<QLineEdit>(dialog, 1019).setText(port);
}

QByteArray Server(const CSatzStore& store) {
    return QByteArray(store.m_szServer.data());
}

class ProxyCommand : public ::testing::Test {
protected:
    void SetUp() override { host.m_store.SetConnectionTarget(portal::kHost, portal::kPort); }
    void RunWith(const std::function<void(QDialog&)>& action) {
        host.m_operator = action;
        RunProxyCommand(host);
    }
    CTempWorkDir dir;
    CFakeDialogHost host;
};
} // namespace

TEST_F(ProxyCommand, OkStoresTheProxyAndPointsTheNextRequestAtIt) {
    RunWith([](QDialog& dialog) {
        EXPECT_FALSE(Control<QCheckBox>(dialog, 1020).isChecked());
        EXPECT_TRUE(Control<QLineEdit>(dialog, 1018).text().isEmpty());
        EXPECT_EQ(Control<QLineEdit>(dialog, 1019).text(), QStringLiteral("0")) << "unset port";
        Enter(dialog, true, QStringLiteral("10.0.0.1"), QStringLiteral("8080"));
        PressOk(dialog);
    });
    EXPECT_EQ(GetProfileInt(kSection, kProxyOn, -1), 1);
    EXPECT_EQ(GetProfileString(kSection, kProxyIP), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(GetProfileInt(kSection, kProxyPort, -1), 8080);
    EXPECT_EQ(Server(host.m_store), QByteArray("10.0.0.1"));
    EXPECT_EQ(host.m_store.m_nServerPort, 8080);
    EXPECT_EQ(host.m_nCloseRequests, 0) << "no restart needed";
    EXPECT_TRUE(host.m_messages.empty());

    RunWith([](QDialog& dialog) {
        EXPECT_TRUE(Control<QCheckBox>(dialog, 1020).isChecked());
        EXPECT_EQ(Control<QLineEdit>(dialog, 1018).text(), QStringLiteral("10.0.0.1"));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1019).text(), QStringLiteral("8080"));
        Control<QCheckBox>(dialog, 1020).setChecked(false);
        PressOk(dialog);
    });
    EXPECT_EQ(GetProfileInt(kSection, kProxyOn, -1), 0);
    EXPECT_EQ(GetProfileString(kSection, kProxyIP), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(GetProfileInt(kSection, kProxyPort, -1), 8080);
    EXPECT_EQ(Server(host.m_store), QByteArray(portal::kHost));
    EXPECT_EQ(host.m_store.m_nServerPort, 80);
}

TEST_F(ProxyCommand, APortThatIsNoneKeepsTheDialogOpenOrTheStoredPort) {
    SaveProxySettings({0, QStringLiteral("proxy.local"), 3128});
    // Box, port text, refused, port stored after it.
    const std::tuple<bool, const char*, bool, int> cases[] = {
        {true, "99999x", true, 3128}, {false, "abc", false, 3128}, {true, "8080", false, 8080}};
    for (const auto& [bOn, szPort, bRefused, nStored] : cases) {
        host.ForgetWhatHappened();
        bool bStayedOpen = false;
        const QString port = QString::fromLatin1(szPort);
        RunWith([bOn = bOn, port, &bStayedOpen](QDialog& dialog) {
            Enter(dialog, bOn, QStringLiteral("proxy.local"), port);
            PressOk(dialog);
            bStayedOpen = dialog.isVisible();
        });
        EXPECT_EQ(bStayedOpen, bRefused) << szPort;
        EXPECT_EQ(host.m_messages.size(), bRefused ? 1U : 0U);
        EXPECT_EQ(GetProfileInt(kSection, kProxyPort, -1), nStored);
    }
    EXPECT_EQ(host.m_store.m_nServerPort, 8080);
}

TEST_F(ProxyCommand, OnlyOneSwitchesTheProxyOn) {
    SaveProxySettings({2, QStringLiteral("10.0.0.1"), 8080});
    RunWith([](QDialog& dialog) {
        EXPECT_FALSE(Control<QCheckBox>(dialog, 1020).isChecked())
            << "the box shows what the connection does";
        PressOk(dialog);
    });
    EXPECT_EQ(GetProfileInt(kSection, kProxyOn, -1), 0);
    EXPECT_EQ(Server(host.m_store), QByteArray(portal::kHost));
}

TEST_F(ProxyCommand, AddressNoLongerThanTheConnectionTarget) {
    const QString longName = QString(60, QLatin1Char('p'));
    RunWith([longName](QDialog& dialog) {
        Control<QCheckBox>(dialog, 1020).setChecked(true);
        Control<QLineEdit>(dialog, 1019).setText(QStringLiteral("3128"));
        QTest::keyClicks(&Control<QLineEdit>(dialog, 1018), longName);
        PressOk(dialog);
    });
    EXPECT_EQ(GetProfileString(kSection, kProxyIP), longName.left(51));
    EXPECT_EQ(Server(host.m_store), longName.left(51).toLatin1());
}

TEST_F(ProxyCommand, CancelChangesNothing) {
    SaveProxySettings({0, QStringLiteral("10.0.0.1"), 8080});
    const std::vector<std::function<void(QDialog&)>> cancels = {
        [](QDialog& dialog) {
            Enter(dialog, true, QStringLiteral("192.168.1.1"), QStringLiteral("3128"));
            PressEsc(dialog);
        },
        [](QDialog& dialog) { Enter(dialog, true, QStringLiteral("192.168.1.1"), QString()); },
    };
    for (const auto& cancel : cancels)
        RunWith(cancel);
    EXPECT_EQ(host.m_nModalRuns, 2);
    const ProxySettings stored = LoadProxySettings();
    EXPECT_EQ(stored.nProxyOn, 0);
    EXPECT_EQ(stored.strProxyIP, QStringLiteral("10.0.0.1"));
    EXPECT_EQ(stored.nProxyPort, 8080);
    EXPECT_EQ(Server(host.m_store), QByteArray(portal::kHost));
    EXPECT_EQ(host.m_store.m_nServerPort, 80);
}
