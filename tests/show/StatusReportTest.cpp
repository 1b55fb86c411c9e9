// The status page's texts from a catalogue, the settings group "Status", the working folder
// and a fixed clock, in both languages.

#include "show/StatusReport.h"

#include "PortalData.h"
#include "PortalServer.h"
#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "support/TempWorkDir.h"
#include "support/UnwritableSettings.h"
#include "sync/CredentialStore.h"
#include "sync/PortalSyncSteps.h"
#include "sync/SyncStatus.h"

#include <QDir>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CFixedClock final : public IClock {
public:
    std::time_t Now() const override { return m_now; }
    std::time_t m_now = LocalTime(2026, 3, 10, 14, 0, 0);
};

constexpr int kDe = 1;
constexpr int kFr = 2;

class StatusReport : public ::testing::Test {
protected:
    StatusReport() {
        m_store.SetConnectionTarget("gateway.zelvora-portal.example", 80);
        m_store.m_strKundenNr = QStringLiteral("4711");
    }

    StatusPage Page(int nSprache, ShowState show = {true, 10000}) {
        m_store.m_nSprache = nSprache;
        return CStatusReport(m_store, m_clock).Page(show);
    }
    // The line with this label; fails the test when the page has none.
    StatusLine Line(int nSprache, const char* szLabel, ShowState show = {true, 10000}) {
        const QString label = QString::fromUtf8(szLabel);
        for (const StatusLine& line : Page(nSprache, show).lines) {
            if (line.strLabel == label)
                return line;
        }
        ADD_FAILURE() << "no line " << szLabel;
        return {};
    }
    QString Value(int nSprache, const char* szLabel, ShowState show = {true, 10000}) {
        return Line(nSprache, szLabel, show).strValue;
    }

    static void Record(SyncKind kind, SyncFailure failure, int nRequests = 0, qint64 nBytes = 0,
                       std::time_t time = LocalTime(2026, 3, 10, 13, 5, 9)) {
        SyncOutcome outcome;
        outcome.time = time;
        outcome.failure = failure;
        outcome.nRequests = nRequests;
        outcome.nBytes = nBytes;
        WriteSyncOutcome(kind, outcome);
    }

    CTempWorkDir m_dir;
    CSatzStore m_store;
    CFixedClock m_clock;
};

} // namespace

TEST_F(StatusReport, SuccessfulSyncsShowTimeRequestsAndMegabytes) {
    Record(SyncKind::Used, SyncFailure::None, 12, 3 * 1024 * 1024 + 512 * 1024);
    Record(SyncKind::NeuFz, SyncFailure::None, 3, 100 * 1024, LocalTime(2026, 3, 9, 8, 0, 0));

    const StatusLine used = Line(kDe, "Abgleich Occasionen");
    EXPECT_EQ(used.strValue,
              QString::fromUtf8("10.03.2026 13:05:09 – erfolgreich, 12 Anfragen, 3.5 MB"));
    EXPECT_FALSE(used.bWarning);
    EXPECT_EQ(Value(kDe, "Abgleich Neufahrzeuge"),
              QString::fromUtf8("09.03.2026 08:00:00 – erfolgreich, 3 Anfragen, 100 kB"));

    // Below a megabyte in whole kilobytes, rounded up.
    for (const auto& [nBytes, szSize] : {std::pair<qint64, const char*>{1, "1 kB"},
                                         {1024 * 1024 - 1, "1024 kB"},
                                         {1024 * 1024, "1.0 MB"}}) {
        Record(SyncKind::NeuFz, SyncFailure::None, 1, nBytes);
        EXPECT_TRUE(Value(kDe, "Abgleich Neufahrzeuge")
                        .endsWith(QStringLiteral(", 1 Anfrage, ") + QLatin1String(szSize)))
            << nBytes;
    }

    const StatusLine usedFr = Line(kFr, "Synchronisation occasions");
    EXPECT_EQ(usedFr.strValue,
              QString::fromUtf8("10.03.2026 13:05:09 – réussie, 12 requêtes, 3,5 Mo"));
    EXPECT_FALSE(usedFr.bWarning);
    EXPECT_TRUE(Value(kFr, "Synchronisation véhicules neufs")
                    .endsWith(QString::fromUtf8("réussie, 1 requête, 1,0 Mo")));
}

