#include "../catalogue/TraceCapture.h"
#include "../net/ScriptedServer.h"
#include "SyncFixture.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/PeakMemory.h"
#include "sync/SyncConstants.h"
#include "sync/SyncStatus.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kListe = QStringLiteral("Daten/NeufahrzeugeListe.txt");

class NeuFzSync : public CSyncFixture {
protected:
    static QString Standard(const char* path) {
        return Request(QStringLiteral("/standard_bilder/") + QLatin1String(path));
    }
    void SetMarken(const QString& marken) {
        WriteProfileString(setting::kSection, setting::kMarken, marken);
    }
};

} // namespace

TEST_F(NeuFzSync, FetchesEveryMissingPhotoUnderItsFlatNameThenOnlyTheList) {
    WriteNeuFz(QStringLiteral("5001"), QStringLiteral("AUREX"),
               {QStringLiteral("x/123"), QStringLiteral("x/124")});
    WriteNeuFz(QStringLiteral("5002"), QStringLiteral("BRAVO"),
               {QStringLiteral("y/200"), QString(), QStringLiteral("y/202")});
    int nSeed = 0;
    for (const char* path : {"x/123.jpg", "x/124.jpg", "y/200.jpg", "y/202.jpg"})
        WriteNeuFzPhoto(QString::fromLatin1(path), Photo(++nSeed));
    CTempWorkDir::WriteFile(QStringLiteral("Bilder/_standard_bilder_x_124.jpg"), Photo(50));
    SetMarken(QStringLiteral("AUREX,BRAVO"));

    CTraceCapture trace;
    SyncNeuFz();
    // Empty photo lines name nothing and are not asked for.
    EXPECT_EQ(TakeRequests(),
              (QStringList{NeuFzListRequest(QStringLiteral("AUREX,BRAVO")), Standard("x/123.jpg"),
                           Standard("y/200.jpg"), Standard("y/202.jpg")}));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/_standard_bilder_x_123.jpg")),
              Photo(1));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/_standard_bilder_x_124.jpg")),
              Photo(50));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/_standard_bilder_y_202.jpg")),
              Photo(4));
    const QByteArray list = CTempWorkDir::ReadFile(kListe);
    EXPECT_TRUE(list.startsWith("<neufz>\nAUREX\n")) << list.left(40).constData();
    EXPECT_TRUE(list.endsWith("\n<neufz>\n"));
    EXPECT_EQ(trace.Starting(QStringLiteral("UpdateNeuFzPictureList")),
              (QStringList{QStringLiteral("UpdateNeuFzPictureList"),
                           QStringLiteral("UpdateNeuFzPictureList fertig")}));
    SyncOutcome outcome = ReadSyncOutcome(SyncKind::NeuFz);
    EXPECT_EQ(outcome.failure, SyncFailure::None);
    EXPECT_EQ(outcome.nRequests, 4);
    EXPECT_EQ(outcome.time, m_clock.m_now);

    SyncNeuFz();
    EXPECT_EQ(TakeRequests(), QStringList{NeuFzListRequest(QStringLiteral("AUREX,BRAVO"))});
    EXPECT_EQ(ReadSyncOutcome(SyncKind::NeuFz).nRequests, 1);
}

TEST_F(NeuFzSync, BrandsGoIntoTheQueryAsStoredTheClientEscapesABlank) {
    WriteNeuFz(QStringLiteral("5001"), QStringLiteral("HARLEY DAVIDSON"), {});
    SyncNeuFz();
    EXPECT_EQ(TakeRequests(), QStringList{NeuFzListRequest(QString())});
    EXPECT_TRUE(CTempWorkDir::ReadFile(kListe).contains("HARLEY DAVIDSON"))
        << "no brands: every vehicle";

    SetMarken(QStringLiteral("HARLEY DAVIDSON,AUREX"));
    SyncNeuFz();
    m_store.m_nSprache = 2;
    SyncNeuFz();
    EXPECT_EQ(TakeRequests(),
              (QStringList{NeuFzListRequest(QStringLiteral("HARLEY%20DAVIDSON,AUREX")),
                           NeuFzListRequest(QStringLiteral("HARLEY%20DAVIDSON,AUREX"), "fr")}));
}

