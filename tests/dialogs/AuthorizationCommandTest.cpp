#include "FakeDialogHost.h"
#include "dialogs/Commands.h"
#include "support/TempWorkDir.h"
#include "sync/CredentialStore.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
void Enter(QDialog& dialog, const QString& kundenNr, const QString& passwort) {
    Control<QLineEdit>(dialog, 1000).setText(kundenNr);
    Control<QLineEdit>(dialog, 1001).setText(passwort);
}
} // namespace

TEST(AuthorizationCommand, OkStoresTheCredentialsAndCloses) {
    CTempWorkDir dir;
    CFakeDialogHost host;
    host.m_operator = [](QDialog& dialog) {
        EXPECT_TRUE(Control<QLineEdit>(dialog, 1000).text().isEmpty()) << "none stored yet";
        EXPECT_TRUE(Control<QLineEdit>(dialog, 1001).text().isEmpty());
        Enter(dialog, QStringLiteral("4711"), QStringLiteral("geheim"));
        PressOk(dialog);
    };
    RunAuthorizationCommand(host);

    const Credentials stored = LoadCredentials();
    EXPECT_EQ(stored.strKundenNr, QStringLiteral("4711"));
    EXPECT_EQ(stored.strPassword, QStringLiteral("geheim"));
    ASSERT_EQ(host.m_messages.size(), 1U);
    EXPECT_EQ(host.m_messages[0].strText,
              QStringLiteral("Das Passwort wurde geändert, bitte starten Sie das Programm neu !"));
    EXPECT_EQ(host.m_messages[0].strCaption, QStringLiteral("Programm schliesst nun automatisch"));
    EXPECT_EQ(host.m_nCloseRequests, 1);

    // Unchanged values are stored again and the program closes all the same.
    host.ForgetWhatHappened();
    host.m_store.m_nSprache = 2;
    host.m_operator = [](QDialog& dialog) {
        EXPECT_EQ(Control<QLineEdit>(dialog, 1000).text(), QStringLiteral("4711"));
        EXPECT_EQ(Control<QLineEdit>(dialog, 1001).text(), QStringLiteral("geheim"));
        PressOk(dialog);
    };
    RunAuthorizationCommand(host);
    EXPECT_EQ(LoadCredentials().strPassword, QStringLiteral("geheim"));
    ASSERT_EQ(host.m_messages.size(), 1U);
    EXPECT_EQ(host.m_messages[0].strText,
              QStringLiteral("Les réglages ont été modifiés, SVP redémarrer le programme !"));
    EXPECT_EQ(host.m_messages[0].strCaption,
              QStringLiteral("Le programme se ferme automatiquement"));
    EXPECT_EQ(host.m_nCloseRequests, 1);

    // Empty entries are stored as they are; another language closes without a message.
    host.ForgetWhatHappened();
    host.m_store.m_nSprache = 0;
    host.m_operator = [](QDialog& dialog) {
        Enter(dialog, QString(), QString());
        PressOk(dialog);
    };
    RunAuthorizationCommand(host);
    EXPECT_TRUE(LoadCredentials().strKundenNr.isEmpty());
    EXPECT_TRUE(LoadCredentials().strPassword.isEmpty());
    EXPECT_TRUE(host.m_messages.empty());
    EXPECT_EQ(host.m_nCloseRequests, 1);
}

TEST(AuthorizationCommand, CancelChangesNothing) {
    CTempWorkDir dir;
    SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    CFakeDialogHost host;
    const std::vector<std::function<void(QDialog&)>> cancels = {
        [](QDialog& dialog) {
            Enter(dialog, QStringLiteral("1"), QStringLiteral("neu"));
            PressEsc(dialog);
        },
        [](QDialog& dialog) { Enter(dialog, QStringLiteral("2"), QStringLiteral("neu")); },
    };
    for (const auto& cancel : cancels) {
        host.m_operator = cancel;
        RunAuthorizationCommand(host);
    }
    EXPECT_EQ(host.m_nModalRuns, 2);
    EXPECT_EQ(LoadCredentials().strKundenNr, QStringLiteral("4711"));
    EXPECT_EQ(LoadCredentials().strPassword, QStringLiteral("geheim"));
    EXPECT_TRUE(host.m_messages.empty());
    EXPECT_EQ(host.m_nCloseRequests, 0);
}

TEST(AuthorizationCommand, EntriesAreNoLongerThanTheStoreKeeps) {
    CTempWorkDir dir;
    CFakeDialogHost host;
    host.m_operator = [](QDialog& dialog) {
        QTest::keyClicks(&Control<QLineEdit>(dialog, 1000), QString(20, QLatin1Char('7')));
        QTest::keyClicks(&Control<QLineEdit>(dialog, 1001), QString(40, QLatin1Char('p')));
        PressOk(dialog);
    };
    RunAuthorizationCommand(host);
    EXPECT_EQ(LoadCredentials().strKundenNr, QString(16, QLatin1Char('7')));
    EXPECT_EQ(LoadCredentials().strPassword, QString(32, QLatin1Char('p')));
}