TEST_F(StatusReport, EveryRecordedFailureIsNamedAndMarked) {
    struct Case {
        SyncFailure failure;
        const char* szDe;
        const char* szFr;
    };
    const Case cases[] = {
        {SyncFailure::NameLookup, "Fehler: Servername nicht gefunden",
         "échec : nom du serveur introuvable"},
        {SyncFailure::Connect, "Fehler: keine Verbindung zum Server",
         "échec : pas de connexion au serveur"},
        {SyncFailure::TimeOut, "Fehler: Zeitüberschreitung", "échec : délai d'attente dépassé"},
        {SyncFailure::Status, "Fehler: unerwarteter HTTP-Status", "échec : statut HTTP inattendu"},
        {SyncFailure::ErrorAnswer, "Fehler: Portal lehnt ab (Kundennummer und Passwort prüfen)",
         "échec : refus du portail (vérifier No de client et mot de passe)"},
        {SyncFailure::NoCredentials, "nicht gelaufen: keine Kundennummer gespeichert",
         "non effectuée : aucun No de client enregistré"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szDe);
        Record(SyncKind::NeuFz, c.failure);
        const StatusLine de = Line(kDe, "Abgleich Neufahrzeuge");
        EXPECT_EQ(de.strValue,
                  QString::fromUtf8("10.03.2026 13:05:09 – ") + QString::fromUtf8(c.szDe))
            << "no request, so no transfer figures";
        EXPECT_TRUE(de.bWarning);
        const StatusLine fr = Line(kFr, "Synchronisation véhicules neufs");
        EXPECT_EQ(fr.strValue,
                  QString::fromUtf8("10.03.2026 13:05:09 – ") + QString::fromUtf8(c.szFr));
        EXPECT_TRUE(fr.bWarning);
    }

    Record(SyncKind::Used, SyncFailure::TimeOut, 4, 2 * 1024 * 1024);
    EXPECT_EQ(Value(kDe, "Abgleich Occasionen"),
              QString::fromUtf8("10.03.2026 13:05:09 – Fehler: Zeitüberschreitung, 4 Anfragen, "
                                "2.0 MB"))
        << "a run that broke off still tells what it moved";
}

TEST_F(StatusReport, NoRunOnRecordIsNoFailure) {
    const StatusLine de = Line(kDe, "Abgleich Occasionen");
    EXPECT_EQ(de.strValue, QStringLiteral("noch nie gelaufen"));
    EXPECT_FALSE(de.bWarning);
    EXPECT_EQ(Value(kFr, "Synchronisation véhicules neufs"), QString::fromUtf8("jamais effectuée"));
}

