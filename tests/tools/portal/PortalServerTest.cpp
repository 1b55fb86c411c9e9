#include "PortalServer.h"
#include "PortalAnswers.h"
#include "PortalTestSupport.h"

#include "catalogue/CacheText.h"
#include "sync/Portal.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <httplib.h>
#include <thread>

using namespace demoportal;

namespace {

const QByteArray kDemoDigest = "FE01CE2A7FBAC8FAFAED7C982A04E229"; // MD5 of "demo"

QByteArray Gateway(const QByteArray& query) {
    return QByteArray(portal::kGatewayPath) + "zelvora.php?" + query;
}

QByteArray ListQuery(const char* la, int rm, const QByteArray& digest = kDemoDigest,
                     int kn = 12345) {
    return Gateway("ap=" + digest + "&fn=1&la=" + la + "&kn=" + QByteArray::number(kn) +
                   "&rm=" + QByteArray::number(rm));
}

QByteArray NeuFzQuery(const QByteArray& ma, const QByteArray& extra = {}) {
    return Gateway("ap=" + kDemoDigest + "&fn=101&la=de&kn=12345&ma=" + ma + extra);
}

// Bytes that pass for a photo: the server never looks inside.
QByteArray Photo(char fill) {
    return QByteArray(3000, fill) + "end";
}

bool IsRefusal(const RawAnswer& answer) {
    return answer.nStatus == 200 && answer.body.size() < 100 && answer.body.contains("FEHLER");
}

class PortalServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        CDataFile dealer;
        dealer.Add("passwort", "demo");
        dealer.Add("adresse", "Demo Motos AG, 8000 Zürich", "Démo Motos SA, 8000 Zurich");
        Write("haendler/12345.txt", dealer);
        CDataFile other;
        other.Add("passwort", "Grüezi");
        other.Add("adresse", "Rüegg Zweirad GmbH");
        Write("haendler/777.txt", other);

        Write("occasionen/12345/40101.txt", Occasion("2024-05-01 10:00:00", {"40101_1"}));
        Write("occasionen/12345/40102.txt",
              Occasion("2024-05-02 11:00:00", {"40102_1", "40102_2"}));
        Write("occasionen/777/50001.txt", Occasion("2024-06-01 09:00:00", {"50001_1"}));
        Write("neufahrzeuge/5001.txt", NeuFz("AUREX", "aurex/5001_1"));
        Write("neufahrzeuge/5002.txt", NeuFz("BALTRO", "baltro/5002_1"));
        Write("neufahrzeuge/5003.txt", NeuFz("CORVELLO", "corvello/5003_1"));
        WriteDataFile(Root(), "kunden_occasionen/12345/40101_1.jpg", Photo('a'));
        WriteDataFile(Root(), "kunden_occasionen/12345/40101_1_xl.jpg", Photo('b'));
        WriteDataFile(Root(), "standard_bilder/aurex/5001_1.jpg", Photo('c'));
        WriteDataFile(Root(), "standard_bilder/aurex/5001_1_xl.jpg", Photo('d'));

        m_server = std::make_unique<CPortalServer>(Root());
        ASSERT_TRUE(m_server->Start());
        m_nPort = m_server->Port();
        ASSERT_GT(m_nPort, 0);
    }

    void TearDown() override { m_server->Stop(); }

    static CDataFile Occasion(const char* stand, const QStringList& bilder) {
        CDataFile data;
        data.Add("titel", "Aurex Strada 890");
        data.Add("stand", stand);
        for (const QString& bild : bilder)
            data.Add("bild", bild);
        data.Add("zubehoer", "Heizgriffe", "Poignées chauffantes");
        return data;
    }
    static CDataFile NeuFz(const char* marke, const char* bild) {
        CDataFile data;
        data.Add("marke", marke);
        data.Add("modell", "Strada 890");
        data.Add("bild", bild);
        return data;
    }

    QString Root() const { return m_dir.path(); }
    void Write(const QString& relative, const CDataFile& data) const {
        WriteDataFile(Root(), relative, data);
    }
    RawAnswer Get(const QByteArray& target, const QByteArray& extraHeaders = {}) const {
        return RawGet(m_nPort, target, extraHeaders);
    }
    void SetFaults(std::initializer_list<const char*> ruleTexts) {
        PortalConfig config;
        for (const char* ruleText : ruleTexts)
            config.faults.push_back(*ParseFaultRule(ruleText));
        m_server->SetConfig(config);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CPortalServer> m_server;
    int m_nPort = 0;
};

} // namespace