TEST_F(NeuFzSync, RecordsAreTakenUpAtTheDelimiterThatFollowsThemWithSlotsCarriedOver) {
    // "<neufz>", then lines 1 to nLines; line 22 names the photo tag when given.
    const auto record = [](int nLines, const std::string& tag = {}) {
        std::string lines = "<neufz>\n";
        for (int n = 1; n <= nLines; ++n)
            lines += (n == 22 && !tag.empty() ? "/standard_bilder/" + tag + ".jpg"
                      : n < 22                ? "line " + std::to_string(n)
                                              : std::string()) +
                     "\n";
        return lines;
    };
    // A full record; a short one that looks at its photo slots again (present by then); one
    // whose closing delimiter lands in a photo slot; and one that no delimiter closes.
    const std::string list = record(26, "a") + record(20) + record(21) + record(26, "b");
    const auto ok = [](const std::string& body) {
        return ServerReply{"HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                           "\r\n\r\n" + body};
    };
    CScriptedServer server({ok(list), ok(Photo(1).toStdString())});
    m_store.SetConnectionTarget("127.0.0.1", server.Port());
    SyncNeuFz();
    server.Join();
    EXPECT_EQ(ReadSyncOutcome(SyncKind::NeuFz).nRequests, 2);
    EXPECT_EQ(server.Requests()[1].substr(0, server.Requests()[1].find("\r\n")),
              "GET /standard_bilder/a.jpg HTTP/1.0");
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/_standard_bilder_a.jpg")), Photo(1));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("Bilder/_standard_bilder_b.jpg")));
}

TEST_F(NeuFzSync, FailedListKeepsThePreviousOneAndItsPhotosAreStillFetched) {
    WriteNeuFz(QStringLiteral("5001"), QStringLiteral("AUREX"), {QStringLiteral("x/123")});
    WriteNeuFzPhoto(QStringLiteral("x/123.jpg"), Photo(1));
    SyncNeuFz();
    const QByteArray list = CTempWorkDir::ReadFile(kListe);
    WriteNeuFz(QStringLiteral("5002"), QStringLiteral("AUREX"), {QStringLiteral("x/200")});
    WriteNeuFzPhoto(QStringLiteral("x/200.jpg"), Photo(2));
    const QString kept = QStringLiteral("Bilder/_standard_bilder_x_123.jpg");
    TakeRequests();

    // An answer that is no list: the previous list stays and its missing photos are fetched.
    m_options.nNeuFzListTimeout = 1;
    for (const auto& [rule, failure] :
         {std::pair{"status:503", SyncFailure::Status},
          std::pair{"delay:2500", SyncFailure::TimeOut},
          std::pair{"fehler", SyncFailure::ErrorAnswer},
          std::pair{"body:Wartungsarbeiten bis 18 Uhr%0A<neufz >%0A", SyncFailure::ErrorAnswer},
          std::pair{"body:<neufz>%0A<p>Wartung</p>%0A<neufz>%0A", SyncFailure::ErrorAnswer},
          // Cut short, so it would take the vehicle off the show.
          std::pair{"body:<neufz>%0AAUREX%0AModell 5002%0A<neufz>%0A", SyncFailure::ErrorAnswer},
          std::pair{"type:text/html", SyncFailure::ErrorAnswer},
          std::pair{"encoding:gzip", SyncFailure::ErrorAnswer}}) {
        QFile::remove(kept);
        SetFault(QStringLiteral("fn=101=") + QLatin1String(rule));
        SyncNeuFz();
        EXPECT_EQ(CTempWorkDir::ReadFile(kListe), list) << rule;
        EXPECT_EQ(TakeRequests(), (QStringList{NeuFzListRequest(QString()), Standard("x/123.jpg")}))
            << rule;
        EXPECT_TRUE(QFileInfo::exists(kept)) << rule;
        EXPECT_EQ(ReadSyncOutcome(SyncKind::NeuFz).failure, failure) << rule;
    }

    // No answer at all: nothing else is asked for.
    for (const char* rule : {"cut-body", "close-before-body", "long-length"}) {
        QFile::remove(kept);
        SetFault(QStringLiteral("fn=101=") + QLatin1String(rule));
        SyncNeuFz();
        EXPECT_EQ(CTempWorkDir::ReadFile(kListe), list) << rule;
        EXPECT_EQ(TakeRequests(), QStringList{NeuFzListRequest(QString())}) << rule;
        EXPECT_FALSE(QFileInfo::exists(kept)) << rule;
        EXPECT_EQ(ReadSyncOutcome(SyncKind::NeuFz).failure, SyncFailure::Connect) << rule;
    }
    WriteProfileString(setting::kSection, setting::kCode, QString());
    SyncNeuFz();
    EXPECT_TRUE(TakeRequests().isEmpty());
    EXPECT_EQ(ReadSyncOutcome(SyncKind::NeuFz).failure, SyncFailure::NoCredentials);
}

TEST_F(NeuFzSync, AGoodListIsKeptWhateverItsPhotosDidTheHourlyUpdateBringsThoseMissing) {
    WriteNeuFz(QStringLiteral("5001"), QStringLiteral("AUREX"),
               {QStringLiteral("x/123"), QStringLiteral("x/124"), QStringLiteral("x/125")});
    for (int n = 123; n <= 125; ++n)
        WriteNeuFzPhoto(QStringLiteral("x/%1.jpg").arg(n), Photo(n));
    const QString missing = QStringLiteral("Bilder/_standard_bilder_x_124.jpg");
    SetFault(QStringLiteral("x/124=close-before-body"));
    SyncNeuFz();
    EXPECT_TRUE(CTempWorkDir::ReadFile(kListe).contains("\n/standard_bilder/x/124.jpg\n"));
    EXPECT_FALSE(QFileInfo::exists(missing));
    // No answer: the portal is out of reach, the next photo is not asked for.
    EXPECT_EQ(TakeRequests().size(), 3);

    // The hourly update asks for the photos, not for the list; with nothing missing, for
    // nothing beyond its own list.
    SetFault({});
    SyncUsed();
    EXPECT_EQ(TakeRequests(),
              (QStringList{ListRequest(), Standard("x/124.jpg"), Standard("x/125.jpg")}));
    EXPECT_EQ(CTempWorkDir::ReadFile(missing), Photo(124));
    SyncUsed();
    EXPECT_EQ(TakeRequests(), QStringList{ListRequest()});
}

TEST_F(NeuFzSync, ListOfMoreThan65536CharactersWithOverlongLinesIsTakenWhole) {
    for (int i = 1; i <= 20; ++i)
        WriteNeuFz(QString::number(5000 + i), QStringLiteral("AUREX"), {}, QString(6000, u'f'));
    WriteNeuFz(QStringLiteral("5099"), QStringLiteral("AUREX"), {QStringLiteral("z/1")});
    WriteNeuFzPhoto(QStringLiteral("z/1.jpg"), Photo(1));
    SyncNeuFz();
    EXPECT_GT(CTempWorkDir::ReadFile(kListe).size(), 65536);
    EXPECT_EQ(TakeRequests(), (QStringList{NeuFzListRequest(QString()), Standard("z/1.jpg")}));
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral("Bilder/_standard_bilder_z_1.jpg")));
}

