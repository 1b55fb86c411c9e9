#include "TraceCapture.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "support/TempWorkDir.h"
#include "support/TestPhotos.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

using Lines = std::map<int, QByteArray>;

// A record file: the given lines by number (the others empty) up to line 18 at least, then
// the lines of `after`, each ended by a line feed.
QByteArray Record(const Lines& lines, const QByteArrayList& after = {}) {
    QByteArrayList all;
    for (int i = 0; i <= std::max(18, lines.rbegin()->first); ++i)
        all << (lines.contains(i) ? lines.at(i) : QByteArray());
    all << after;
    return all.join('\n') + '\n';
}

// The worked record: a photo 800 pixels wide, two accessory lines.
Lines Worked() {
    return {{0, "HONDA CBR 600 F"},
            {2, "8900"},
            {4, "05.2003"},
            {5, "12500"},
            {7, "a.jpg"},
            {14, "98"},
            {15, "1"},
            {16, "189.50"},
            {17, "8"},
            {18, "HONDA"}};
}
const QByteArrayList kZubehoer = {"<zubehoer>", "Koffer", "Heizgriffe", "<ende>"};

class LadeBilderUndDatenTest : public ::testing::Test {
protected:
    LadeBilderUndDatenTest() { WritePhoto("Bilder/a.jpg", 800, 600); }

    static void Write(int nSatzNr, const QByteArray& text) {
        CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_7_%1.txt").arg(nSatzNr), text);
    }
    void Load() {
        m_store->ResetBilderUndDaten();
        m_store->LadeBilderUndDaten();
    }
    const Satz& At(int i) const { return m_store->m_satz[i]; }
    int Count() const { return m_store->m_nSatzCount; }

    CTempWorkDir m_dir;
    std::unique_ptr<CSatzStore> m_store = std::make_unique<CSatzStore>();
};

TEST_F(LadeBilderUndDatenTest, WorkedRecordInBothLanguages) {
    Lines worked = Worked();
    worked[0] = "Mod\xe8le \x80";
    Write(1, Record(worked, kZubehoer));
    worked[15] = "2";
    Write(2, Record(worked));
    worked[15] = "3";
    Write(3, Record(worked));

    CTraceCapture trace;
    m_store->m_nSprache = 1;
    Load();
    ASSERT_EQ(Count(), 3);
    EXPECT_TRUE(m_store->m_bSatzLoaded);
    const Satz& satz = At(0);
    EXPECT_EQ(satz.nArt, 1);
    EXPECT_EQ(satz.strTitel, QStringLiteral("Mod\u00e8le \u20ac"));
    EXPECT_EQ(satz.strMarke, "HONDA");
    EXPECT_EQ(satz.nPreis, 8900);
    EXPECT_EQ(satz.strPreis, "8'900");
    EXPECT_EQ(satz.nKm, 12500);
    EXPECT_EQ(satz.strKmText, "12'500 km, 1. IV  05.2003, 98PS, ");
    EXPECT_EQ(satz.strZustand, "Occasion");
    EXPECT_DOUBLE_EQ(satz.dRate, 189.5);
    EXPECT_EQ(satz.nKatID, 8);
    EXPECT_EQ(satz.nZeilen, 2);
    EXPECT_EQ(satz.strZeilen[0], "Koffer");
    EXPECT_EQ(satz.strZeilen[1], "Heizgriffe");
    EXPECT_EQ(satz.nBild, (std::array<int32_t, kBilderProSatz>{0, 0, 0, 0, 0}));
    EXPECT_EQ(At(1).strZustand, QStringLiteral("Vorführmodell"));
    EXPECT_EQ(At(2).strZustand, "Vorjahresmodell");
    EXPECT_EQ(m_store->m_nPictureCount, 3);
    EXPECT_EQ(trace.Starting("LadeBilderUndDaten"),
              (QStringList{"LadeBilderUndDaten", "LadeBilderUndDaten fertig"}));

    m_store->m_nSprache = 2;
    Load();
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(At(0).strKmText, "12'500 km, 1. MC  05.2003, 98PS, ");
    EXPECT_EQ(At(0).strZustand, "Occasion");
    EXPECT_EQ(At(1).strZustand, QStringLiteral("Modèle de démonstration"));
    EXPECT_EQ(At(2).strZustand, QStringLiteral("Modèle de l\u2019année passée"));
}

