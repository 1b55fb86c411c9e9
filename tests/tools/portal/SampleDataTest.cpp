#include "SampleData.h"
#include "PortalAnswers.h"
#include "PortalConstants.h"
#include "PortalData.h"
#include "PortalServer.h"
#include "PortalTestSupport.h"

#include "catalogue/CacheText.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "support/TempWorkDir.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

using namespace demoportal;

namespace {

const int kDealers[] = {kDemoKundenNr, 23456, 34567};

bool IsNumber(const QByteArray& text) {
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    return number.match(QString::fromLatin1(text)).hasMatch();
}

// Text that went through the Windows-1252 codec holds no UTF-8 sequences and no '?' left
// for a character the codec does not have.
void ExpectWindows1252(const QByteArray& text, const QByteArray& what) {
    EXPECT_FALSE(text.contains('?')) << what.constData();
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if ((uchar(text[i]) == 0xC3 || uchar(text[i]) == 0xE2) && uchar(text[i + 1]) >= 0x80 &&
            uchar(text[i + 1]) <= 0xBF)
            ADD_FAILURE() << "UTF-8 bytes in " << what.constData();
}

// The sample set served in-process, with the demo dealer's digest at hand.
class SampleServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server = std::make_unique<CPortalServer>(SampleFolder());
        ASSERT_TRUE(m_server->Start());
    }
    void TearDown() override { m_server->Stop(); }

    QByteArray Get(const QByteArray& target) const {
        const RawAnswer answer = RawGet(m_server->Port(), target);
        EXPECT_EQ(answer.nStatus, 200) << target.constData();
        EXPECT_EQ(answer.nContentLength, answer.body.size()) << target.constData();
        return answer.body;
    }
    static QByteArray Digest(int nKundenNr) {
        return PasswordDigest(CPortalData(SampleFolder()).Dealer(nKundenNr)->Value("passwort"));
    }
    QByteArray List(int nKundenNr, const char* la, int rm) const {
        return Get("/wsgateway/zelvora/zelvora.php?ap=" + Digest(nKundenNr) + "&fn=1&la=" + la +
                   "&kn=" + QByteArray::number(nKundenNr) + "&rm=" + QByteArray::number(rm));
    }
    QByteArray Record(const QByteArray& nr, const char* la, int rm) const {
        return Get("/wsgateway/zelvora/zelvora.php?fn=2&la=" + QByteArray(la) + "&sn=" + nr +
                   "&rm=" + QByteArray::number(rm));
    }
    QByteArray NeuFzList(const char* la, int rm) const {
        return Get("/wsgateway/zelvora/zelvora.php?ap=" + Digest(kDemoKundenNr) +
                   "&fn=101&la=" + la + "&kn=12345&ma=&rm=" + QByteArray::number(rm));
    }

    std::unique_ptr<CPortalServer> m_server;
};

} // namespace