TEST_F(NeuFzSync, PreviousListOfMillionsOfShortLinesIsReadLineByLine) {
    constexpr int kFillerMb = 16;
    CTempWorkDir::WriteFile(kListe, QByteArray("x\n").repeated(kFillerMb * 1024 * 1024 / 2));
    SetFault(QStringLiteral("fn=101=fehler"));
    const CPeakMemory peak;
    SyncNeuFz();
    EXPECT_EQ(TakeRequests(), QStringList{NeuFzListRequest(QString())});
    // Every line held at once would take many times the list's size.
    EXPECT_LT(peak.GrowthMb(), 4 * kFillerMb);
}

TEST_F(NeuFzSync, PhotoPathsWhoseLocalNameWouldLeaveBilderAreNotAskedFor) {
    WriteNeuFz(QStringLiteral("5001"), QStringLiteral("AUREX"),
               {QStringLiteral("../../x"), QStringLiteral("a\\b"), QStringLiteral("C:x"),
                QStringLiteral("a\u0001b"), QStringLiteral("ok")});
    WriteNeuFzPhoto(QStringLiteral("ok.jpg"), Photo(1));
    SyncNeuFz();
    EXPECT_EQ(TakeRequests(), (QStringList{NeuFzListRequest(QString()), Standard("ok.jpg")}));
    QStringList files;
    for (const auto& [path, bytes] : Snapshot())
        files << path;
    EXPECT_EQ(files, (QStringList{QStringLiteral("Bilder/_standard_bilder_ok.jpg"), kListe}));
}

TEST_F(NeuFzSync, APortalWithoutTheListsPhotosCostsABoundedNumberOfRequestsPerRun) {
    const int nVehicles = portalsync::kMaxFailedPhotoRequests / kBilderProSatz + 4;
    for (int n = 0; n < nVehicles; ++n) {
        QStringList bilder;
        for (int k = 0; k < kBilderProSatz; ++k)
            bilder << QStringLiteral("m/%1_%2").arg(n).arg(k);
        WriteNeuFz(QString::number(6000 + n), QStringLiteral("AUREX"), bilder);
    }
    // Each run starts further on, so photos after those the portal lacks get their turn.
    QStringList firstAsked;
    for (int nRun = 0; nRun < 2; ++nRun) {
        SyncNeuFz();
        const QStringList requests = TakeRequests();
        EXPECT_EQ(requests.size(), 1 + portalsync::kMaxFailedPhotoRequests) << nRun;
        EXPECT_EQ(ReadSyncOutcome(SyncKind::NeuFz).failure, SyncFailure::Status);
        EXPECT_FALSE(firstAsked.contains(requests.value(1))) << nRun;
        firstAsked << requests.value(1);
    }
    // Hourly too, and booked to the new-vehicle sync alone.
    SyncUsed();
    EXPECT_EQ(TakeRequests().size(), 1 + portalsync::kMaxFailedPhotoRequests);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).nRequests, 1);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::NeuFz).nRequests, portalsync::kMaxFailedPhotoRequests);
}
