#include "PortalAnswers.h"
#include "PortalData.h"
#include "PortalTestSupport.h"

#include "catalogue/CacheText.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace demoportal;

namespace {

CDataFile Record() {
    return CDataFile::Parse("# a used vehicle\n"
                            "titel=Aurex Strada 890\n"
                            "info=Jahrgang 2019\n"
                            "info.fr=Année 2019\n"
                            "preis=8900\n"
                            "stand=2024-05-01 10:00:00\r\n"
                            "\n"
                            "inverkehrsetzung=05.2019\n"
                            "km=12500\n"
                            "bild=40101_1\n"
                            "bild=\n"
                            "bild=40101_3\n"
                            "zusatz.de=ab MFK\n"
                            "zusatz.fr=expertisée\n"
                            "leistung=98\n"
                            "zustand=2\n"
                            "rate=189.50\n"
                            "kat=6\n"
                            "marke=AUREX\n"
                            "zubehoer.de=Heizgriffe\n"
                            "zubehoer.de=Sturzbügel\n"
                            "zubehoer.fr=Kit d’éclairage\n");
}

CDataFile NeuFz(const char* marke, const char* bild) {
    CDataFile data;
    data.Add("marke", marke);
    data.Add("modell", "Strada 890");
    data.Add("preis", "12990");
    data.Add("kat", "6");
    data.Add("hubraum", "890");
    data.Add("getriebe", "6-Gang", "6 vitesses");
    data.Add("sitzhoehe", "810");
    data.Add("rate", "223.97");
    data.Add("farben", "rot grün", "rouge vert");
    data.Add("bild", bild);
    return data;
}

std::vector<QByteArray> Lines(const QByteArray& text) {
    EXPECT_TRUE(text.endsWith('\n'));
    return cache::SplitLines(text);
}

} // namespace

TEST(PortalDataFile, LanguageValuesWinOverPlainOnesAndListsKeepTheirOrder) {
    const CDataFile data = Record();
    EXPECT_EQ(data.Value("titel", Sprache::Fr), "Aurex Strada 890");
    EXPECT_EQ(data.Value("info", Sprache::De), "Jahrgang 2019");
    EXPECT_EQ(data.Value("info", Sprache::Fr), QString::fromUtf8("Année 2019"));
    EXPECT_EQ(data.Value("stand"), "2024-05-01 10:00:00") << "the carriage return is dropped";
    EXPECT_EQ(data.Value("fehlt"), QString());
    EXPECT_EQ(data.Values("bild"), QStringList({"40101_1", "", "40101_3"}));
    EXPECT_EQ(data.Values("zubehoer", Sprache::De),
              QStringList({"Heizgriffe", QString::fromUtf8("Sturzbügel")}));
    EXPECT_EQ(data.Values("zubehoer", Sprache::Fr),
              QStringList({QString::fromUtf8("Kit d’éclairage")}));

    const CDataFile again = CDataFile::Parse(data.ToUtf8() + "kaputt\n=ohne Schluessel\na=b=c\n");
    EXPECT_EQ(again.Values("zubehoer", Sprache::De), data.Values("zubehoer", Sprache::De));
    EXPECT_EQ(again.Value("a"), "b=c");
    EXPECT_EQ(again.Value(""), QString());
}

TEST(PortalAnswers, PasswordDigestIsTheMd5OfTheWindows1252Bytes) {
    EXPECT_EQ(PasswordDigest("demo"), "FE01CE2A7FBAC8FAFAED7C982A04E229");
    EXPECT_EQ(PasswordDigest(QString::fromUtf8("Grüezi")),
              QCryptographicHash::hash("Gr\xFC"
                                       "ezi",
                                       QCryptographicHash::Md5)
                  .toHex()
                  .toUpper());

    CDataFile dealer;
    dealer.Add("passwort", "demo");
    EXPECT_TRUE(CheckLogin(dealer, "FE01CE2A7FBAC8FAFAED7C982A04E229"));
    EXPECT_TRUE(CheckLogin(dealer, "fe01ce2a7fbac8fafaed7c982a04e229"));
    EXPECT_FALSE(CheckLogin(dealer, "FE01CE2A7FBAC8FAFAED7C982A04E22"));
    EXPECT_FALSE(CheckLogin(dealer, ""));
    EXPECT_FALSE(CheckLogin(std::nullopt, "FE01CE2A7FBAC8FAFAED7C982A04E229"));
}

