#include "sync/UsedSync.h"
#include "../catalogue/TraceCapture.h"
#include "../net/ScriptedServer.h"
#include "SyncFixture.h"
#include "catalogue/CacheText.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/PeakMemory.h"
#include "support/TestPhotos.h"
#include "sync/Portal.h"
#include "sync/ProxySettings.h"
#include "sync/SyncStatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <arpa/inet.h>
#include <netdb.h>

namespace {

constexpr char kStand1[] = "2024-05-01 10:00:00";
constexpr char kStand2[] = "2024-06-01 08:30:00";
const QString kAdresse = QStringLiteral("Motos Muster AG, Z\u00FCrich");

QStringList Names(const char* prefix, int nCount) {
    QStringList names;
    for (int i = 1; i <= nCount; ++i)
        names << QStringLiteral("%1_%2").arg(QLatin1String(prefix)).arg(i);
    return names;
}

// A record file as the portal writes it, lines 0 to 18.
QByteArray RecordText(const QByteArray& stand, const QByteArrayList& photos) {
    QByteArrayList lines(19);
    lines[0] = "AUREX alt";
    lines[3] = stand;
    for (int k = 0; k < photos.size(); ++k)
        lines[7 + k] = photos[k];
    return lines.join('\n') + '\n';
}

QByteArray Line(const QString& path, int n) {
    const auto lines = cache::SplitLines(CTempWorkDir::ReadFile(path));
    return n < std::ssize(lines) ? lines[n] : QByteArray();
}

bool Exists(const QString& path) {
    return QFileInfo::exists(path);
}

QStringList Entries(const char* folder) {
    return QDir(QString::fromLatin1(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class UsedSync : public CSyncFixture {
protected:
    // 40101 with three photos, 40102 with five; photo seeds 1 to 8 in that order.
    void WriteTwoRecords() {
        WriteOccasion(40101, QString::fromLatin1(kStand1), Names("40101", 3));
        WriteOccasion(40102, QString::fromLatin1(kStand1), Names("40102", 5));
        int nSeed = 0;
        for (const QString& name : Names("40101", 3) + Names("40102", 5))
            WriteOccasionPhoto(name + QStringLiteral(".jpg"), Photo(++nSeed));
    }
    static QStringList PhotoRequests(const QStringList& bases) {
        QStringList requests;
        for (const QString& base : bases)
            requests << PhotoRequest(base + QStringLiteral(".jpg"));
        return requests;
    }
};

// Every fault of the portal, on each kind of request: what failed keeps its previous file,
// nothing is half written, and the catalogue loads the same slides.
struct FaultTarget {
    const char* name;
    const char* pattern;
};
struct Fault {
    const char* name;
    const char* rule;
    SyncFailure failure;
};

// Answers with status 200 a proxy or a broken page may give, long enough to pass for a photo.
const std::string kLongPage = "body:<html><body>" + std::string(1200, 'w') + "</body></html>";
const std::string kZeroByte = "body:Motos%0A%00" + std::string(1200, 'z');

void PrintTo(const FaultTarget& target, std::ostream* os) {
    *os << target.name;
}
void PrintTo(const Fault& fault, std::ostream* os) {
    *os << fault.rule;
}

class UsedSyncFault : public UsedSync,
                      public ::testing::WithParamInterface<std::tuple<FaultTarget, Fault>> {};

} // namespace

TEST_F(UsedSync, FirstSyncFetchesListRecordsAndPhotosInOrderSecondAsksForTheListAlone) {
    WriteTwoRecords();
    CTraceCapture trace;
    SyncUsed();

    QStringList expected;
    expected << ListRequest() << RecordRequest(40101) << PhotoRequests(Names("40101", 3))
             << RecordRequest(40102) << PhotoRequests(Names("40102", 5));
    EXPECT_EQ(TakeRequests(), expected);
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Daten/SatzNrListeAktuell.txt")),
              "Motos Muster AG, Z\xFCrich\n"
              "40101;2024-05-01 10:00:00;40101_1.jpg;40101_2.jpg;40101_3.jpg;;\n"
              "40102;2024-05-01 10:00:00;40102_1.jpg;40102_2.jpg;40102_3.jpg;40102_4.jpg;"
              "40102_5.jpg\n");
    EXPECT_EQ(Line(QStringLiteral("Daten/satz_12_40101.txt"), 3), kStand1);
    EXPECT_EQ(Line(QStringLiteral("Daten/satz_12_40102.txt"), 11), "40102_5.jpg");
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/40101_1.jpg")), Photo(1));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/40102_5.jpg")), Photo(8));
    EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), kAdresse);
    EXPECT_EQ(m_store.m_strAdresse, kAdresse);
    ASSERT_EQ(m_store.m_nSatzNrCount, 2);
    EXPECT_EQ(m_store.m_satzNrList[2].nSatzNr, 40102);
    EXPECT_EQ(trace.Starting(QStringLiteral("UpdatePictureList")),
              (QStringList{QStringLiteral("UpdatePictureList"),
                           QStringLiteral("UpdatePictureList Fertig")}));
    SyncOutcome outcome = ReadSyncOutcome(SyncKind::Used);
    EXPECT_EQ(outcome.time, m_clock.m_now);
    EXPECT_EQ(outcome.failure, SyncFailure::None);
    EXPECT_EQ(outcome.nRequests, 11);
    EXPECT_GT(outcome.nBytes, 8 * 1000);
    EXPECT_EQ(Slides().size(), 2);

    const auto before = Snapshot();
    SyncUsed();
    EXPECT_EQ(TakeRequests(), QStringList{ListRequest()});
    EXPECT_EQ(Snapshot(), before);
    outcome = ReadSyncOutcome(SyncKind::Used);
    EXPECT_EQ(outcome.nRequests, 1);
    EXPECT_EQ(outcome.failure, SyncFailure::None);
}

