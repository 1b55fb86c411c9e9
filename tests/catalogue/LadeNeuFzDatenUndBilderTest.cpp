#include "TraceCapture.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/PeakMemory.h"
#include "support/TempWorkDir.h"
#include "support/TestPhotos.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

using Lines = std::map<int, QByteArray>;

// One record: its lines from 1 to nLast, the given ones set, the others empty.
QByteArray NeuFz(const Lines& lines, int nLast = 26) {
    QByteArrayList all;
    for (int i = 1; i <= nLast; ++i)
        all << (lines.contains(i) ? lines.at(i) : QByteArray());
    return all.join('\n') + '\n';
}

// A list as the portal sends it: every record introduced and closed by a "<neufz>" line.
QByteArray List(const QByteArrayList& records, bool bClosed = true) {
    QByteArray list = "<neufz>\n" + records.join("<neufz>\n");
    return bClosed ? list + "<neufz>\n" : list;
}

Lines Worked() {
    return {
        {1, "KTM"},  {2, "690 Enduro R"}, {3, "12990"},        {5, "4"},     {6, "0998"}, {9, "0"},
        {11, "790"}, {16, "99.90"},       {17, "rot schwarz"}, {22, "a.jpg"}};
}

class LadeNeuFzTest : public ::testing::Test {
protected:
    LadeNeuFzTest() { WritePhoto("Bilder/a.jpg", 800, 600); }

    static void WriteList(const QByteArray& list) {
        CTempWorkDir::WriteFile("Daten/NeufahrzeugeListe.txt", list);
    }
    void Load(int nSprache = kDeutsch) {
        m_store->ResetBilderUndDaten();
        m_store->m_nSprache = nSprache;
        m_store->LadeNeuFzDatenUndBilder();
    }
    const Satz& At(int i) const { return m_store->m_satz[i]; }
    int Count() const { return m_store->m_nSatzCount; }

    CTempWorkDir m_dir;
    std::unique_ptr<CSatzStore> m_store = std::make_unique<CSatzStore>();
};

TEST_F(LadeNeuFzTest, WorkedRecordInBothLanguages) {
    WriteList(List({NeuFz(Worked())}));
    WriteProfileString(setting::kSection, setting::kAdresse, "Moto Muster, Bern");
    CTraceCapture trace;
    Load(kDeutsch);
    ASSERT_EQ(Count(), 1);
    const Satz& satz = At(0);
    EXPECT_EQ(satz.nArt, 2);
    EXPECT_EQ(satz.strMarke, "KTM");
    EXPECT_EQ(satz.strTitel, "KTM 690 Enduro R");
    EXPECT_EQ(satz.nPreis, 12990);
    EXPECT_EQ(satz.strPreisZeile, "Fr. 12'990.-");
    EXPECT_EQ(satz.nKatID, 4);
    EXPECT_DOUBLE_EQ(satz.dRate, 99.9);
    EXPECT_EQ(satz.strZustand, "Neufahrzeug");
    EXPECT_EQ(satz.nBild, (std::array<int32_t, kBilderProSatz>{0, 0, 0, 0, 0}));
    const QStringList german{"Kat. Enduro",       "Hubraum 998 ccm", "Drehm. --- Nm",
                             "Anz. Zylinder ---", "Getriebe ---",    "Leistung --- PS",
                             "Sitzhöhe 79.0 cm",  "PneuV ---",       "PneuH ---",
                             "Gewicht --- kg",    "Farbe Rot ",      "Farbe Schwarz "};
    ASSERT_EQ(satz.nZeilen, 12);
    EXPECT_EQ(QStringList(satz.strZeilen.begin(), satz.strZeilen.begin() + 12), german);
    EXPECT_TRUE(m_store->m_bSatzLoaded);
    EXPECT_EQ(m_store->m_strAdresse, "Moto Muster, Bern");
    EXPECT_EQ(trace.Starting("LadeNeuFz"),
              (QStringList{"LadeNeuFzDatenUndBilder", "LadeNeuFzDatenUndBilder fertig"}));
    EXPECT_EQ(trace.Starting("Checke Foto Gross"),
              (QStringList{"Checke Foto Gross 0   0/0", "Checke Foto Gross 0 a.jpg  600/800"}))
        << "the empty record before the first <neufz> is looked at, too";
    EXPECT_EQ(trace.Starting("Foto Gross"), QStringList{"Foto Gross 0 a.jpg"});

    Load(kFranzoesisch);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(At(0).strPreisZeile, "CHF 12'990.-");
    EXPECT_EQ(At(0).strZustand, QStringLiteral("Véhicule neuf"));
    const QStringList french{"Cat. Enduro",           "Cylindrée 0998 ccm",   "Couple --- Nm",
                             "Nbr cylindres ---",     "Boîte de vitesse ---", "Puissance --- PS",
                             "Hauteur selle 79.0 cm", "PneuAv ---",           "PneuAr ---",
                             "Poids --- kg",          "Couleur Rot ",         "Couleur Schwarz "};
    ASSERT_EQ(At(0).nZeilen, 12);
    EXPECT_EQ(QStringList(At(0).strZeilen.begin(), At(0).strZeilen.begin() + 12), french);
}

