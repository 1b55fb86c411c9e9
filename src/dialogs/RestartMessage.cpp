#include "dialogs/RestartMessage.h"
#include "catalogue/SatzStore.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogTexts.h"

namespace {
QString GermanText(ERestartReason reason) {
    switch (reason) {
    case ERestartReason::Passwort:
        return QStringLiteral("Das Passwort wurde geändert, bitte starten Sie das Programm neu !");
    case ERestartReason::Update:
        return QStringLiteral("Manuelles Daten update, bitte starten Sie das Programm neu !");
    case ERestartReason::Einstellungen:
        break;
    }
    return QStringLiteral("Einstellungen wurden geändert, bitte starten Sie das Programm neu !");
}
} // namespace

void CloseForRestart(IDialogHost& host, ERestartReason reason) {
    const bool bRefused = !host.CanRestart();
    switch (host.Store().m_nSprache) {
    case dlgtext::kDeutsch:
        host.ShowClosingMessage(
            GermanText(reason) +
                (bRefused ? QStringLiteral("\nNeustart abgelehnt: zu viele Neustarts in kurzer "
                                           "Zeit, die Show läuft weiter.")
                          : QString()),
            QStringLiteral("Programm schliesst nun automatisch"));
        break;
    case dlgtext::kFranzoesisch:
        host.ShowClosingMessage(
            QStringLiteral("Les réglages ont été modifiés, SVP redémarrer le programme !") +
                (bRefused ? QStringLiteral("\nRedémarrage refusé : trop de redémarrages en peu "
                                           "de temps, la présentation continue.")
                          : QString()),
            QStringLiteral("Le programme se ferme automatiquement"));
        break;
    default:
        break;
    }
    host.PostRestartRequest();
}