TEST_F(LadeBilderUndDatenTest, PriceAndMileageLines) {
    const std::tuple<Lines, const char*, const char*> cases[] = {
        {{{2, ""}, {5, "500"}, {4, "05"}}, "", "500 km, 1. IV 98PS, "},
        {{{2, "0"}, {5, ""}, {14, "9"}}, "", "0 km, 1. IV  05.2003, "},
        {{{2, "999"}, {13, "Service neu"}}, "999", "12'500 km, 1. IV  05.2003, 98PS, Service neu"},
        {{{2, "1000"}, {13, "X"}}, "1'000", "12'500 km, 1. IV  05.2003, 98PS, "},
    };
    int nSatzNr = 0;
    for (const auto& [changes, preis, km] : cases) {
        Lines lines = Worked();
        for (const auto& [n, text] : changes)
            lines[n] = text;
        Write(++nSatzNr, Record(lines));
    }
    m_store->m_nSprache = 1;
    Load();
    ASSERT_EQ(Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(At(i).strPreis, QString::fromUtf8(std::get<1>(cases[i]))) << i;
        EXPECT_EQ(At(i).strKmText, QString::fromUtf8(std::get<2>(cases[i]))) << i;
    }
    EXPECT_EQ(At(0).nPreis, 0);
    EXPECT_EQ(At(1).nKm, 0);
}

TEST_F(LadeBilderUndDatenTest, MainPhotoMustBeWiderThan576) {
    WritePhoto("Bilder/576.jpg", 576, 800);
    WritePhoto("Bilder/577.jpg", 577, 300);
    Lines lines = Worked();
    lines[7] = "576.jpg";
    Write(1, Record(lines));
    lines[7] = "577.jpg";
    Write(2, Record(lines));
    CTraceCapture trace;
    Load();
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(At(0).nBild[0], 1) << "the refused slide's photo keeps slot 0 until the reset";
    EXPECT_EQ(m_store->m_nPictureCount, 2);
    EXPECT_EQ(trace.Starting("Bild zu klein").size(), 1);
}

TEST_F(LadeBilderUndDatenTest, FurtherPhotosThatFailLeaveTheirFieldAtZero) {
    WritePhoto("Bilder/b.jpg", 200, 100);
    WritePhoto("Bilder/xy", 800, 600);
    CTempWorkDir::WriteFile("Bilder/text.jpg", "no photo");
    Lines lines = Worked();
    lines[8] = "missing.jpg";
    lines[9] = "b.jpg";
    lines[10] = "xy";
    lines[11] = "text.jpg";
    Write(1, Record(lines));
    Load();
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(At(0).nBild, (std::array<int32_t, kBilderProSatz>{0, 0, 1, 0, 0}));
    EXPECT_EQ(m_store->m_nPictureCount, 2);
}

TEST_F(LadeBilderUndDatenTest, LineRules) {
    auto tags = [](const QByteArray& zubehoer, const QByteArray& ende) {
        return QByteArrayList{zubehoer, "Koffer", ende};
    };
    Write(1, Record(Worked(), tags("<zubehoer>\r", "<ende>\r"))); // a CR before the LF is not
    QByteArray noFinalLf = Record(Worked(), tags("<zubehoer>", "<ende>"));
    noFinalLf.chop(1);
    Write(2, noFinalLf);
    QByteArrayList fifteen{"<zubehoer>"};
    for (int i = 1; i <= 15; ++i)
        fifteen << "Teil " + QByteArray::number(i);
    Write(3, Record(Worked(), fifteen + QByteArrayList{"<ende>"}));
    Lines endeOnly = Worked();
    endeOnly[1] = "eins";
    endeOnly[30] = "<ende>";
    Write(4, Record(endeOnly));
    QByteArrayList eighty{"<zubehoer>"};
    for (int n = 20; n < 80; ++n)
        eighty << (n == 60 ? "<ende>" : "x");
    Write(5, Record(Worked(), eighty));
    eighty[51 - 19] = "<ende>";
    Write(6, Record(Worked(), eighty));
    Lines early = Worked();
    early[5] = "<ende>"; // reading stops before the photo line
    Write(7, Record(early));
    Lines longLines = Worked();
    longLines[0] = QByteArray(6000, 't');
    longLines[1] = QByteArray(70000, 'x');
    Write(8, Record(longLines, kZubehoer));

    Load();
    ASSERT_EQ(Count(), 7);
    EXPECT_EQ(At(0).nZeilen, 1);
    EXPECT_EQ(At(1).nZeilen, 1) << "a last line without line feed counts";
    EXPECT_EQ(At(2).nZeilen, 10);
    EXPECT_EQ(At(2).strZeilen[9], "Teil 10");
    EXPECT_EQ(At(3).nZeilen, 10);
    EXPECT_EQ(At(3).strZeilen[0], "eins");
    EXPECT_EQ(At(3).strZeilen[6], "a.jpg");
    EXPECT_EQ(At(4).nZeilen, 0) << "lines from 52 on are not read";
    EXPECT_EQ(At(5).nZeilen, 10);
    EXPECT_EQ(At(6).strTitel.size(), 4999) << "long lines are cut";
    EXPECT_EQ(At(6).nZeilen, 2) << "a file over 65535 bytes is read whole";
    EXPECT_EQ(At(6).strMarke, "HONDA");
}