TEST_F(UsedSync, ChangedRecordIsFetchedAgainButPhotosPresentAreNot) {
    WriteTwoRecords();
    SyncUsed();
    TakeRequests();

    WriteOccasion(40101, QString::fromLatin1(kStand2), Names("40101", 3));
    WriteOccasionPhoto(QStringLiteral("40101_1.jpg"), Photo(99));
    SyncUsed();
    EXPECT_EQ(TakeRequests(), (QStringList{ListRequest(), RecordRequest(40101)}));
    EXPECT_EQ(Line(QStringLiteral("Daten/satz_12_40101.txt"), 3), kStand2);
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/40101_1.jpg")), Photo(1));

    // A photo deleted by hand, or cut, comes back at the next run, its record unchanged.
    QFile::remove(QStringLiteral("Bilder/40101_2.jpg"));
    CTempWorkDir::WriteFile(QStringLiteral("Bilder/40101_3.jpg"), Photo(3).left(2000));
    SyncUsed();
    EXPECT_EQ(TakeRequests(),
              (QStringList{ListRequest(), PhotoRequest(QStringLiteral("40101_2.jpg")),
                           PhotoRequest(QStringLiteral("40101_3.jpg"))}));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/40101_2.jpg")), Photo(2));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/40101_3.jpg")), Photo(3));
}

TEST_F(UsedSync, PhotoRenamedInTheListIsReplacedUnderTheNewNameTheOldStays) {
    WriteOccasion(40101, QString::fromLatin1(kStand1),
                  {QStringLiteral("a1"), QStringLiteral("b"), QStringLiteral("c1")});
    WriteOccasionPhoto(QStringLiteral("b.jpg"), Photo(2));
    CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_12_40101.txt"),
                            RecordText(kStand1, {"a1.jpg", "a.jpg", "c1.jpg"}));
    int nSeed = 10;
    for (const char* name : {"Bilder/a1.jpg", "Bilder/a.jpg", "Bilder/b.jpg", "Bilder/c1.jpg"})
        CTempWorkDir::WriteFile(QString::fromLatin1(name), Photo(++nSeed));

    SyncUsed();
    EXPECT_EQ(TakeRequests(), (QStringList{ListRequest(), RecordRequest(40101),
                                           PhotoRequest(QStringLiteral("b.jpg"))}));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/b.jpg")), Photo(2));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/a.jpg")), Photo(12));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/a1.jpg")), Photo(11));
    EXPECT_EQ(Line(QStringLiteral("Daten/satz_12_40101.txt"), 8), "b.jpg");
}

