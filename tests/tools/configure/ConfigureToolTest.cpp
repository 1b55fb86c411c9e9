#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/Emulation.h"
#include "support/TempWorkDir.h"
#include "sync/CredentialStore.h"
#include "sync/ProxySettings.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {
struct ToolRun {
    int nExit = -1;
    QString out;
    QString err;
};

// The tool inherits this process's XDG_CONFIG_HOME, so it writes the test's settings store.
ToolRun RunWithInput(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess tool;
    tool.start(QStringLiteral(ZELVORA_CONFIGURE_TOOL), arguments);
    tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit)
        return {};
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}
int RunTool(const QStringList& arguments) {
    return RunWithInput(arguments).nExit;
}
} // namespace

TEST(ConfigureTool, StoresCredentialsAndProxyAsTheDialogsWould) {
    SKIP_WITHOUT_CHILD_PROCESSES();
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
    SKIP_WITHOUT_CHILD_PROCESSES();
    CTempWorkDir dir;
    EXPECT_EQ(RunTool({}), 2);
    EXPECT_EQ(RunTool({"--customer", "12345"}), 2);
    EXPECT_EQ(RunTool({"--proxy", "127.0.0.1"}), 2);
    EXPECT_EQ(RunTool({"--proxy", "host:99999"}), 2);
    EXPECT_EQ(RunTool({"--proxy", "host:80", "--no-proxy"}), 2);
    EXPECT_TRUE(LoadCredentials().strKundenNr.isEmpty());
    EXPECT_EQ(LoadProxySettings().nProxyOn, 0);
}

TEST(ConfigureTool, RefusesValuesTheShowCannotUseAndStoresNothing) {
    SKIP_WITHOUT_CHILD_PROCESSES();
    CTempWorkDir dir;
    const QStringList refused[] = {
        {"--customer", "abc 4711", "--password", "x"},
        {"--customer", "12345678901234567", "--password", "x"},
        {"--customer", "4711", "--password", ""},
        {"--customer", "4711", "--password", QString(33, u'p')},
        {"--customer", "4711", "--password", "Łódź"},
        {"--proxy", "http://host:3128"},
        {"--proxy", "host"},
        {"--proxy", "host:0"},
        {"--lang", "it"},
        {"--no-proxy", "extra"},
    };
    for (const QStringList& arguments : refused) {
        const ToolRun run = RunWithInput(arguments);
        EXPECT_EQ(run.nExit, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("zelvora-configure: ")))
            << arguments.join(u' ').toStdString();
    }
    for (const QByteArray& input : {QByteArray(), QByteArray("\n"), QByteArray(300, 'p')})
        EXPECT_EQ(RunWithInput({"--customer", "4711", "--password", "-"}, input).nExit, 2)
            << input.size();
    EXPECT_TRUE(LoadCredentials().strKundenNr.isEmpty());
    EXPECT_EQ(LoadProxySettings().nProxyOn, 0);
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kAusgabe, -1), -1);
}

TEST(ConfigureTool, ReadsThePasswordFromInputAndSaysWhereItStored) {
    SKIP_WITHOUT_CHILD_PROCESSES();
    CTempWorkDir dir;
    const ToolRun run = RunWithInput({"--customer", "4711", "--password", "-", "--lang", "fr"},
                                     QByteArray("Grüezi mitenand\r\n"));
    ASSERT_EQ(run.nExit, 0) << run.err.toStdString();
    EXPECT_EQ(LoadCredentials().strPassword, QStringLiteral("Grüezi mitenand"));
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kAusgabe, 0), 2);
    EXPECT_TRUE(run.out.contains(ProfileFileName())) << run.out.toStdString();

    ASSERT_EQ(RunTool({"--lang", "de"}), 0);
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kAusgabe, 0), 1);
    EXPECT_EQ(LoadCredentials().strKundenNr, QStringLiteral("4711")) << "the login stays";
}