TEST_F(PortalServerTest, RecordListAnswersInTheLanguageAndLayoutModeAfterALogin) {
    const RawAnswer de = Get(ListQuery("de", 1));
    ASSERT_EQ(de.nStatus, 200);
    EXPECT_EQ(de.body, "Demo Motos AG, 8000 Z\xFCrich\n"
                       "40101;2024-05-01 10:00:00;40101_1.jpg;;;;\n"
                       "40102;2024-05-02 11:00:00;40102_1.jpg;40102_2.jpg;;;\n");

    const RawAnswer fr = Get(ListQuery("fr", 2));
    const auto lines = cache::SplitLines(fr.body);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "D\xE9mo Motos SA, 8000 Zurich");
    EXPECT_EQ(lines[2], "40102;2024-05-02 11:00:00;40102_1_xl.jpg;40102_2_xl.jpg;;;");

    EXPECT_TRUE(IsRefusal(Get(ListQuery("de", 1, "FE01CE2A7FBAC8FAFAED7C982A04E228"))));
    EXPECT_TRUE(IsRefusal(Get(ListQuery("de", 1, kDemoDigest, 12346))));
    EXPECT_TRUE(IsRefusal(Get(Gateway("fn=1&la=de&kn=12345&rm=1"))));
    EXPECT_TRUE(IsRefusal(Get(ListQuery("de", 1, kDemoDigest, 0))));

    // The password's digest is taken over its Windows-1252 bytes, not over UTF-8.
    const RawAnswer other =
        Get(ListQuery("de", 1, PasswordDigest(QString::fromUtf8("Grüezi")), 777));
    EXPECT_TRUE(other.body.startsWith("R\xFC"
                                      "egg Zweirad GmbH\n50001;"));
    const QByteArray utf8Digest =
        QCryptographicHash::hash(QString::fromUtf8("Grüezi").toUtf8(), QCryptographicHash::Md5)
            .toHex()
            .toUpper();
    EXPECT_TRUE(IsRefusal(Get(ListQuery("de", 1, utf8Digest, 777))));
}

TEST_F(PortalServerTest, RecordFilesAndPhotosAreServedByNumberAndName) {
    const RawAnswer record = Get(Gateway("fn=2&la=fr&sn=40102&rm=2"));
    ASSERT_EQ(record.nStatus, 200);
    const auto lines = cache::SplitLines(record.body);
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[3], "2024-05-02 11:00:00");
    EXPECT_EQ(lines[7], "40102_1_xl.jpg");
    EXPECT_EQ(lines[8], "40102_2_xl.jpg");
    EXPECT_EQ(lines[20], "Poign\xE9"
                         "es chauffantes");
    EXPECT_EQ(Get(Gateway("fn=2&la=de&sn=50001&rm=1")).nStatus, 200) << "any dealer's record";

    EXPECT_EQ(Get(Gateway("fn=2&la=de&sn=40199&rm=1")).nStatus, 404);
    EXPECT_EQ(Get(Gateway("fn=2&la=de&rm=1")).nStatus, 404);
    EXPECT_EQ(Get(Gateway("fn=7&la=de&rm=1")).nStatus, 400);
    EXPECT_EQ(Get("/wsgateway/zelvora/anders.php?fn=2&sn=40101").nStatus, 404);

    EXPECT_EQ(Get("/kunden_occasionen/12345/40101_1.jpg").body, Photo('a'));
    EXPECT_EQ(Get("/kunden_occasionen/12345/40101_1_xl.jpg").body, Photo('b'));
    EXPECT_EQ(Get("/standard_bilder/aurex/5001_1.jpg").body, Photo('c'));
    for (const char* refused :
         {"/kunden_occasionen/12345/0101_1.jpg", "/kunden_occasionen/777/40101_1.jpg",
          "/kunden_occasionen/12345/%2e%2e/%2e%2e/haendler/12345.txt",
          "/kunden_occasionen/12345/../../haendler/12345.txt", "/haendler/12345.txt",
          "/occasionen/12345/40101.txt"}) {
        const RawAnswer answer = Get(refused);
        EXPECT_EQ(answer.nStatus, 404) << refused;
        EXPECT_FALSE(answer.body.contains("passwort")) << refused;
    }
}