TEST_F(UsedSync, RecordsThatLeftTheListOrBelongToAnotherDealerGoWithTheirPhotos) {
    WriteTwoRecords();
    SyncUsed();
    // Record 40101 of customer number 99, though 40101 is listed for 12.
    CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_99_40101.txt"),
                            RecordText(kStand1, {"alt99.jpg"}));
    CTempWorkDir::WriteFile(QStringLiteral("Bilder/alt99.jpg"), Photo(50));
    RemoveOccasion(40102);
    TakeRequests();

    SyncUsed();
    EXPECT_EQ(TakeRequests(), QStringList{ListRequest()});
    EXPECT_EQ(Entries(cache::kDaten), (QStringList{QStringLiteral("SatzNrListeAktuell.txt"),
                                                   QStringLiteral("satz_12_40101.txt")}));
    EXPECT_EQ(Entries(cache::kBilder),
              (QStringList{QStringLiteral("40101_1.jpg"), QStringLiteral("40101_2.jpg"),
                           QStringLiteral("40101_3.jpg")}));
}

TEST_F(UsedSync, RefusalOfAnyLengthChangesNothingAListOfTheAddressAloneEmptiesTheCache) {
    WriteTwoRecords();
    SyncUsed();
    const auto before = Snapshot();
    RemoveOccasion(40101);
    RemoveOccasion(40102);
    const std::time_t listed = m_clock.m_now;
    m_clock.m_now += 3600;

    // The address line alone: 98 characters and a line feed.
    WriteDealer(QStringLiteral("FEHLER: ") + QString(90, u'x'));
    SyncUsed();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), kAdresse);
    EXPECT_EQ(m_store.m_strAdresse, kAdresse);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::ErrorAnswer);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).successTime, listed) << "a refusal is no success";

    // 149 characters and a line feed: still a refusal.
    WriteDealer(QStringLiteral("FEHLER: ") + QString(141, u'x'));
    SyncUsed();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(m_store.m_strAdresse, kAdresse);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::ErrorAnswer);

    // An address and a line feed: the dealer has no used vehicle left.
    const QString neu = QStringLiteral("Motos Neu AG, Bern");
    WriteDealer(neu);
    SyncUsed();
    EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), neu);
    EXPECT_EQ(m_store.m_strAdresse, neu);
    EXPECT_EQ(Entries(cache::kDaten), QStringList{QStringLiteral("SatzNrListeAktuell.txt")});
    EXPECT_TRUE(Entries(cache::kBilder).isEmpty());
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::None);
}

TEST_F(UsedSync, PhotoNotLongerThan1000BytesIsAskedForAgainWithoutItsFirstCharacter) {
    const QString longName = QStringLiteral("z") + QString(35, u'l');
    WriteOccasion(40101, QString::fromLatin1(kStand1),
                  {QStringLiteral("x12345_1"), QStringLiteral("y12345_2"), longName,
                   QStringLiteral("w99_4")});
    WriteOccasionPhoto(QStringLiteral("x12345_1.jpg"), QByteArray(1000, 'j'));
    WriteOccasionPhoto(QStringLiteral("12345_1.jpg"), Photo(1));
    // A whole picture of 1001 bytes, padded after its end.
    QByteArray smallPhoto = MakePhoto(8, 8);
    smallPhoto += QByteArray(1001 - smallPhoto.size(), '\0');
    WriteOccasionPhoto(QStringLiteral("y12345_2.jpg"), smallPhoto);
    // The second try takes 30 characters from the second on.
    WriteOccasionPhoto(QString(30, u'l'), Photo(3));

    SyncUsed();
    EXPECT_EQ(TakeRequests(), (QStringList{ListRequest(), RecordRequest(40101),
                                           PhotoRequest(QStringLiteral("x12345_1.jpg")),
                                           PhotoRequest(QStringLiteral("12345_1.jpg")),
                                           PhotoRequest(QStringLiteral("y12345_2.jpg")),
                                           PhotoRequest(longName + QStringLiteral(".jpg")),
                                           PhotoRequest(QString(30, u'l')),
                                           PhotoRequest(QStringLiteral("w99_4.jpg")),
                                           PhotoRequest(QStringLiteral("99_4.jpg"))}));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/x12345_1.jpg")), Photo(1));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/y12345_2.jpg")), smallPhoto);
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/") + longName + QStringLiteral(".jpg")),
              Photo(3));
    EXPECT_EQ(Entries(cache::kBilder).size(), 3) << "nothing under the second name, no w99_4";
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::Status)
        << "only the photo missing under both names counts";
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).successTime, m_clock.m_now)
        << "the list came through: the data is fresh";

    // Missing under both names, it is asked for again at every run.
    SyncUsed();
    EXPECT_EQ(TakeRequests(), (QStringList{ListRequest(), PhotoRequest(QStringLiteral("w99_4.jpg")),
                                           PhotoRequest(QStringLiteral("99_4.jpg"))}));
}