TEST_F(LadeBilderUndDatenTest, BadFilesGiveNoSlide) {
    CTempWorkDir::WriteFile("photo.jpg", MakePhoto(800, 600));
    CTempWorkDir::WriteFile("Bilder/text.jpg", "no photo");
    Write(1, {});
    Lines lines = Worked();
    lines[7] = "missing.jpg";
    Write(2, Record(lines));
    lines[7] = "text.jpg";
    Write(3, Record(lines));
    lines[7] = "../photo.jpg";
    Write(4, Record(lines));
    lines[7] = "ab"; // too short to be a name
    WritePhoto("Bilder/ab", 800, 600);
    Write(5, Record(lines));
    Write(6, Record(Worked()));
    ASSERT_TRUE(QFile("Daten/satz_7_6.txt").resize(kMaxCacheTextSize + 1));
    CTempWorkDir::WriteFile("Daten/SatzNrListeAktuell.txt", Record(Worked()));
    CTempWorkDir::WriteFile("Daten/satz_7_7.bak", Record(Worked()));

    CTraceCapture trace;
    Load();
    EXPECT_EQ(Count(), 0);
    EXPECT_FALSE(m_store->m_bSatzLoaded);
    EXPECT_EQ(m_store->m_nPictureCount, 0);
    EXPECT_EQ(trace.Starting("Bild zu klein").size(), 4);
}

TEST_F(LadeBilderUndDatenTest, SlidesFollowTheNaturalOrderOfTheFileNames) {
    for (const char* name : {"satz_12_10", "satz_12_2", "satz_3_1", "satz_12_1", "satz_12_02"}) {
        Lines lines = Worked();
        lines[0] = name;
        CTempWorkDir::WriteFile(QStringLiteral("Daten/%1.txt").arg(QLatin1StringView(name)),
                                Record(lines));
    }
    Load();
    ASSERT_EQ(Count(), 5);
    QStringList order;
    for (int i = 0; i < Count(); ++i)
        order << At(i).strTitel;
    EXPECT_EQ(order,
              (QStringList{"satz_3_1", "satz_12_1", "satz_12_02", "satz_12_2", "satz_12_10"}));
}

TEST_F(LadeBilderUndDatenTest, CapacitiesAreNeverExceeded) {
    Lines lines = Worked();
    for (int n = 8; n <= 11; ++n)
        lines[n] = "a.jpg";
    Write(1, Record(lines));
    Write(2, Record(lines));

    CTraceCapture trace;
    m_store->m_nSatzCount = kMaxSatz - 1; // as if the cache held 999 records before these
    m_store->LadeBilderUndDaten();
    EXPECT_EQ(m_store->m_nSatzCount, kMaxSatz);
    EXPECT_EQ(m_store->m_nPictureCount, 5);
    EXPECT_EQ(trace.Starting("Katalog voll").size(), 1);

    m_store->ResetBilderUndDaten();
    m_store->m_nPictureCount = kMaxPictures - 2;
    m_store->LadeBilderUndDaten();
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(At(0).nBild, (std::array<int32_t, kBilderProSatz>{4998, 4999, 0, 0, 0}));
    EXPECT_EQ(m_store->m_nPictureCount, kMaxPictures);
    EXPECT_EQ(m_store->m_loadedPictures.size(), 2u);
}

} // namespace