TEST_F(PortalServerTest, NewVehicleListFiltersBrandsAndFollowsTheDealersLayoutMode) {
    const auto records = [&](const QByteArray& target) {
        const RawAnswer answer = Get(target);
        EXPECT_EQ(answer.nStatus, 200);
        EXPECT_TRUE(answer.body.endsWith("<neufz>\n"));
        return answer.body.count("<neufz>\n") - 1;
    };
    EXPECT_EQ(records(NeuFzQuery("AUREX")), 1);
    EXPECT_EQ(records(NeuFzQuery("AUREX,CORVELLO")), 2);
    EXPECT_EQ(records(NeuFzQuery("HONDA")), 0);
    EXPECT_EQ(records(NeuFzQuery("")), 3) << "no brand named: every brand";

    EXPECT_TRUE(Get(NeuFzQuery("AUREX")).body.contains("\n/standard_bilder/aurex/5001_1.jpg\n"))
        << "layout mode 1 before any record list";
    Get(ListQuery("de", 2));
    const QByteArray large = Get(NeuFzQuery("AUREX")).body;
    EXPECT_TRUE(large.contains("\n/standard_bilder/aurex/5001_1_xl.jpg\n"));
    EXPECT_TRUE(Get(NeuFzQuery("AUREX", "&rm=1")).body.contains("/5001_1.jpg\n"));
    EXPECT_EQ(Get("/standard_bilder/aurex/5001_1_xl.jpg").body, Photo('d'));

    EXPECT_TRUE(IsRefusal(Get(Gateway("ap=" + kDemoDigest + "&fn=101&la=de&kn=777&ma=AUREX"))));
}

TEST_F(PortalServerTest, DataChangesShowAtTheNextRequest) {
    EXPECT_TRUE(Get(ListQuery("de", 1)).body.contains("40101;2024-05-01 10:00:00;"));
    Write("occasionen/12345/40101.txt", Occasion("2024-07-01 12:00:00", {"40101_1", "40101_9"}));
    QFile::remove(Root() + "/occasionen/12345/40102.txt");

    const RawAnswer list = Get(ListQuery("de", 1));
    EXPECT_TRUE(list.body.endsWith("\n40101;2024-07-01 12:00:00;40101_1.jpg;40101_9.jpg;;;\n"));
    EXPECT_FALSE(list.body.contains("40102"));
    EXPECT_EQ(cache::SplitLines(Get(Gateway("fn=2&la=de&sn=40101&rm=1")).body)[8], "40101_9.jpg");
    EXPECT_EQ(Get(Gateway("fn=2&la=de&sn=40102&rm=1")).nStatus, 404);
}