TEST_F(UsedSync, PhotoNamesOfFourOrFiveCharactersAreAskedForOnceShorterOnesNever) {
    const std::string list = "Adresse\n40101;2024-05-01 10:00:00;abc;abcd;ab.jp;;x\n";
    const QByteArray record = RecordText(kStand1, {"abc", "abcd", "ab.jp", "", "x"});
    const auto ok = [](const std::string& body) {
        return ServerReply{"HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                           "\r\n\r\n" + body};
    };
    const ServerReply notFound{"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n"};
    CScriptedServer server({ok(list), ok(record.toStdString()), notFound, notFound});
    m_store.SetConnectionTarget("127.0.0.1", server.Port());

    SyncUsed();
    server.Join();
    QStringList firstLines;
    for (const std::string& request : server.Requests())
        firstLines << QString::fromStdString(request.substr(0, request.find("\r\n")));
    EXPECT_TRUE(firstLines[0].contains(QStringLiteral("fn=1&"))) << qPrintable(firstLines[0]);
    EXPECT_TRUE(firstLines[1].contains(QStringLiteral("fn=2&la=de&sn=40101&rm=1")));
    EXPECT_EQ(firstLines[2], "GET /kunden_occasionen/12/abcd HTTP/1.0");
    EXPECT_EQ(firstLines[3], "GET /kunden_occasionen/12/ab.jp HTTP/1.0");
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).nRequests, 4);
}

TEST_F(UsedSync, ThroughAProxyOrANameTheHostLineNamesThePortal) {
    WriteTwoRecords();
    ApplyConnectionTarget(m_store, {1, QStringLiteral("127.0.0.1"), m_portal.Port()});
    SyncUsed();
    EXPECT_EQ(TakeRequests().size(), 11) << "every one as expected, Host line included";

    // Without a proxy the portal host is looked up, once for the list and once for the rest.
    for (const char* name : {"Daten/satz_12_40101.txt", "Daten/satz_12_40102.txt"})
        QFile::remove(QString::fromLatin1(name));
    std::vector<std::string> asked;
    m_options.resolve = [&asked](const std::string& host, in_addr& address) {
        asked.push_back(host);
        return inet_pton(AF_INET, "127.0.0.1", &address) == 1 ? 0 : EAI_FAIL;
    };
    m_store.SetConnectionTarget(portal::kHost, m_portal.Port());
    SyncUsed();
    EXPECT_EQ(asked, (std::vector<std::string>{portal::kHost, portal::kHost}));
    EXPECT_EQ(TakeRequests(),
              (QStringList{ListRequest(), RecordRequest(40101), RecordRequest(40102)}));
}

TEST_F(UsedSync, FrenchAsksInFrench) {
    WriteOccasion(40101, QString::fromLatin1(kStand1), {});
    m_store.m_nSprache = 2;
    SyncUsed();
    EXPECT_EQ(TakeRequests(), (QStringList{ListRequest("fr"), RecordRequest(40101, "fr")}));
}

