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

    SaveCredentials(dlg.m_strKundenNr, dlg.m_strPasswort);
    // The running requests keep the customer number read at start; a fresh start takes the new.
    CloseForRestart(host, ERestartReason::Passwort);
}