TEST(SampleData, CoversDealersBrandsCategoriesConditionsAndRates) {
    const CPortalData data(SampleFolder());
    const auto demo = data.Dealer(kDemoKundenNr);
    ASSERT_TRUE(demo);
    EXPECT_TRUE(CheckLogin(demo, PasswordDigest(kDemoPasswort)));

    std::set<int> katOcc, katNeu, zustand, zubehoer, fotos;
    std::set<QString> markenOcc, markenNeu;
    int nLowRates = 0;
    int nRates = 0;
    const auto rate = [&](const CDataFile& d) {
        ++nRates;
        nLowRates += d.Value("rate").toDouble() <= 20.0;
    };
    int nOcc = 0;
    for (int kn : kDealers) {
        ASSERT_TRUE(data.Dealer(kn)) << kn;
        for (const OccasionRecord& record : data.Occasionen(kn)) {
            ++nOcc;
            katOcc.insert(record.data.Value("kat").toInt());
            zustand.insert(record.data.Value("zustand").toInt());
            zubehoer.insert(int(record.data.Values("zubehoer", Sprache::De).size()));
            EXPECT_EQ(record.data.Values("zubehoer", Sprache::De).size(),
                      record.data.Values("zubehoer", Sprache::Fr).size());
            fotos.insert(int(record.data.Values("bild").size()));
            markenOcc.insert(record.data.Value("marke"));
            rate(record.data);
        }
    }
    const auto neu = data.NeuFahrzeuge();
    for (const NeuFzRecord& vehicle : neu) {
        katNeu.insert(vehicle.data.Value("kat").toInt());
        markenNeu.insert(vehicle.data.Value("marke"));
        fotos.insert(int(vehicle.data.Values("bild").size()));
        rate(vehicle.data);
    }

    EXPECT_EQ(nOcc, 40);
    EXPECT_EQ(neu.size(), 60u);
    const std::set<int> all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    EXPECT_EQ(katOcc, all);
    EXPECT_EQ(katNeu, all);
    EXPECT_EQ(zustand, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(*zubehoer.begin(), 0);
    EXPECT_EQ(*zubehoer.rbegin(), 12);
    EXPECT_EQ(fotos, (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_GE(markenOcc.size(), 5u);
    EXPECT_EQ(markenNeu.size(), 6u);
    EXPECT_GT(nLowRates, 0) << "some rates show no financing line";
    EXPECT_GT(nRates - nLowRates, 3 * nLowRates) << "most do";
}

TEST(SampleData, GeneratingTwiceGivesTheSameFiles) {
    QTemporaryDir again;
    const auto summary = GenerateSampleData(again.path());
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->nDealers, 3);
    EXPECT_EQ(summary->nOccasionen, 40);
    EXPECT_EQ(summary->nNeuFahrzeuge, 60);

    int nFiles = 0;
    int nPhotos = 0;
    QDirIterator it(SampleFolder(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(SampleFolder().size());
        QFile first(path);
        QFile second(again.path() + relative);
        ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly))
            << relative.toStdString();
        EXPECT_EQ(first.readAll(), second.readAll()) << relative.toStdString();
        ++nFiles;
        nPhotos += relative.endsWith(".jpg");
    }
    EXPECT_EQ(nPhotos, summary->nPhotos);
    EXPECT_EQ(nFiles, 3 + 40 + 60 + summary->nPhotos);
}

TEST(SampleData, RefusesAFolderItCannotWrite) {
    QTemporaryDir dir;
    WriteDataFile(dir.path(), "datei", QByteArray("x"));
    QString error;
    EXPECT_FALSE(GenerateSampleData(dir.path() + "/datei", &error));
    EXPECT_TRUE(error.contains("cannot write")) << error.toStdString();
}

TEST_F(SampleServerTest, RecordFilesFollowTheUsedVehicleLayoutInBothLanguages) {
    static const QRegularExpression stand(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    QByteArray allDe;
    QByteArray allFr;
    int nRecords = 0;
    for (int kn : kDealers) {
        for (const char* la : {"de", "fr"}) {
            for (int rm : {1, 2}) {
                const QByteArray list = List(kn, la, rm);
                ExpectWindows1252(list, "list");
                const auto listLines = cache::SplitLines(list);
                ASSERT_GE(listLines.size(), 2u);
                (la == QByteArray("de") ? allDe : allFr) += listLines[0];
                for (std::size_t i = 1; i < listLines.size(); ++i) {
                    ++nRecords;
                    const QByteArrayList fields = listLines[i].split(';');
                    ASSERT_EQ(fields.size(), 7);
                    const QByteArray text = Record(fields[0], la, rm);
                    ExpectWindows1252(text, fields[0]);
                    (la == QByteArray("de") ? allDe : allFr) += text;
                    const auto lines = cache::SplitLines(text);
                    ASSERT_GE(lines.size(), 21u);
                    ASSERT_LE(lines.size(), 19u + 2 + 12);
                    EXPECT_EQ(lines[19], "<zubehoer>");
                    EXPECT_EQ(lines.back(), "<ende>");
                    EXPECT_TRUE(stand.match(QString::fromLatin1(lines[3])).hasMatch());
                    EXPECT_EQ(lines[3], fields[1]);
                    for (int k = 0; k < 5; ++k)
                        EXPECT_EQ(lines[7 + k], fields[2 + k]);
                    EXPECT_TRUE(lines[7].endsWith(rm == 2 ? "_xl.jpg" : ".jpg") &&
                                lines[7].startsWith(fields[0] + "_"));
                    for (int n : {2, 5, 14, 17})
                        EXPECT_TRUE(IsNumber(lines[n])) << n << ": " << lines[n].constData();
                    EXPECT_TRUE(lines[15] == "1" || lines[15] == "2" || lines[15] == "3");
                    EXPECT_GE(cache::ParseRate(lines[16]), 0.0);
                    const int kat = cache::ParseInt(lines[17]);
                    EXPECT_TRUE(kat >= 1 && kat <= 14);
                    EXPECT_EQ(lines[18], lines[18].toUpper());
                    EXPECT_GT(lines[4].size(), 2) << "first registration shows";
                    EXPECT_FALSE(text.contains('\r'));
                }
            }
        }
    }
    EXPECT_EQ(nRecords, 40 * 4);
    EXPECT_TRUE(allDe.contains('\xFC')) << "ü";
    EXPECT_TRUE(allFr.contains('\xE9')) << "é";
    EXPECT_TRUE(allFr.contains('\x92')) << "the typographic apostrophe";
}

TEST_F(SampleServerTest, NewVehicleListFollowsTheNewVehicleLayout) {
    for (const char* la : {"de", "fr"}) {
        for (int rm : {1, 2}) {
            const QByteArray text = NeuFzList(la, rm);
            ExpectWindows1252(text, "neufz");
            const auto lines = cache::SplitLines(text);
            ASSERT_EQ(lines.size(), 60u * 27 + 1);
            for (std::size_t r = 0; r < 60; ++r) {
                const auto line = [&](int n) {
                    return lines[r * 27 + std::size_t(n)];
                };
                EXPECT_EQ(line(0), "<neufz>");
                EXPECT_EQ(line(1), line(1).toUpper());
                EXPECT_GT(cache::ParseInt(line(3)), 0);
                const int kat = cache::ParseInt(line(5));
                EXPECT_TRUE(kat >= 1 && kat <= 14);
                for (int n : {6, 7, 8, 10, 11, 14})
                    EXPECT_TRUE(IsNumber(line(n))) << n;
                EXPECT_FALSE(line(9).isEmpty());
                EXPECT_FALSE(line(17).isEmpty());
                EXPECT_TRUE(line(22).startsWith("/standard_bilder/"));
                EXPECT_TRUE(line(22).endsWith(rm == 2 ? "_xl.jpg" : ".jpg"));
                for (int n = 23; n <= 26; ++n)
                    EXPECT_TRUE(line(n).isEmpty() || line(n).startsWith("/standard_bilder/"));
            }
            EXPECT_EQ(lines.back(), "<neufz>");
        }
    }
    EXPECT_TRUE(NeuFzList("de", 1).contains("gr\xFCn"));
    EXPECT_TRUE(NeuFzList("fr", 1).contains("Amp\xE8re"));
}

TEST_F(SampleServerTest, PhotosHaveTheSizeOfTheirLayoutMode) {
    int nChecked = 0;
    const auto check = [&](const QByteArray& target, QSize expected) {
        const QByteArray bytes = Get(target);
        EXPECT_GT(bytes.size(), 1000) << target.constData();
        EXPECT_LT(bytes.size(), 1000000) << target.constData();
        EXPECT_EQ(QImage::fromData(bytes).size(), expected) << target.constData();
        ++nChecked;
    };
    for (int rm : {1, 2}) {
        const int mode = rm - 1;
        for (int kn : kDealers) {
            const auto lines = cache::SplitLines(List(kn, "de", rm));
            for (std::size_t i = 1; i < lines.size(); ++i) {
                const QByteArrayList fields = lines[i].split(';');
                for (int k = 2; k < 7; ++k)
                    if (!fields[k].isEmpty())
                        check("/kunden_occasionen/" + QByteArray::number(kn) + "/" + fields[k],
                              k == 2 ? kOccMainPhoto[mode] : kSmallPhoto[mode]);
            }
        }
        const auto lines = cache::SplitLines(NeuFzList("de", rm));
        for (std::size_t i = 22; i < lines.size(); i += 27)
            for (int k = 0; k < 5; ++k)
                if (!lines[i + std::size_t(k)].isEmpty())
                    check(lines[i + std::size_t(k)],
                          k == 0 ? kNeuFzMainPhoto[mode] : kSmallPhoto[mode]);
    }
    int nFiles = 0;
    for (QDirIterator it(SampleFolder(), {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++nFiles;
    EXPECT_EQ(nChecked, nFiles) << "every photo is named by a list";

    for (const QSize& size : kOccMainPhoto)
        EXPECT_GT(size.width(), kMinOccMainWidth);
    for (const QSize& size : kNeuFzMainPhoto)
        EXPECT_TRUE(size.width() > kMinNeuFzMainWidth && size.height() < kMaxNeuFzMainHeight);
}

TEST_F(SampleServerTest, TheCatalogueLoadsTheServedCache) {
    CTempWorkDir work;
    const auto list = cache::SplitLines(List(kDemoKundenNr, "de", 1));
    for (std::size_t i = 1; i < list.size(); ++i) {
        const QByteArrayList fields = list[i].split(';');
        CTempWorkDir::WriteFile("Daten/satz_12345_" + fields[0] + ".txt",
                                Record(fields[0], "de", 1));
        for (int k = 2; k < 7; ++k)
            if (!fields[k].isEmpty())
                CTempWorkDir::WriteFile("Bilder/" + fields[k],
                                        Get("/kunden_occasionen/12345/" + fields[k]));
    }
    const QByteArray neufz = NeuFzList("de", 1);
    CTempWorkDir::WriteFile("Daten/NeufahrzeugeListe.txt", neufz);
    const auto lines = cache::SplitLines(neufz);
    for (std::size_t i = 22; i < lines.size(); i += 27)
        for (std::size_t k = 0; k < 5; ++k)
            if (!lines[i + k].isEmpty())
                CTempWorkDir::WriteFile("Bilder/" + QByteArray(lines[i + k]).replace('/', '_'),
                                        Get(lines[i + k]));

    auto store = std::make_unique<CSatzStore>();
    store->m_nSprache = 1;
    store->LadeBilderUndDaten();
    EXPECT_EQ(store->m_nSatzCount, int(list.size()) - 1) << "every used vehicle makes a slide";
    store->LadeNeuFzDatenUndBilder();
    EXPECT_EQ(store->m_nSatzCount, int(list.size()) - 1 + 60) << "and every new one";

    std::set<QString> zustand;
    for (int i = 0; i < store->m_nSatzCount; ++i) {
        const Satz& satz = store->m_satz[i];
        zustand.insert(satz.strZustand);
        EXPECT_FALSE(satz.strTitel.isEmpty());
        EXPECT_FALSE(store->Picture(satz.nBild[0]).isNull());
    }
    EXPECT_EQ(zustand, (std::set<QString>{"Occasion", QString::fromUtf8("Vorführmodell"),
                                          "Vorjahresmodell", "Neufahrzeug"}));
}