TEST(PortalAnswers, RecordListHasTheAddressThenOneLinePerRecord) {
    CDataFile dealer;
    dealer.Add("adresse", "Demo Motos AG, 8000 Zürich", "Démo Motos SA, 8000 Zurich");
    std::vector<OccasionRecord> records{{40101, 12345, Record()}, {40102, 12345, {}}};

    const auto de = Lines(RecordList(dealer, records, Sprache::De, 1));
    ASSERT_EQ(de.size(), 3u);
    EXPECT_EQ(de[0], "Demo Motos AG, 8000 Z\xFCrich");
    EXPECT_EQ(de[1], "40101;2024-05-01 10:00:00;40101_1.jpg;;40101_3.jpg;;");
    EXPECT_EQ(de[2], "40102;;;;;;");

    const auto fr = Lines(RecordList(dealer, records, Sprache::Fr, 2));
    EXPECT_EQ(fr[0], "D\xE9mo Motos SA, 8000 Zurich");
    EXPECT_EQ(fr[1], "40101;2024-05-01 10:00:00;40101_1_xl.jpg;;40101_3_xl.jpg;;");

    EXPECT_EQ(RecordList(dealer, {}, Sprache::De, 1), "Demo Motos AG, 8000 Z\xFCrich\n");
}

TEST(PortalAnswers, RecordFileFollowsTheUsedVehicleLayout) {
    const OccasionRecord record{40101, 12345, Record()};
    const auto de = Lines(RecordFile(record, Sprache::De, 1));
    ASSERT_EQ(de.size(), 19u + 1 + 2 + 1);
    EXPECT_EQ(de[0], "Aurex Strada 890");
    EXPECT_EQ(de[1], "Jahrgang 2019");
    EXPECT_EQ(de[2], "8900");
    EXPECT_EQ(de[3], "2024-05-01 10:00:00");
    EXPECT_EQ(de[4], "05.2019");
    EXPECT_EQ(de[5], "12500");
    EXPECT_EQ(de[6], "");
    EXPECT_EQ(de[7], "40101_1.jpg");
    EXPECT_EQ(de[8], "");
    EXPECT_EQ(de[9], "40101_3.jpg");
    EXPECT_EQ(de[10], "");
    EXPECT_EQ(de[11], "");
    EXPECT_EQ(de[12], "");
    EXPECT_EQ(de[13], "ab MFK");
    EXPECT_EQ(de[14], "98");
    EXPECT_EQ(de[15], "2");
    EXPECT_EQ(de[16], "189.50");
    EXPECT_EQ(de[17], "6");
    EXPECT_EQ(de[18], "AUREX");
    EXPECT_EQ(de[19], "<zubehoer>");
    EXPECT_EQ(de[20], "Heizgriffe");
    EXPECT_EQ(de[21], "Sturzb\xFCgel");
    EXPECT_EQ(de[22], "<ende>");

    const auto fr = Lines(RecordFile(record, Sprache::Fr, 2));
    ASSERT_EQ(fr.size(), 19u + 1 + 1 + 1);
    EXPECT_EQ(fr[1], "Ann\xE9"
                     "e 2019");
    EXPECT_EQ(fr[7], "40101_1_xl.jpg");
    EXPECT_EQ(fr[13], "expertis\xE9"
                      "e");
    EXPECT_EQ(fr[20], "Kit d\x92\xE9"
                      "clairage")
        << "the typographic apostrophe is byte 146";

    const auto bare = Lines(RecordFile({40103, 12345, {}}, Sprache::De, 1));
    ASSERT_EQ(bare.size(), 21u);
    EXPECT_EQ(bare[19], "<zubehoer>");
    EXPECT_EQ(bare[20], "<ende>");
}