TEST_F(PortalServerTest, EveryAnswerHasItsContentLengthAndClosesAfterAnHttp10Request) {
    const QByteArray offers = "Accept-Encoding: gzip, deflate, br\r\n";
    for (const QByteArray& target :
         {ListQuery("de", 1), Gateway("fn=2&la=de&sn=40101&rm=1"), NeuFzQuery("AUREX"),
          QByteArray("/kunden_occasionen/12345/40101_1.jpg"), QByteArray("/fehlt"),
          ListQuery("de", 1, "falsch")}) {
        const RawAnswer answer = Get(target, offers);
        EXPECT_NE(answer.nStatus, 0) << target.constData();
        EXPECT_EQ(answer.nContentLength, answer.body.size()) << target.constData();
        EXPECT_FALSE(answer.head.toLower().contains("transfer-encoding")) << target.constData();
        EXPECT_FALSE(answer.head.toLower().contains("content-encoding")) << target.constData();
        EXPECT_TRUE(answer.head.contains("\r\nContent-Length: ")) << target.constData();
    }

    WriteDataFile(Root(), "kunden_occasionen/12345/leer.jpg", QByteArray());
    const RawAnswer empty = Get("/kunden_occasionen/12345/leer.jpg");
    EXPECT_EQ(empty.nStatus, 200);
    EXPECT_EQ(empty.nContentLength, 0);

    httplib::Client client("127.0.0.1", m_nPort);
    const auto result = client.Get(ListQuery("de", 1).constData());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(QByteArray::fromStdString(result->body), Get(ListQuery("de", 1)).body)
        << "HTTP/1.1 gets the same answer";
}

TEST_F(PortalServerTest, RequestLogNamesMethodTargetAndHostOfEveryRequest) {
    const QString logFile = Root() + "/anfragen.log";
    PortalConfig config;
    config.strLogFile = logFile;
    m_server->SetConfig(config);

    Get(ListQuery("de", 1));
    Get("/kunden_occasionen/12345/fehlt.jpg");
    const QStringList expected = {
        "GET " + ListQuery("de", 1) + " Host: gateway.zelvora-portal.example",
        "GET /kunden_occasionen/12345/fehlt.jpg Host: gateway.zelvora-portal.example"};
    EXPECT_EQ(m_server->Requests(), expected);
    QFile log(logFile);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), expected.join('\n').toLatin1() + '\n');

    m_server->SetConfig({});
    Get(Gateway("fn=2&la=de&sn=40101&rm=1"));
    EXPECT_EQ(m_server->Requests().size(), 3);
    log.seek(0);
    EXPECT_EQ(log.readAll().count('\n'), 2) << "no log file: nothing appended";

    config.bKeepRequests = false;
    m_server->SetConfig(config);
    m_server->ClearRequests();
    Get(ListQuery("de", 1));
    EXPECT_TRUE(m_server->Requests().isEmpty()) << "a portal that serves for weeks keeps none";
    log.seek(0);
    EXPECT_EQ(log.readAll().count('\n'), 3) << "the log file still gets every one";
}

TEST_F(PortalServerTest, EachFaultShapesOnlyTheAnswersItsPatternMatches) {
    const QByteArray photo = "/kunden_occasionen/12345/40101_1.jpg";
    const qsizetype size = Photo('a').size();

    SetFaults({"/kunden_occasionen/*=close-before-body"});
    RawAnswer answer = Get(photo);
    EXPECT_EQ(answer.nStatus, 200);
    EXPECT_EQ(answer.nContentLength, size);
    EXPECT_EQ(answer.body, QByteArray());
    EXPECT_EQ(Get(ListQuery("de", 1)).nContentLength, Get(ListQuery("de", 1)).body.size())
        << "the gateway is not matched";

    SetFaults({"40101_1=cut-body"});
    answer = Get(photo);
    EXPECT_EQ(answer.nContentLength, size);
    EXPECT_EQ(answer.body, Photo('a').left(size / 2));

    SetFaults({"*.jpg=long-length"});
    answer = Get(photo);
    EXPECT_EQ(answer.nContentLength, size + kLongLengthExtra);
    EXPECT_EQ(answer.body, Photo('a'));

    SetFaults({"fn=1=status:503"});
    EXPECT_EQ(Get(ListQuery("de", 1)).nStatus, 503);
    EXPECT_EQ(Get(photo).body, Photo('a'));

    SetFaults({"fn=2=fehler", "fn=2=status:500"});
    EXPECT_TRUE(IsRefusal(Get(Gateway("fn=2&la=de&sn=40101&rm=1"))))
        << "the first matching rule shapes the answer";

    m_server->SetConfig({});
    EXPECT_EQ(Get(photo).body, Photo('a'));
}