TEST_F(UsedSync, NoCredentialsNoNameOrNoConnectionChangeNothing) {
    WriteTwoRecords();
    SyncUsed();
    WriteOccasion(40101, QString::fromLatin1(kStand2), Names("40101", 3));
    RemoveOccasion(40102);
    TakeRequests();
    const auto before = Snapshot();

    m_options.resolve = [](const std::string&, in_addr&) {
        return EAI_NONAME;
    };
    m_store.SetConnectionTarget("portal.invalid", m_portal.Port());
    SyncUsed();
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::NameLookup);

    m_store.SetConnectionTarget("127.0.0.1", ClosedPort());
    SyncUsed();
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::Connect);
    EXPECT_EQ(m_store.m_strAdresse, kAdresse) << "reloaded from the setting";

    m_store.SetConnectionTarget("127.0.0.1", m_portal.Port());
    WriteProfileString(setting::kSection, setting::kCode, QString());
    SyncUsed();
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::NoCredentials);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).nRequests, 0);

    EXPECT_TRUE(TakeRequests().isEmpty());
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(UsedSync, NamesThatWouldLeaveTheCacheAreNeitherAskedForNorWrittenNorDeleted) {
    // Files a careless sync would reach: beside the cache folders and at an absolute path.
    CTempWorkDir::WriteFile(QStringLiteral("x.jpg"), "keep");
    QTemporaryDir elsewhere;
    const QString planted = elsewhere.filePath(QStringLiteral("planted"));
    CTempWorkDir::WriteFile(planted + QStringLiteral(".jpg"), "keep");
    const QStringList hostile{QStringLiteral("../x"), planted, QStringLiteral("a\\b"),
                              QStringLiteral("C:x"), QStringLiteral("a\u0001b")};
    WriteOccasion(40101, QString::fromLatin1(kStand1),
                  QStringList{QStringLiteral("40101_1")} + hostile.mid(0, 4));
    // A name too long for a request line is not sent; its second try is.
    WriteOccasion(40102, QString::fromLatin1(kStand1),
                  {hostile[4], QString(2500, u'n'), QStringLiteral("40102_3")});
    WriteOccasionPhoto(QStringLiteral("40101_1.jpg"), Photo(1));
    WriteOccasionPhoto(QStringLiteral("40102_3.jpg"), Photo(3));
    // The same names in a record that left the list and in a stale one that is listed.
    QByteArrayList hostileNames;
    for (const QString& name : hostile)
        hostileNames << cache::ToCp1252(name + QStringLiteral(".jpg"));
    CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_12_777.txt"),
                            RecordText(kStand1, hostileNames));
    CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_12_40101.txt"),
                            RecordText(kStand1, {"o1.jpg", "o2.jpg", "o3.jpg", "o4.jpg"}));

    SyncUsed();
    EXPECT_EQ(TakeRequests(), (QStringList{ListRequest(), RecordRequest(40101),
                                           PhotoRequest(QStringLiteral("40101_1.jpg")),
                                           RecordRequest(40102), PhotoRequest(QString(30, u'n')),
                                           PhotoRequest(QStringLiteral("40102_3.jpg"))}));
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("x.jpg")), "keep");
    EXPECT_EQ(CTempWorkDir::ReadFile(planted + QStringLiteral(".jpg")), "keep");
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("planted.jpg")});
    QStringList files;
    for (const auto& [path, bytes] : Snapshot())
        files << path;
    EXPECT_EQ(files, (QStringList{
                         QStringLiteral("Bilder/40101_1.jpg"), QStringLiteral("Bilder/40102_3.jpg"),
                         QStringLiteral("Daten/SatzNrListeAktuell.txt"),
                         QStringLiteral("Daten/satz_12_40101.txt"),
                         QStringLiteral("Daten/satz_12_40102.txt"), QStringLiteral("x.jpg")}));
}

TEST_F(UsedSync, ListFileThatCannotBeWrittenStillSyncsFromTheAnswer) {
    WriteTwoRecords();
    ASSERT_TRUE(QDir().mkpath(QStringLiteral("Daten/SatzNrListeAktuell.txt")));
    SyncUsed();
    EXPECT_EQ(TakeRequests().size(), 11);
    EXPECT_EQ(Slides().size(), 2);
}