TEST(PortalAnswers, NeuFzListHoldsTheWantedBrandsInTheNewVehicleLayout) {
    const std::vector<NeuFzRecord> vehicles{{"5001", NeuFz("AUREX", "aurex/5001_1")},
                                            {"5002", NeuFz("BALTRO", "baltro/5002_1")},
                                            {"5003", NeuFz("Corvello", "corvello/5003_1")}};
    const auto list = Lines(NeuFzList(vehicles, {"AUREX", " corvello"}, Sprache::De, 1));
    ASSERT_EQ(list.size(), 2u * 27 + 1);
    for (std::size_t i : {0u, 27u, 54u})
        EXPECT_EQ(list[i], "<neufz>");
    EXPECT_EQ(list[1], "AUREX");
    EXPECT_EQ(list[2], "Strada 890");
    EXPECT_EQ(list[3], "12990");
    EXPECT_EQ(list[4], "");
    EXPECT_EQ(list[5], "6");
    EXPECT_EQ(list[6], "890");
    EXPECT_EQ(list[9], "6-Gang");
    EXPECT_EQ(list[11], "810");
    EXPECT_EQ(list[16], "223.97");
    EXPECT_EQ(list[17], "rot gr\xFCn");
    EXPECT_EQ(list[22], "/standard_bilder/aurex/5001_1.jpg");
    for (int line : {15, 18, 19, 20, 21, 23, 24, 25, 26})
        EXPECT_EQ(list[line], "") << line;
    EXPECT_EQ(list[27 + 1], "Corvello");

    const auto fr = Lines(NeuFzList(vehicles, {}, Sprache::Fr, 2));
    ASSERT_EQ(fr.size(), 3u * 27 + 1) << "no brands: every vehicle";
    EXPECT_EQ(fr[9], "6 vitesses");
    EXPECT_EQ(fr[17], "rouge vert");
    EXPECT_EQ(fr[22], "/standard_bilder/aurex/5001_1_xl.jpg");

    EXPECT_EQ(NeuFzList(vehicles, {"HONDA"}, Sprache::De, 1), "<neufz>\n");
}

TEST(PortalData, FindsRecordsByDealerAndNumberAndPhotosOnlyInsideTheirFolders) {
    QTemporaryDir dir;
    const QString root = dir.path();
    CDataFile dealer;
    dealer.Add("passwort", "demo");
    WriteDataFile(root, "haendler/12345.txt", dealer);
    for (const char* name :
         {"40102.txt", "40101.txt", "900.txt", "1.txt", "040103.txt", "abc.txt", "40104.jpg"})
        WriteDataFile(root, QString("occasionen/12345/") + name, QByteArray("stand=x\n"));
    WriteDataFile(root, "occasionen/777/50001.txt", QByteArray("stand=y\n"));
    WriteDataFile(root, "kunden_occasionen/12345/40101_1.jpg", QByteArray("jpeg"));
    WriteDataFile(root, "standard_bilder/aurex/5001_1.jpg", QByteArray("jpeg"));

    const CPortalData data(root);
    EXPECT_TRUE(data.Dealer(12345));
    EXPECT_FALSE(data.Dealer(777));
    EXPECT_FALSE(data.Dealer(0));

    std::vector<int> numbers;
    for (const OccasionRecord& record : data.Occasionen(12345))
        numbers.push_back(record.nSatzNr);
    EXPECT_EQ(numbers, (std::vector<int>{900, 40101, 40102}))
        << "numeric order; record 1, padded and other names are no records";
    EXPECT_TRUE(data.Occasionen(777).size() == 1 && data.Occasionen(0).empty());

    const auto other = data.Occasion(50001);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->nKundenNr, 777);
    EXPECT_EQ(other->data.Value("stand"), "y");
    EXPECT_FALSE(data.Occasion(1));
    EXPECT_FALSE(data.Occasion(40199));

    EXPECT_EQ(data.PhotoFile("/kunden_occasionen/12345/40101_1.jpg"),
              root + "/kunden_occasionen/12345/40101_1.jpg");
    EXPECT_EQ(data.PhotoFile("/standard_bilder/aurex/5001_1.jpg"),
              root + "/standard_bilder/aurex/5001_1.jpg");
    for (const char* refused :
         {"/kunden_occasionen/12345/../../haendler/12345.txt",
          "/kunden_occasionen/./12345/40101_1.jpg", "/kunden_occasionen/12345//40101_1.jpg",
          "/kunden_occasionen/12345\\40101_1.jpg", "/haendler/12345.txt",
          "kunden_occasionen/12345/40101_1.jpg", "/kunden_occasionen/12345",
          "/kunden_occasionen/12345/40101_2.jpg",
          "/standard_bilder/aurex/../../haendler/12345.txt"})
        EXPECT_EQ(data.PhotoFile(refused), QString()) << refused;
}