// The outcomes as the real sync records them: the demo portal on loopback refusing a wrong
// password, then gone.
TEST_F(StatusReport, WrongPasswordAndPortalDownAsTheSyncRecordsThem) {
    QTemporaryDir data;
    demoportal::CDataFile dealer;
    dealer.Add(QLatin1String(demoportal::key::kPasswort), QStringLiteral("richtig"));
    dealer.Add(QLatin1String(demoportal::key::kAdresse), QStringLiteral("Motos Muster AG"));
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("haendler")));
    {
        QFile file(data.filePath(QStringLiteral("haendler/4711.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(dealer.ToUtf8());
    }
    SaveCredentials(QStringLiteral("4711"), QStringLiteral("falsch"));
    demoportal::CPortalServer portal(data.path());
    ASSERT_TRUE(portal.Start());
    m_store.SetConnectionTarget("127.0.0.1", portal.Port());
    m_store.m_nSprache = kDe;
    SyncOptions options;
    options.nRequestTimeout = 5;
    options.nNeuFzListTimeout = 5;
    CPortalSync(m_store, options, m_clock).UpdatePictureList();

    StatusLine used = Line(kDe, "Abgleich Occasionen");
    EXPECT_EQ(used.strValue,
              QString::fromUtf8("10.03.2026 14:00:00 – Fehler: Portal lehnt ab (Kundennummer und "
                                "Passwort prüfen), 1 Anfrage, 1 kB"));
    EXPECT_TRUE(used.bWarning);

    portal.Stop();
    m_clock.m_now += 3600;
    CPortalSync(m_store, options, m_clock).UpdatePictureList();
    used = Line(kFr, "Synchronisation occasions");
    EXPECT_TRUE(used.strValue.startsWith(
        QString::fromUtf8("10.03.2026 15:00:00 – échec : pas de connexion au serveur")))
        << qPrintable(used.strValue);
    EXPECT_TRUE(used.bWarning);
    EXPECT_TRUE(Value(kDe, "Verbindung").endsWith(QString::fromUtf8(", über den Proxy")));
}

TEST_F(StatusReport, ThePasswordNeverAppears) {
    const QString password = QStringLiteral("Sesam-Geheim-2026");
    SaveCredentials(QStringLiteral("4711"), password);
    ASSERT_TRUE(FormPasswordDigest(m_store));
    ASSERT_FALSE(m_store.m_strPasswordDigest.isEmpty());
    Record(SyncKind::Used, SyncFailure::ErrorAnswer, 1, 40);
    for (const int nSprache : {kDe, kFr}) {
        const QString text = Page(nSprache).Text();
        EXPECT_TRUE(text.contains(QStringLiteral("4711")));
        EXPECT_FALSE(text.contains(password, Qt::CaseInsensitive)) << qPrintable(text);
        EXPECT_FALSE(
            text.contains(QString::fromLatin1(m_store.m_strPasswordDigest), Qt::CaseInsensitive))
            << "nor its digest";
    }
}

TEST_F(StatusReport, CustomerNumberOrItsAbsence) {
    EXPECT_EQ(Value(kDe, "Kundennummer"), QStringLiteral("4711"));
    EXPECT_EQ(Value(kFr, "No de client"), QStringLiteral("4711"));
    m_store.m_strKundenNr.clear();
    const StatusLine de = Line(kDe, "Kundennummer");
    EXPECT_EQ(de.strValue, QStringLiteral("keine gespeichert"));
    EXPECT_TRUE(de.bWarning);
    EXPECT_EQ(Value(kFr, "No de client"), QString::fromUtf8("aucun enregistré"));
}

TEST_F(StatusReport, ConnectionTargetAndWhetherThroughTheProxy) {
    EXPECT_EQ(Value(kDe, "Verbindung"),
              QStringLiteral("gateway.zelvora-portal.example:80, direkt zum Portal"));
    EXPECT_EQ(Value(kFr, "Connexion"),
              QStringLiteral("gateway.zelvora-portal.example:80, directe au portail"));
    m_store.SetConnectionTarget("10.0.0.8", 3128);
    EXPECT_EQ(Value(kDe, "Verbindung"), QString::fromUtf8("10.0.0.8:3128, über den Proxy"));
    EXPECT_EQ(Value(kFr, "Connexion"), QStringLiteral("10.0.0.8:3128, par le proxy"));
    m_store.SetConnectionTarget("gateway.zelvora-portal.example", 8080);
    EXPECT_EQ(Value(kDe, "Verbindung"),
              QString::fromUtf8("gateway.zelvora-portal.example:8080, über den Proxy"))
        << "the portal's name on another port is a proxy too";
}

TEST_F(StatusReport, SlidesInTheCatalogueThoseShownAndPictureSlots) {
    const char* brands[] = {"AUREX", "BALDO", "AUREX"};
    for (int n = 0; n < 3; ++n) {
        m_store.m_satz[n].nArt = 1;
        m_store.m_satz[n].strMarke = QString::fromLatin1(brands[n]);
    }
    m_store.m_nSatzCount = 3;
    m_store.m_nPictureCount = 7;
    m_store.m_bSatzLoaded = true;
    m_store.m_strMarkenOccAnzeigen = QStringLiteral("AUREX");

    const StatusLine slides = Line(kDe, "Folien");
    EXPECT_EQ(slides.strValue, QStringLiteral("3 im Katalog, 2 davon werden gezeigt"));
    EXPECT_FALSE(slides.bWarning);
    EXPECT_EQ(Value(kFr, "Diapositives"), QString::fromUtf8("3 au catalogue, dont 2 affichées"));
    EXPECT_EQ(Value(kDe, "Bildplätze"), QStringLiteral("7 von 5000 belegt"));
    EXPECT_EQ(Value(kFr, "Emplacements d'images"), QString::fromUtf8("7 sur 5000 utilisés"));

    m_store.m_nAnzeige = 1; // new vehicles only: none of these passes
    const StatusLine none = Line(kDe, "Folien");
    EXPECT_EQ(none.strValue, QStringLiteral("3 im Katalog, 0 davon werden gezeigt"));
    EXPECT_TRUE(none.bWarning) << "a loaded catalogue that shows nothing";
    m_store.m_bSatzLoaded = false;
    EXPECT_FALSE(Line(kDe, "Folien").bWarning) << "before the first load nothing is shown yet";
}

TEST_F(StatusReport, CacheFoldersByFilesAndMegabytes) {
    CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_1_1.txt"), QByteArray(1000, 'x'));
    CTempWorkDir::WriteFile(QStringLiteral("Daten/SatzNrListeAktuell.txt"), QByteArray(1100, 'x'));
    CTempWorkDir::WriteFile(QStringLiteral("Bilder/a.jpg"), QByteArray(3 * 512 * 1024, 'x'));
    ASSERT_TRUE(QDir(QStringLiteral("Bilder")).mkdir(QStringLiteral("sub")));

    EXPECT_EQ(Value(kDe, "Ordner Daten/"), QStringLiteral("2 Dateien, 3 kB"));
    EXPECT_EQ(Value(kDe, "Ordner Bilder/"), QStringLiteral("1 Datei, 1.5 MB"))
        << "folders are not files";
    EXPECT_EQ(Value(kFr, "Dossier Bilder/"), QStringLiteral("1 fichier, 1,5 Mo"));
    EXPECT_EQ(Value(kFr, "Dossier Daten/"), QStringLiteral("2 fichiers, 3 ko"));
    EXPECT_EQ(Value(kDe, "Arbeitsordner"), QDir::toNativeSeparators(m_dir.Path()));

    const FolderUsage bilder = MeasureFolder("Bilder");
    EXPECT_EQ(bilder.nFiles, 1);
    EXPECT_EQ(bilder.nBytes, 3 * 512 * 1024);
    ASSERT_TRUE(QDir(QStringLiteral("Daten")).removeRecursively());
    EXPECT_EQ(Value(kDe, "Ordner Daten/"), QStringLiteral("0 Dateien, 0 kB"))
        << "a missing folder is empty";
    EXPECT_EQ(Value(kFr, "Dossier Daten/"), QStringLiteral("0 fichier, 0 ko"));
}

TEST_F(StatusReport, IntervalAndWhetherTheShowAdvances) {
    EXPECT_EQ(Value(kDe, "Folienwechsel", {true, 10000}),
              QString::fromUtf8("alle 10 s, Show läuft"));
    EXPECT_EQ(Value(kDe, "Folienwechsel", {false, 3000}),
              QStringLiteral("alle 3 s, Show angehalten"));
    EXPECT_EQ(Value(kDe, "Folienwechsel", {false, 2500}),
              QStringLiteral("alle 2.5 s, Show angehalten"));
    EXPECT_EQ(Value(kFr, "Changement de diapositive", {true, 60000}),
              QStringLiteral("toutes les 60 s, diaporama en marche"));
    EXPECT_EQ(Value(kFr, "Changement de diapositive", {false, 2500}),
              QString::fromUtf8("toutes les 2,5 s, diaporama arrêté"));
}

TEST_F(StatusReport, NextScheduledShutdownOrOff) {
    EXPECT_EQ(Value(kDe, "Automatisches Ausschalten"), QStringLiteral("aus"));
    EXPECT_EQ(Value(kFr, "Arrêt automatique"), QString::fromUtf8("désactivé"));

    m_store.m_bShutDown = true;
    m_store.m_timeShutDown = LocalTime(2007, 12, 13, 18, 30, 0);
    struct Case {
        int nHour, nMinute, nSecond;
        const char* szDe;
        const char* szFr;
    };
    const Case cases[] = {
        {14, 0, 0, "heute um 18:30", "aujourd'hui à 18:30"},
        {18, 30, 29, "heute um 18:30", "aujourd'hui à 18:30"},
        {18, 30, 30, "morgen um 18:30", "demain à 18:30"},
        {23, 59, 0, "morgen um 18:30", "demain à 18:30"},
    };
    for (const Case& c : cases) {
        m_clock.m_now = LocalTime(2026, 3, 10, c.nHour, c.nMinute, c.nSecond);
        EXPECT_EQ(Value(kDe, "Automatisches Ausschalten"), QString::fromUtf8(c.szDe));
        EXPECT_EQ(Value(kFr, "Arrêt automatique"), QString::fromUtf8(c.szFr));
    }
}

TEST_F(StatusReport, VersionAndWhetherTheTraceIsOn) {
    EXPECT_EQ(Value(kDe, "Version"), QStringLiteral("1.30"));
    EXPECT_EQ(Value(kDe, "Protokoll zelvora.trace"), QStringLiteral("aus"));
    QLoggingCategory::setFilterRules(QStringLiteral("zelvora.trace.debug=true"));
    EXPECT_EQ(Value(kDe, "Protokoll zelvora.trace"), QStringLiteral("ein"));
    EXPECT_EQ(Value(kFr, "Journal zelvora.trace"), QString::fromUtf8("activé"));
    QLoggingCategory::setFilterRules(QString());
}

TEST_F(StatusReport, PlainTextInTheLanguageOfTheShow) {
    const QString de = Page(kDe).Text();
    EXPECT_TRUE(de.startsWith(QString::fromUtf8("Zelvora – Statusanzeige\nVersion: 1.30\n")))
        << qPrintable(de);
    EXPECT_TRUE(de.endsWith(QStringLiteral("\nEine beliebige Taste schliesst diese Anzeige.\n")));
    EXPECT_EQ(Page(0).Text(), de) << "German for any language but French";

    const QString fr = Page(kFr).Text();
    EXPECT_TRUE(fr.startsWith(QString::fromUtf8("Zelvora – État du système\nVersion : 1.30\n")))
        << qPrintable(fr);
    EXPECT_TRUE(fr.contains(QStringLiteral("\nNo de client : 4711\n")));
    EXPECT_TRUE(fr.endsWith(QStringLiteral("Appuyez sur une touche pour fermer cet affichage.\n")));
    EXPECT_EQ(Page(kDe).lines.size(), Page(kFr).lines.size());
}

TEST_F(StatusReport, ASkippedSettingsWriteIsShownUntilAWriteIsStored) {
    const auto labels = [&](int nSprache) {
        QStringList all;
        for (const StatusLine& line : Page(nSprache).lines)
            all << line.strLabel;
        return all;
    };
    const QStringList before = labels(kDe);
    {
        CUnwritableSettings unwritable;
        WriteProfileString("Settings", "LastUpdate", QString());
    }
    const StatusLine de = Line(kDe, "Einstellungen");
    EXPECT_EQ(de.strValue,
              QString::fromUtf8("Fehler: „LastUpdate“ nicht gespeichert (Datenträger voll?)"));
    EXPECT_TRUE(de.bWarning);
    EXPECT_EQ(Value(kFr, "Paramètres"),
              QString::fromUtf8("échec : « LastUpdate » non enregistré (disque plein ?)"));
    EXPECT_EQ(
        labels(kDe).indexOf(QStringLiteral("Einstellungen")),
        labels(kDe).indexOf(QString::fromUtf8("Letzter erfolgreicher Abgleich Neufahrzeuge")) + 1)
        << "after the syncs";

    WriteProfileString("Settings", "LastUpdate", QString());
    EXPECT_EQ(labels(kDe), before);
}

TEST_F(StatusReport, TheRunningJobWithItsProgressOrTheLastOnesDuration) {
    const auto job = [&](const JobState& state, int nSprache = kDe) {
        m_store.m_nSprache = nSprache;
        for (const StatusLine& line :
             CStatusReport(m_store, m_clock).Page({true, 10000}, state).lines)
            if (line.strLabel == QString::fromUtf8(nSprache == kDe
                                                       ? "Abgleich mit dem Portal"
                                                       : "Synchronisation avec le portail"))
                return line.strValue;
        return QStringLiteral("no line");
    };
    EXPECT_EQ(job({}), QStringLiteral("keiner gelaufen"));
    JobState running;
    running.bRunning = true;
    running.progress = {200, 12, 60, 3 * 1024 * 1024};
    running.nElapsedMs = 42500;
    EXPECT_EQ(job(running), QString::fromUtf8("läuft seit 42 s: 12 Fahrzeuge, 60 Fotos, 3.0 MB"));
    JobState ended;
    ended.nLastMs = 95250;
    EXPECT_EQ(job(ended), QStringLiteral("keiner läuft, der letzte dauerte 95.3 s"));
    EXPECT_EQ(job(ended, 2), QString::fromUtf8("aucune en cours, la dernière a duré 95,3 s"));

    const StatusPage panel = CStatusReport(m_store, m_clock).JobPage(running.progress);
    EXPECT_EQ(panel.Text(), QString::fromUtf8("Chargement des données du portail\n"
                                              "En cours : Synchronisation occasions\n"
                                              "Véhicules : 12 sur 200 chargés\n"
                                              "Photos chargées : 60\nReçu : 3,0 Mo\n\n"));
    running.progress.eSync = SyncKind::NeuFz;
    m_store.m_nSprache = kDe;
    EXPECT_EQ(CStatusReport(m_store, m_clock).JobPage(running.progress).lines[0].strValue,
              QStringLiteral("Abgleich Neufahrzeuge"))
        << "the used vehicles' counts are not the step that runs";
}
