#include "dialogs/RestartMessage.h"
#include "catalogue/SatzStore.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogTexts.h"

void CloseForRestart(IDialogHost& host, ERestartReason reason) {
    switch (host.Store().m_nSprache) {
    case dlgtext::kDeutsch:
        host.ShowMessage(
            reason == ERestartReason::Passwort
                ? QStringLiteral(
                      "Das Passwort wurde geändert, bitte starten Sie das Programm neu !")
                : QStringLiteral(
                      "Einstellungen wurden geändert, bitte starten Sie das Programm neu !"),
            QStringLiteral("Programm schliesst nun automatisch"));
        break;
    case dlgtext::kFranzoesisch:
        host.ShowMessage(
            QStringLiteral("Les réglages ont été modifiés, SVP redémarrer le programme !"),
            QStringLiteral("Le programme se ferme automatiquement"));
        break;
    default:
        break;
    }
    host.PostRestartRequest();
}