TEST_F(LadeNeuFzTest, MainPhotoMustBeLandscapeAndLargeEnough) {
    WritePhoto("Bilder/721x609.jpg", 721, 609);
    WritePhoto("Bilder/720x500.jpg", 720, 500);
    WritePhoto("Bilder/800x610.jpg", 800, 610);
    WritePhoto("Bilder/x_y_k.jpg", 1024, 576);
    WritePhoto("Bilder/ab", 1024, 576);
    QByteArrayList records;
    for (const char* name : {"720x500.jpg", "721x609.jpg", "800x610.jpg", "x/y/k.jpg", "ab"}) {
        Lines lines = Worked();
        lines[22] = name;
        lines[2] = name;
        records << NeuFz(lines);
    }
    WriteList(List(records));
    Load();
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(At(0).strTitel, "KTM 721x609.jpg");
    EXPECT_EQ(At(1).strTitel, "KTM x/y/k.jpg");
    EXPECT_EQ(At(1).nBild[0], 1) << "measuring the skipped photos used no slot";
    EXPECT_EQ(m_store->m_nPictureCount, 2);
}

TEST_F(LadeNeuFzTest, SpecificationPriceAndColourLines) {
    const std::pair<Lines, std::map<int, const char*>> cases[] = {
        {{{5, "0"}, {3, "0"}, {6, "000"}, {11, ""}, {17, "---"}},
         {{0, "Kat. ---"}, {1, "Hubraum  ccm"}, {6, "Sitzhöhe 0.0 cm"}}},
        {{{5, "15"}, {3, "999"}, {6, "0125"}, {17, "a b c"}},
         {{0, "Kat. 15"}, {1, "Hubraum 125 ccm"}}},
        {{{5, "9"}, {17, "rot  blau gelb gr\xfcn wei\xdf \xe9lan"}, {14, "0185"}},
         {{0, "Kat. Gespann"},
          {9, "Gewicht 185 kg"},
          {10, "Farbe Rot "},
          {11, "Farbe Blau "},
          {12, "Farbe Gelb "},
          {13, "Farbe Grün "},
          {14, "Farbe Weiß "}}},
        // Capitals that Windows-1252 holds above U+00FF; a capital it lacks is not made.
        {{{17, "\x9a\xe9 \x9eo \x9cil \xff"
               "e \xb5m"}},
         {{10, "Farbe Šé "},
          {11, "Farbe Žo "},
          {12, "Farbe Œil "},
          {13, "Farbe Ÿe "},
          {14, "Farbe µm "}}},
    };
    QByteArrayList records;
    for (const auto& [changes, expected] : cases) {
        Lines lines = Worked();
        for (const auto& [n, text] : changes)
            lines[n] = text;
        records << NeuFz(lines);
    }
    WriteList(List(records));
    Load();
    ASSERT_EQ(Count(), 4);
    for (int i = 0; i < 4; ++i)
        for (const auto& [n, text] : cases[i].second)
            EXPECT_EQ(At(i).strZeilen[n], QString::fromUtf8(text)) << i << " line " << n;
    EXPECT_EQ(At(0).nKatID, 0);
    EXPECT_EQ(At(0).strPreisZeile, "");
    EXPECT_EQ(At(0).nZeilen, 10);
    EXPECT_EQ(At(1).strPreisZeile, "Fr. 999.-");
    EXPECT_EQ(At(1).nZeilen, 10) << "one-letter words are passed over";
    EXPECT_EQ(At(2).nZeilen, 15) << "five colour lines at most";

    Load(kFranzoesisch);
    EXPECT_EQ(At(0).strZeilen[0], "Cat. ---");
    EXPECT_EQ(At(1).strZeilen[1], "Cylindrée 0125 ccm");
    EXPECT_EQ(At(2).strZeilen[0], "Cat. Side-Car");
    EXPECT_EQ(At(2).strZeilen[14], "Couleur Weiß ");
}

TEST_F(LadeNeuFzTest, FurtherPhotosStopAtTheRecordsEnd) {
    WritePhoto("Bilder/x_b1.jpg", 200, 100);
    WritePhoto("Bilder/b.jpg", 200, 100);
    WritePhoto("Bilder/bb2.jpg", 200, 100);
    WritePhoto("Bilder/<neufz>", 200, 100);
    Lines lines = Worked();
    lines[23] = "x/b1.jpg";
    lines[24] = "b.jpg"; // five characters: too short
    lines[25] = "missing.jpg";
    lines[26] = "bb2.jpg";
    Lines shortRecord = Worked();
    shortRecord[23] = "bb2.jpg";
    WriteList(List({NeuFz(lines), NeuFz(shortRecord, 23)}));
    Load();
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(At(0).nBild, (std::array<int32_t, kBilderProSatz>{0, 1, 0, 0, 2}));
    EXPECT_EQ(At(1).nBild, (std::array<int32_t, kBilderProSatz>{3, 4, 0, 0, 0}));
    EXPECT_EQ(m_store->m_nPictureCount, 5);
}

