#include "show/StatusTexts.h"

#include "catalogue/CatalogueLimits.h"

namespace {

// Swiss German: "ss" for the sharp s, "." as decimal point.
constexpr StatusTexts kTextsDe{
    .szTitle = "Zelvora – Statusanzeige",
    .szHint = "Eine beliebige Taste schliesst diese Anzeige.",
    .szSeparator = ": ",

    .szVersion = "Version",
    .szKundenNr = "Kundennummer",
    .szNoKundenNr = "keine gespeichert",
    .szConnection = "Verbindung",
    .szDirect = "%1, direkt zum Portal",
    .szViaProxy = "%1, über den Proxy",

    .szUsedSync = "Abgleich Occasionen",
    .szNeuFzSync = "Abgleich Neufahrzeuge",
    .szNever = "noch nie gelaufen",
    .szSyncAt = "%1 – %2",
    .szSyncOk = "erfolgreich",
    .szNameLookup = "Fehler: Servername nicht gefunden",
    .szConnect = "Fehler: keine Verbindung zum Server",
    .szTimeOut = "Fehler: Zeitüberschreitung",
    .szStatus = "Fehler: unerwarteter HTTP-Status",
    .szErrorAnswer = "Fehler: Portal lehnt ab (Kundennummer und Passwort prüfen)",
    .szNoCredentials = "nicht gelaufen: keine Kundennummer gespeichert",
    .szHeaderTooLong = "Fehler: Kopfzeilen der Antwort zu lang (Proxy prüfen)",
    .szUsedSuccess = "Letzter erfolgreicher Abgleich Occasionen",
    .szNeuFzSuccess = "Letzter erfolgreicher Abgleich Neufahrzeuge",
    .szNoSuccess = "noch keiner",
    .szStaleSince = "Daten nicht aktualisiert seit %1",
    .szRequest = "%1 Anfrage",
    .szRequests = "%1 Anfragen",

    .szSettings = "Einstellungen",
    .szSettingSkipped = "Fehler: „%1“ nicht gespeichert (Datenträger voll?)",

    .szJobTitle = "Daten werden vom Portal geladen",
    .szJobStep = "Läuft",
    .szJobRecords = "Fahrzeuge",
    .szJobRecordsValue = "%1 von %2 geladen",
    .szJobPhotos = "Fotos geladen",
    .szJobBytes = "Empfangen",
    .szJob = "Abgleich mit dem Portal",
    .szJobRunning = "läuft seit %1 s: %2 Fahrzeuge, %3 Fotos, %4",
    .szJobIdle = "keiner läuft, der letzte dauerte %1 s",
    .szJobNone = "keiner gelaufen",

    .szSlides = "Folien",
    .szSlidesValue = "%1 im Katalog, %2 davon werden gezeigt",
    .szPictures = "Bildplätze",
    .szPicturesValue = "%1 von %2 belegt",
    .szDaten = "Ordner Daten/",
    .szBilder = "Ordner Bilder/",
    .szFile = "%1 Datei",
    .szFiles = "%1 Dateien",
    .szWorkDir = "Arbeitsordner",

    .szInterval = "Folienwechsel",
    .szRunning = "alle %1 s, Show läuft",
    .szStopped = "alle %1 s, Show angehalten",
    .szShutdown = "Automatisches Ausschalten",
    .szToday = "heute um %1",
    .szTomorrow = "morgen um %1",
    .szShutdownOff = "aus",
    .szTrace = "Protokoll zelvora.trace",
    .szOn = "ein",
    .szOff = "aus",

    .szServiceSlide = "Fahrzeug %1 von %2",
    .szServiceNoSlides = "keine Fahrzeuge",
    .szServiceSync = "Abgleich %1 %2",
    .szServiceNoSync = "noch kein Abgleich",

    .szKilobytes = "%1 kB",
    .szMegabytes = "%1 MB",
    .cDecimal = '.',
    .bZeroIsSingular = false,
};

constexpr StatusTexts kTextsFr{
    .szTitle = "Zelvora – État du système",
    .szHint = "Appuyez sur une touche pour fermer cet affichage.",
    .szSeparator = " : ",

    .szVersion = "Version",
    .szKundenNr = "No de client",
    .szNoKundenNr = "aucun enregistré",
    .szConnection = "Connexion",
    .szDirect = "%1, directe au portail",
    .szViaProxy = "%1, par le proxy",

    .szUsedSync = "Synchronisation occasions",
    .szNeuFzSync = "Synchronisation véhicules neufs",
    .szNever = "jamais effectuée",
    .szSyncAt = "%1 – %2",
    .szSyncOk = "réussie",
    .szNameLookup = "échec : nom du serveur introuvable",
    .szConnect = "échec : pas de connexion au serveur",
    .szTimeOut = "échec : délai d'attente dépassé",
    .szStatus = "échec : statut HTTP inattendu",
    .szErrorAnswer = "échec : refus du portail (vérifier No de client et mot de passe)",
    .szNoCredentials = "non effectuée : aucun No de client enregistré",
    .szHeaderTooLong = "échec : en-têtes de la réponse trop longs (vérifier le proxy)",
    .szUsedSuccess = "Dernière synchronisation réussie occasions",
    .szNeuFzSuccess = "Dernière synchronisation réussie véhicules neufs",
    .szNoSuccess = "aucune",
    .szStaleSince = "Données non actualisées depuis le %1",
    .szRequest = "%1 requête",
    .szRequests = "%1 requêtes",

    .szSettings = "Paramètres",
    .szSettingSkipped = "échec : « %1 » non enregistré (disque plein ?)",

    .szJobTitle = "Chargement des données du portail",
    .szJobStep = "En cours",
    .szJobRecords = "Véhicules",
    .szJobRecordsValue = "%1 sur %2 chargés",
    .szJobPhotos = "Photos chargées",
    .szJobBytes = "Reçu",
    .szJob = "Synchronisation avec le portail",
    .szJobRunning = "en cours depuis %1 s : %2 véhicules, %3 photos, %4",
    .szJobIdle = "aucune en cours, la dernière a duré %1 s",
    .szJobNone = "aucune effectuée",

    .szSlides = "Diapositives",
    .szSlidesValue = "%1 au catalogue, dont %2 affichées",
    .szPictures = "Emplacements d'images",
    .szPicturesValue = "%1 sur %2 utilisés",
    .szDaten = "Dossier Daten/",
    .szBilder = "Dossier Bilder/",
    .szFile = "%1 fichier",
    .szFiles = "%1 fichiers",
    .szWorkDir = "Dossier de travail",

    .szInterval = "Changement de diapositive",
    .szRunning = "toutes les %1 s, diaporama en marche",
    .szStopped = "toutes les %1 s, diaporama arrêté",
    .szShutdown = "Arrêt automatique",
    .szToday = "aujourd'hui à %1",
    .szTomorrow = "demain à %1",
    .szShutdownOff = "désactivé",
    .szTrace = "Journal zelvora.trace",
    .szOn = "activé",
    .szOff = "désactivé",

    .szServiceSlide = "Véhicule %1 sur %2",
    .szServiceNoSlides = "aucun véhicule",
    .szServiceSync = "Synchronisation %1 %2",
    .szServiceNoSync = "aucune synchronisation",

    .szKilobytes = "%1 ko",
    .szMegabytes = "%1 Mo",
    .cDecimal = ',',
    .bZeroIsSingular = true,
};

} // namespace

const StatusTexts& StatusTextsFor(int nSprache) {
    return nSprache == kFranzoesisch ? kTextsFr : kTextsDe;
}
