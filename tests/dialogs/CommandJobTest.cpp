// What the commands that need a fresh start do around the sync job and the restart.
#include "FakeDialogHost.h"
#include "dialogs/Commands.h"
#include "dialogs/DialogConstants.h"
#include "dialogs/RestartMessage.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"
#include "sync/CredentialStore.h"
#include "sync/ProxySettings.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace setting;

// A job still running would overwrite the change or mix it with what it read: each command
// stops it before it writes anything, and the proxy command lets it run again afterwards.
TEST(CommandJob, TheCommandsStopTheSyncJobBeforeTheyWrite) {
    struct Case {
        const char* szName;
        std::function<void(IDialogHost&)> run;
        int nId;
        const char* szEntered;
        std::function<QString()> stored;
        int nResumes;
    };
    const Case cases[] = {
        {"settings", RunSettingsCommand, dlg::kIdMarken, "KTM",
         [] { return GetProfileString(kSection, kMarken); }, 0},
        {"authorization", RunAuthorizationCommand, dlg::kIdKundenNr, "99",
         [] { return LoadCredentials().strKundenNr; }, 0},
        {"proxy", RunProxyCommand, dlg::kIdProxyIP, "10.0.0.9",
         [] { return LoadProxySettings().strProxyIP; }, 1},
    };
    for (const Case& c : cases) {
        CTempWorkDir dir;
        SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
        WriteProfileString(kSection, kMarken, QStringLiteral("HONDA"));
        CFakeDialogHost host;
        const QString before = c.stored();
        QString atStop;
        host.m_onJobStop = [&] {
            atStop = c.stored();
        };
        host.m_operator = [&](QDialog& dialog) {
            Control<QLineEdit>(dialog, c.nId).setText(QString::fromLatin1(c.szEntered));
            PressOk(dialog);
        };
        c.run(host);
        EXPECT_EQ(host.m_nJobStops, 1) << c.szName;
        EXPECT_EQ(atStop, before) << c.szName << ": nothing written before the stop";
        EXPECT_EQ(c.stored(), QString::fromLatin1(c.szEntered)) << c.szName;
        EXPECT_EQ(host.m_nJobResumes, c.nResumes) << c.szName;
    }
}

TEST(CommandJob, ARefusedRestartIsNamedInASecondLineInBothLanguages) {
    CTempWorkDir dir;
    CFakeDialogHost host;
    for (const int nSprache : {1, 2}) {
        for (const bool bCanRestart : {true, false}) {
            host.ForgetWhatHappened();
            host.m_store.m_nSprache = nSprache;
            host.m_bCanRestart = bCanRestart;
            CloseForRestart(host, ERestartReason::Update);
            ASSERT_EQ(host.m_messages.size(), 1U);
            const QStringList lines = host.m_messages[0].strText.split(u'\n');
            EXPECT_EQ(lines[0].endsWith(QStringLiteral("programme !")), nSprache == 2);
            EXPECT_EQ(lines.size(), bCanRestart ? 1 : 2);
            EXPECT_TRUE(bCanRestart ||
                        lines[1].startsWith(nSprache == 1 ? QStringLiteral("Neustart abgelehnt")
                                                          : QStringLiteral("Redémarrage refusé")));
        }
    }
}