TEST_F(UsedSync, ListOfMoreThan65536CharactersIsTakenWhole) {
    const QString stand = QStringLiteral("2024-05-01 10:00:00 ") + QString(2500, u's');
    for (int nSatzNr = 40101; nSatzNr <= 40130; ++nSatzNr)
        WriteOccasion(nSatzNr, stand, {});
    WriteOccasion(40130, stand, {QStringLiteral("40130_1")});
    WriteOccasionPhoto(QStringLiteral("40130_1.jpg"), Photo(1));

    SyncUsed();
    EXPECT_GT(CTempWorkDir::ReadFile(QStringLiteral("Daten/SatzNrListeAktuell.txt")).size(), 65536);
    EXPECT_EQ(m_store.m_nSatzNrCount, 30);
    EXPECT_EQ(TakeRequests().size(), 1 + 30 + 1);
    EXPECT_EQ(Slides().size(), 1);
    SyncUsed();
    EXPECT_EQ(TakeRequests(), QStringList{ListRequest()});
}

TEST_F(UsedSync, ListOfMillionsOfShortLinesIsParsedWithoutHoldingThemAll) {
    constexpr int kFillerMb = 16;
    // Numbers below 2 name no record on the portal: nothing is asked for.
    QByteArray list = "Adresse\n";
    for (int i = 1; list.size() < kFillerMb * 1024 * 1024; ++i)
        list += '-' + QByteArray::number(i) + ";\n";
    SyncOutcome outcome;
    const CPeakMemory peak;
    CUsedSync(m_store, m_options, outcome).ReadSatzNrList(list);
    EXPECT_EQ(m_store.m_nSatzNrCount, kSatzNrListSize - 1);
    EXPECT_EQ(m_store.m_strAdresse, "Adresse");
    // Every line held at once would take many times the list's size.
    EXPECT_LT(peak.GrowthMb(), 4 * kFillerMb);
}

TEST_F(UsedSync, PagesAndTextsThatAreNoListOrRecordKeepEveryCachedFile) {
    WriteTwoRecords();
    SyncUsed();
    TakeRequests();
    const QString record = QStringLiteral("Daten/satz_12_40101.txt");
    const QString otherStand =
        QStringLiteral("fn=2&=body:") +
        QString::fromLatin1(RecordText("2024-01-01 00:00:00", {"n.jpg"}).toPercentEncoding());
    int nDay = 10;
    for (const QString& rule :
         {QStringLiteral("fn=1&=type:text/html; charset%3Dutf-8"),
          QStringLiteral("fn=1&=encoding:gzip"),
          QStringLiteral("fn=1&=body:<!DOCTYPE html>%0A<html><body>Login</body></html>%0A"),
          QStringLiteral("fn=1&=body:Warning: mysql_connect() failed in /var/www/zelvora.php "
                         "on line 12%0A<br>%0A"),
          QStringLiteral("fn=1&=body:Motos%0A%00"), QStringLiteral("fn=2&=type:TEXT/HTML"),
          QStringLiteral("fn=2&=encoding:deflate"), otherStand}) {
        const QString stand = QStringLiteral("2024-07-%1 00:00:00").arg(++nDay);
        WriteOccasion(40101, stand, Names("40101", 3));
        const auto before = Snapshot();
        SetFault(rule);
        SyncUsed();
        EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, SyncFailure::ErrorAnswer)
            << qPrintable(rule);
        EXPECT_EQ(GetProfileString(setting::kSection, setting::kAdresse), kAdresse)
            << qPrintable(rule);
        EXPECT_EQ(CTempWorkDir::ReadFile(record), before.at(record)) << qPrintable(rule);
        EXPECT_EQ(Entries(cache::kBilder).size(), 8) << qPrintable(rule);
        SetFault({});
        SyncUsed();
        EXPECT_EQ(Line(record, 3), stand) << qPrintable(rule);
    }
    EXPECT_EQ(Slides().size(), 2);
}

TEST_F(UsedSync, CrLfLineEndsSyncAndShowAsLineFeedsDo) {
    WriteTwoRecords();
    SetFault(QStringLiteral("zelvora.php=crlf"));
    SyncUsed();
    EXPECT_EQ(TakeRequests().size(), 11);
    EXPECT_EQ(Entries(cache::kBilder).size(), 8);
    EXPECT_EQ(Slides().size(), 2);
    SyncUsed();
    EXPECT_EQ(TakeRequests(), QStringList{ListRequest()});
    EXPECT_EQ(Entries(cache::kBilder).size(), 8);
}

