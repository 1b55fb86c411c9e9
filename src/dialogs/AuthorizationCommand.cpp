#include "dialogs/AuthorizationDlg.h"
#include "dialogs/Commands.h"
#include "dialogs/DialogHost.h"
#include "dialogs/RestartMessage.h"
#include "sync/CredentialStore.h"

void RunAuthorizationCommand(IDialogHost& host) {
    const Credentials stored = LoadCredentials();
    CAuthorizationDlg dlg(host.DialogParent());
    dlg.m_strKundenNr = stored.strKundenNr;
    dlg.m_strPasswort = stored.strPassword;
    if (host.RunModal(dlg) != QDialog::Accepted)
        return;

    host.StopSyncJob();
    SaveCredentials(dlg.m_strKundenNr, dlg.m_strPasswort);
    // A fresh start takes the new login.
    CloseForRestart(host, ERestartReason::Passwort);
}
