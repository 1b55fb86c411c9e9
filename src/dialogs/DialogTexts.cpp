#include "dialogs/DialogTexts.h"

namespace dlgtext {

QStringList KategorieNamen(int nSprache) {
    switch (nSprache) {
    case kDeutsch:
        return {QStringLiteral("Alle Kategorien"),
                QStringLiteral("Mofa"),
                QStringLiteral("Minibike"),
                QStringLiteral("Roller"),
                QStringLiteral("Enduro"),
                QStringLiteral("Chopper/Cruiser"),
                QStringLiteral("Naked/Roadster"),
                QStringLiteral("Touring"),
                QStringLiteral("Sport"),
                QStringLiteral("Gespann"),
                QStringLiteral("Trike"),
                QStringLiteral("Motocross"),
                QStringLiteral("Quad"),
                QStringLiteral("Supermoto"),
                QStringLiteral("e-Fahrzeuge")};
    case kFranzoesisch:
        return {QStringLiteral("Toutes catégories Mob."),
                QStringLiteral("Vélomoteur"),
                QStringLiteral("Pocketbike"),
                QStringLiteral("Scooter"),
                QStringLiteral("Enduro"),
                QStringLiteral("Chopper/Cruiser"),
                QStringLiteral("Naked/Roadster"),
                QStringLiteral("Touring"),
                QStringLiteral("Sport"),
                QStringLiteral("Side-Car"),
                QStringLiteral("Trike"),
                QStringLiteral("Motocross"),
                QStringLiteral("Quad"),
                QStringLiteral("Supermoto"),
                QStringLiteral("e-Bicyclette")};
    default:
        return {};
    }
}

QStringList AufloesungNamen() {
    return {QStringLiteral("1366 x  768"), QStringLiteral("1680 x 1050"),
            QStringLiteral("1980 x 1080"), QStringLiteral("1920 x 1080")};
}

Message ShutdownTestQuestion(int nSprache) {
    if (nSprache == kFranzoesisch)
        return {QStringLiteral("Voulez-vous vraiment éteindre le PC maintenant ?"),
                QStringLiteral("Test d’arrêt du PC")};
    return {QStringLiteral("Soll der PC jetzt heruntergefahren werden?"),
            QStringLiteral("PC Herunterfahren testen")};
}

Message NeuFzOhneMarken(int nSprache) {
    if (nSprache == kFranzoesisch)
        return {QStringLiteral("Les véhicules neufs ne sont affichés qu’avec des marques "
                               "standard. Veuillez saisir les marques standard ou désactiver "
                               "« Neufahrzeuge aktiv »."),
                QStringLiteral("Einstellungen")};
    return {QStringLiteral("Neufahrzeuge werden nur mit Standard Marken gezeigt. Bitte tragen Sie "
                           "die Standard Marken ein oder schalten Sie \"Neufahrzeuge aktiv\" "
                           "aus."),
            QStringLiteral("Einstellungen")};
}

Message ProxyPortUngueltig(int nSprache) {
    if (nSprache == kFranzoesisch)
        return {QStringLiteral("Le port doit être un nombre de 1 à 65535."),
                QStringLiteral("Proxy Server")};
    return {QStringLiteral("Der Port muss eine Zahl von 1 bis 65535 sein."),
            QStringLiteral("Proxy Server")};
}

} // namespace dlgtext