TEST_F(UsedSync, DuplicateAndOverflowingRecordNumbersAreLeftOut) {
    WriteOccasion(40101, QString::fromLatin1(kStand1), Names("40101", 1));
    WriteOccasionPhoto(QStringLiteral("40101_1.jpg"), Photo(1));
    SetFault(QStringLiteral("fn=1&=body:Motos%0A40101;2024-05-01 10:00:00;40101_1.jpg;;;;%0A"
                            "40101;2024-06-01 08:30:00;other.jpg;;;;%0A"
                            "4294967297;2024-05-01 10:00:00;40101_1.jpg;;;;%0A"));
    SyncUsed();
    EXPECT_EQ(TakeRequests(), (QStringList{ListRequest(), RecordRequest(40101),
                                           PhotoRequest(QStringLiteral("40101_1.jpg"))}));
    SyncUsed();
    EXPECT_EQ(TakeRequests(), QStringList{ListRequest()});
    EXPECT_EQ(Entries(cache::kBilder), QStringList{QStringLiteral("40101_1.jpg")});
    EXPECT_EQ(Slides().size(), 1);
}

TEST_F(UsedSync, APhotoStillShownByAnotherRecordOrTheNewVehiclesStays) {
    WriteOccasion(40101, QString::fromLatin1(kStand1),
                  {QStringLiteral("shared"), QStringLiteral("a")});
    WriteOccasion(40102, QString::fromLatin1(kStand1), {QStringLiteral("shared")});
    WriteOccasion(40103, QString::fromLatin1(kStand1),
                  {QStringLiteral("neu"), QStringLiteral("b")});
    for (const char* name : {"shared.jpg", "a.jpg", "neu.jpg", "b.jpg"})
        WriteOccasionPhoto(QString::fromLatin1(name), Photo(name[0]));
    SyncUsed();
    QByteArray neuFz = "<neufz>\n";
    for (int n = 1; n <= 26; ++n)
        neuFz += (n == 22 ? "neu.jpg\r" : "") + QByteArray("\n");
    CTempWorkDir::WriteFile(QStringLiteral("Daten/NeufahrzeugeListe.txt"), neuFz + "<neufz>\n");

    RemoveOccasion(40101);
    RemoveOccasion(40103);
    SyncUsed();
    EXPECT_EQ(Entries(cache::kBilder),
              (QStringList{QStringLiteral("neu.jpg"), QStringLiteral("shared.jpg")}));
    EXPECT_EQ(Slides().size(), 1);
}

TEST_F(UsedSync, ARecordHeldBackByAPhotoIsWrittenAtItsThirdRunInARow) {
    WriteTwoRecords();
    SyncUsed();
    WriteOccasion(40101, QString::fromLatin1(kStand2), Names("40101", 4));
    WriteOccasionPhoto(QStringLiteral("40101_4.jpg"), Photo(9));
    SetFault(QStringLiteral("40101_4=close-before-body"));
    const QString record = QStringLiteral("Daten/satz_12_40101.txt");
    for (int nRun = 1; nRun <= 2; ++nRun) {
        SyncUsed();
        EXPECT_EQ(Line(record, 3), kStand1) << nRun;
    }
    TakeRequests();
    const QStringList photoRequests{PhotoRequest(QStringLiteral("40101_4.jpg")),
                                    PhotoRequest(QStringLiteral("0101_4.jpg"))};
    SyncUsed();
    EXPECT_EQ(TakeRequests(), QStringList({ListRequest(), RecordRequest(40101)}) + photoRequests);
    EXPECT_EQ(Line(record, 3), kStand2);
    EXPECT_EQ(Slides().size(), 2);
    // Written, the record still asks for its photo at every run.
    SyncUsed();
    EXPECT_EQ(TakeRequests(), QStringList{ListRequest()} + photoRequests);

    // No answer to the first name, the photo under the shorter one: nothing is held back.
    WriteOccasion(40102, QString::fromLatin1(kStand2), {QStringLiteral("x40102_9")});
    WriteOccasionPhoto(QStringLiteral("40102_9.jpg"), Photo(10));
    SetFault(QStringLiteral("12/x40102_9=close-before-body"));
    SyncUsed();
    EXPECT_EQ(Line(QStringLiteral("Daten/satz_12_40102.txt"), 7), "x40102_9.jpg");
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/x40102_9.jpg")), Photo(10));
}