TEST_F(PortalServerTest, AnswersCanLoseTheirLengthOrTakeABodyATypeOrCrLf) {
    SetFaults({"40101_1=no-length"});
    RawAnswer answer = Get("/kunden_occasionen/12345/40101_1.jpg");
    EXPECT_EQ(answer.nContentLength, -1);
    EXPECT_EQ(answer.body, Photo('a')) << "the close ends the body";
    SetFaults({"40101_1=cut-no-length"});
    answer = Get("/kunden_occasionen/12345/40101_1.jpg");
    EXPECT_EQ(answer.nContentLength, -1);
    EXPECT_EQ(answer.body, Photo('a').left(Photo('a').size() / 2));
    SetFaults({"fn=1=body:<html>%3D%0D%0A%00x"});
    EXPECT_EQ(Get(ListQuery("de", 1)).body, QByteArray("<html>=\r\n\0x", 11));
    SetFaults({"fn=1=type:text/html; charset%3Dutf-8"});
    EXPECT_TRUE(Get(ListQuery("de", 1)).head.contains("Content-Type: text/html; charset=utf-8\r"));
    SetFaults({"fn=1=crlf"});
    const QByteArray list = Get(ListQuery("de", 1)).body;
    EXPECT_EQ(list.count("\r\n"), list.count('\n'));
    for (const char* bad : {"x=body", "x=type:", "x=encoding:a%0Db", "x=crlf:1"})
        EXPECT_FALSE(ParseFaultRule(QString::fromLatin1(bad))) << bad;
}

TEST_F(PortalServerTest, DelayHoldsTheAnswerBackAndStopCutsItShort) {
    SetFaults({"fn=2=delay:60000"});
    httplib::Client client("127.0.0.1", m_nPort);
    client.set_read_timeout(std::chrono::milliseconds(300));
    EXPECT_TRUE(client.Get(ListQuery("de", 1).constData())) << "other targets answer at once";
    EXPECT_FALSE(client.Get(Gateway("fn=2&la=de&sn=40101&rm=1").constData()));

    // A request waiting in its delay does not keep the server from stopping.
    std::thread waiting([port = m_nPort] { RawGet(port, Gateway("fn=2&la=de&sn=40102&rm=1")); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!m_server->Requests().join('\n').contains("sn=40102") &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(m_server->Requests().join('\n').contains("sn=40102"));
    m_server->Stop();
    waiting.join();
    EXPECT_EQ(m_server->Port(), 0);
}

TEST_F(PortalServerTest, StartsOncePerPortAndAgainAfterStop) {
    EXPECT_FALSE(m_server->Start()) << "running already";
    CPortalServer second(Root());
    EXPECT_FALSE(second.Start("127.0.0.1", m_nPort)) << "the port is taken";
    EXPECT_FALSE(second.Start("192.0.2.1", 0)) << "not an address of this machine";
    EXPECT_EQ(second.Port(), 0);

    m_server->Stop();
    m_server->Stop();
    EXPECT_EQ(m_server->Port(), 0);
    ASSERT_TRUE(m_server->Start());
    m_nPort = m_server->Port();
    EXPECT_EQ(Get(ListQuery("de", 1)).nStatus, 200);
    EXPECT_EQ(m_server->Requests().size(), 1) << "the log starts afresh";
}
