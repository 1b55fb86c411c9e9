#include "support/TempWorkDir.h"
#include "sync/CredentialStore.h"
#include "sync/ProxySettings.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {
// The tool inherits this process's XDG_CONFIG_HOME, so it writes the test's settings store.
int RunTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(ZELVORA_CONFIGURE_TOOL), arguments);
    if (!tool.waitForFinished(30000))
        return -1;
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}
} // namespace

TEST(ConfigureTool, StoresCredentialsAndProxyAsTheDialogsWould) {
    CTempWorkDir dir;
    ASSERT_EQ(
        RunTool({"--customer", "12345", "--password", "Passwört", "--proxy", "127.0.0.1:8080"}), 0);
    const Credentials credentials = LoadCredentials();
    EXPECT_EQ(credentials.strKundenNr, QStringLiteral("12345"));
    EXPECT_EQ(credentials.strPassword, QStringLiteral("Passwört"));
    ProxySettings proxy = LoadProxySettings();
    EXPECT_EQ(proxy.nProxyOn, 1);
    EXPECT_EQ(proxy.strProxyIP, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(proxy.nProxyPort, 8080);

    ASSERT_EQ(RunTool({"--no-proxy"}), 0);
    proxy = LoadProxySettings();
    EXPECT_EQ(proxy.nProxyOn, 0);
    EXPECT_EQ(proxy.strProxyIP, QStringLiteral("127.0.0.1")) << "address and port stay";
    EXPECT_EQ(LoadCredentials().strKundenNr, QStringLiteral("12345"));
}

TEST(ConfigureTool, RefusesIncompleteArgumentsAndStoresNothing) {
    CTempWorkDir dir;
    EXPECT_EQ(RunTool({}), 2);
    EXPECT_EQ(RunTool({"--customer", "12345"}), 2);
    EXPECT_EQ(RunTool({"--proxy", "127.0.0.1"}), 2);
    EXPECT_EQ(RunTool({"--proxy", "host:99999"}), 2);
    EXPECT_EQ(RunTool({"--proxy", "host:80", "--no-proxy"}), 2);
    EXPECT_TRUE(LoadCredentials().strKundenNr.isEmpty());
    EXPECT_EQ(LoadProxySettings().nProxyOn, 0);
}