TEST_P(UsedSyncFault, KeepsTheLastGoodCache) {
    const auto& [target, fault] = GetParam();
    WriteOccasion(40101, QString::fromLatin1(kStand1), Names("40101", 2));
    WriteOccasion(40102, QString::fromLatin1(kStand1), Names("40102", 1));
    int nSeed = 0;
    for (const QString& name : Names("40101", 2) + Names("40102", 1))
        WriteOccasionPhoto(name + QStringLiteral(".jpg"), Photo(++nSeed));
    SyncUsed();
    const auto good = Snapshot();
    const QStringList slides = Slides();
    ASSERT_EQ(slides.size(), 2);

    // The portal changes one record and adds another.
    WriteOccasion(40101, QString::fromLatin1(kStand2), Names("40101", 2));
    WriteOccasion(40103, QString::fromLatin1(kStand1), Names("40103", 1));
    WriteOccasionPhoto(QStringLiteral("40103_1.jpg"), Photo(3));
    if (fault.failure == SyncFailure::TimeOut)
        m_options.nRequestTimeout = 1;
    SetFault(QString::fromLatin1(target.pattern) + u'=' + QString::fromLatin1(fault.rule));
    SyncUsed();

    auto after = Snapshot();
    const bool bNoAnswer = IsNoAnswer(fault.failure);
    EXPECT_EQ(ReadSyncOutcome(SyncKind::Used).failure, fault.failure);
    EXPECT_EQ(Slides(), slides);
    const QString list = QStringLiteral("Daten/SatzNrListeAktuell.txt");
    const QString changed = QStringLiteral("Daten/satz_12_40101.txt");
    const QString added = QStringLiteral("Daten/satz_12_40103.txt");
    if (QLatin1String(target.name) == "list") {
        EXPECT_EQ(after, good);
    } else if (QLatin1String(target.name) == "record") {
        EXPECT_NE(after[list], good.at(list));
        after[list] = good.at(list);
        EXPECT_EQ(after, good);
    } else {
        EXPECT_EQ(Line(changed, 3), kStand2);
        // A photo that got no answer may still come: its record is not written, so it stays
        // stale. One the portal refused will not, and the record is written without it.
        EXPECT_EQ(after.contains(added), !bNoAnswer);
        for (const QString& name : {list, changed, added})
            after.erase(name);
        auto goodRest = good;
        for (const QString& name : {list, changed})
            goodRest.erase(name);
        EXPECT_EQ(after, goodRest) << "no photo written";
    }

    SetFault({});
    m_options.nRequestTimeout = 5;
    SyncUsed();
    EXPECT_EQ(Line(changed, 3), kStand2);
    EXPECT_TRUE(Exists(added));
    // A refused photo is asked for again, though its record was written without it.
    EXPECT_EQ(CTempWorkDir::ReadFile(QStringLiteral("Bilder/40103_1.jpg")), Photo(3));
    EXPECT_EQ(Slides().size(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UsedSyncFault,
    ::testing::Combine(
        ::testing::Values(FaultTarget{"list", "fn=1&"}, FaultTarget{"record", "fn=2&"},
                          FaultTarget{"photo", "/kunden_occasionen/"}),
        ::testing::Values(Fault{"Latency", "delay:2500", SyncFailure::TimeOut},
                          Fault{"CloseBeforeBody", "close-before-body", SyncFailure::Connect},
                          Fault{"CutBody", "cut-body", SyncFailure::Connect},
                          Fault{"LongLength", "long-length", SyncFailure::Connect},
                          Fault{"Status", "status:503", SyncFailure::Status},
                          Fault{"Refusal", "fehler", SyncFailure::ErrorAnswer},
                          Fault{"Page", kLongPage.c_str(), SyncFailure::ErrorAnswer},
                          Fault{"ZeroByte", kZeroByte.c_str(), SyncFailure::ErrorAnswer},
                          Fault{"TwoLengths", "two-lengths", SyncFailure::Connect},
                          Fault{"HeaderOver8KB", "long-header:9000", SyncFailure::HeaderTooLong})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
    });