TEST_F(LadeNeuFzTest, RecordBoundaries) {
    Lines first = Worked();
    first[2] = "first";
    // Before the first "<neufz>" the file's first line is line 0.
    QByteArray list = "line zero\n" + NeuFz(first) + "<neufz>\n";
    Lines shortRecord = {{1, "SHORT"}, {2, "lines 4 to 26 missing"}, {3, "5000"}};
    list += NeuFz(shortRecord, 3) + "<neufz>\n";
    Lines longRecord = Worked();
    longRecord[2] = "long";
    for (int n = 27; n < 150; ++n)
        longRecord[n] = "filler";
    list += NeuFz(longRecord, 149) + "<neufz>\n";
    for (int i = 0; i < 40; ++i) { // over 65535 bytes in all
        Lines padded = Worked();
        padded[2] = "padded " + QByteArray::number(i);
        padded[4] = QByteArray(2000, 'p');
        list += NeuFz(padded) + "<neufz>\n";
    }
    Lines unclosed = Worked();
    unclosed[2] = "unclosed";
    list += NeuFz(unclosed);
    ASSERT_GT(list.size(), 65535);
    WriteList(list);

    Load();
    ASSERT_EQ(Count(), 42);
    EXPECT_EQ(At(0).strTitel, "KTM first");
    EXPECT_EQ(At(1).strTitel, "KTM long") << "the short record saw no lines of the one before";
    EXPECT_EQ(At(1).nZeilen, 12) << "a record over 99 lines is cut, not dropped";
    EXPECT_EQ(At(2).strTitel, "KTM padded 0");
    EXPECT_EQ(At(41).strTitel, "KTM padded 39") << "the record without closing line is not read";
}

TEST_F(LadeNeuFzTest, MissingEmptyOrOversizedListAddsNothing) {
    WriteProfileString(setting::kSection, setting::kAdresse, "from the settings");
    for (int i = 0; i < 3; ++i) {
        if (i == 1)
            WriteList({});
        if (i == 2) {
            WriteList(List({NeuFz(Worked())}));
            ASSERT_TRUE(QFile("Daten/NeufahrzeugeListe.txt").resize(kMaxCacheTextSize + 1));
        }
        m_store->m_strAdresse = "kept";
        CTraceCapture trace;
        Load();
        EXPECT_EQ(Count(), 0) << i;
        EXPECT_EQ(m_store->m_strAdresse, "kept") << i;
        EXPECT_EQ(trace.Starting("LadeNeuFz").size(), 2) << i;
    }
}

TEST_F(LadeNeuFzTest, ListOfMillionsOfShortLinesIsReadLineByLine) {
    constexpr int kFillerMb = 16;
    WriteList(QByteArray("x\n").repeated(kFillerMb * 1024 * 1024 / 2) + List({NeuFz(Worked())}));
    const CPeakMemory peak;
    Load();
    EXPECT_EQ(Count(), 1);
    // Every line held at once would take many times the list's size.
    EXPECT_LT(peak.GrowthMb(), 4 * kFillerMb);
}

TEST_F(LadeNeuFzTest, RecordIsDroppedWhenItsPhotoVanishesBetweenMeasureAndLoad) {
    WriteList(List({NeuFz(Worked())}));
    CTraceCapture trace([](const QString& line) {
        if (line.startsWith("Foto Gross"))
            QFile::remove("Bilder/a.jpg");
    });
    Load();
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(m_store->m_nPictureCount, 0);
    EXPECT_FALSE(m_store->m_bSatzLoaded);
}

TEST_F(LadeNeuFzTest, CapacitiesAreNeverExceeded) {
    Lines lines = Worked();
    lines[23] = "x/a.jpg";
    WritePhoto("Bilder/x_a.jpg", 200, 100);
    WriteList(List({NeuFz(lines), NeuFz(lines)}));
    WriteProfileString(setting::kSection, setting::kAdresse, "reloaded");

    m_store->m_nSatzCount = kMaxSatz - 1;
    CTraceCapture trace;
    m_store->LadeNeuFzDatenUndBilder();
    EXPECT_EQ(m_store->m_nSatzCount, kMaxSatz);
    EXPECT_EQ(m_store->m_nPictureCount, 2);
    EXPECT_EQ(trace.Starting("Katalog voll").size(), 1);
    EXPECT_EQ(m_store->m_strAdresse, "reloaded");

    m_store->ResetBilderUndDaten();
    m_store->m_nPictureCount = kMaxPictures - 1;
    m_store->LadeNeuFzDatenUndBilder();
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(At(0).nBild, (std::array<int32_t, kBilderProSatz>{4999, 0, 0, 0, 0}));
    EXPECT_EQ(m_store->m_nPictureCount, kMaxPictures);
}

} // namespace
