#include "SlideFixture.h"

#include "../catalogue/TraceCapture.h"

#include "settings/Trace.h"
#include "show/CellFonts.h"
#include "show/SlidePainter.h"

#include <QLoggingCategory>
#include <QPainter>
#include <QStringList>
#include <tuple>
#include <vector>

namespace {

using slide::FontSpec;

const QColor kWhite{255, 255, 255};

int Advance(const FontSpec& fontSpec, const QString& text) {
    QImage device(8, 8, QImage::Format_RGB32);
    CCellFonts fonts(&device);
    return fonts.Font(fontSpec).metrics.horizontalAdvance(text);
}

// One opaque text cell: its top-left corner and height, and which neighbours are free (grey)
// rather than covered by another cell.
struct Cell {
    const char* what;
    int x;
    int y;
    int h;
    bool bFreeLeft = true;
    bool bFreeAbove = true;
    bool bFreeBelow = true;
};

void ExpectCells(const QImage& image, const std::vector<Cell>& cells) {
    for (const Cell& c : cells) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(IsBlack(image, QPoint(c.x, c.y)));
        EXPECT_TRUE(IsBlack(image, QPoint(c.x, c.y + c.h - 1)));
        if (c.bFreeLeft) {
            EXPECT_TRUE(IsGrey(image, QPoint(c.x - 1, c.y)));
        }
        if (c.bFreeAbove) {
            EXPECT_TRUE(IsGrey(image, QPoint(c.x, c.y - 1)));
        }
        if (c.bFreeBelow) {
            EXPECT_TRUE(IsGrey(image, QPoint(c.x, c.y + c.h)));
        }
    }
}

// A solid photo's rectangle: its corners inside show its colour, the pixels just outside not.
void ExpectPhoto(const QImage& image, const QRect& r, const QColor& colour) {
    SCOPED_TRACE(testing::Message() << "photo at " << r.x() << "," << r.y());
    EXPECT_TRUE(Near(image.pixel(r.topLeft()), colour));
    EXPECT_TRUE(Near(image.pixel(r.bottomRight()), colour));
    EXPECT_TRUE(Near(image.pixel(r.topRight()), colour));
    EXPECT_TRUE(Near(image.pixel(r.bottomLeft()), colour));
    EXPECT_FALSE(Near(image.pixel(r.left() - 1, r.top()), colour));
    EXPECT_FALSE(Near(image.pixel(r.left(), r.top() - 1), colour));
    EXPECT_FALSE(Near(image.pixel(r.right() + 1, r.bottom()), colour));
    EXPECT_FALSE(Near(image.pixel(r.right(), r.bottom() + 1), colour));
}

} // namespace

class SlidePainterTest : public SlideTest {
protected:
    Satz& NeuFz() {
        Satz& satz = AddSatz(2);
        satz.strTitel = QStringLiteral("Ducati Monster 821");
        satz.strPreisZeile = QStringLiteral("Fr. 12'990.-");
        satz.strZustand = QStringLiteral("Neufahrzeug");
        satz.dRate = 189.5;
        for (int i = 0; i < 12; ++i)
            satz.strZeilen[size_t(i)] = QStringLiteral("Zeile %1").arg(i + 1);
        satz.nZeilen = 12;
        m_store->m_strAdresse = QStringLiteral("Muster Motos AG, Hauptstrasse 1, 8000 Zuerich");
        return satz;
    }

    Satz& Occasion() {
        Satz& satz = AddSatz(1);
        satz.strTitel = QStringLiteral("Honda CBR 600 RR");
        satz.strKmText = QStringLiteral("12'500 km, 1. IV  05.2003, 98PS, ");
        satz.strPreis = QStringLiteral("8'900");
        satz.strZustand = QStringLiteral("Occasion");
        satz.dRate = 189.5;
        for (int i = 0; i < 10; ++i)
            satz.strZeilen[size_t(i)] = QStringLiteral("Zubehoer %1").arg(i + 1);
        satz.nZeilen = 10;
        m_store->m_strAdresse = QStringLiteral("Muster Motos AG, Hauptstrasse 1, 8000 Zuerich");
        return satz;
    }

    // A black run in the top row of a cell: the advance of the text drawn there.
    void ExpectText(const QImage& image, QPoint at, const FontSpec& font, const QString& text) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(BlackRun(image, at), Advance(font, text));
    }
};

TEST_F(SlidePainterTest, NewVehicleTextsStandAtTheirCellsInBothModes) {
    NeuFz();
    ExpectCells(RenderOnGrey(), {
                                    {"title", 20, 5, 50},
                                    {"price line", 840, 480, 50},
                                    {"condition", 840, 56, 32},
                                    {"financing label", 840, 570, 32, true, true, false},
                                    {"financing rate", 840, 600, 32, true, false},
                                    {"first detail line", 840, 92, 30},
                                    {"twelfth detail line", 840, 444, 30},
                                    {"address", 20, 667, 38},
                                    {"web address", 1120, 680, 22},
                                });
    EXPECT_TRUE(IsGrey(RenderOnGrey(), QPoint(840, 476))); // no thirteenth line

    SetMode(true);
    const QImage large = RenderOnGrey();
    ExpectCells(large, {
                           {"title", 40, 20, 60},
                           {"price line", 950, 782, 60},
                           {"condition", 900, 96, 40},
                           {"financing label", 40, 800, 40},
                           {"financing rate", 280, 800, 40, false},
                           {"first detail line", 900, 140, 30},
                           {"twelfth detail line", 900, 580, 30},
                           {"address", 40, 940, 44},
                           {"web address", 1380, 950, 25},
                       });
    ExpectText(large, {950, 782}, {60, 820}, QStringLiteral("Fr. 12'990.-"));
    ExpectText(large, {900, 140}, {30, 500}, QStringLiteral("- Zeile 1"));
    ExpectText(large, {1380, 950}, {25, 240}, QStringLiteral("www.zelvora.example"));
    ExpectText(large, {280, 800}, {40, 840}, QStringLiteral("ab Fr. 189.50 p/M."));
}

TEST_F(SlidePainterTest, UsedVehicleTextsStandAtTheirCellsInBothModes) {
    Occasion();
    const QImage small = RenderOnGrey();
    ExpectCells(small, {
                           {"title", 40, 20, 50, true, true, false},
                           {"mileage", 40, 70, 36, true, false},
                           {"condition", 710, 130, 32},
                           {"financing label", 710, 540, 32, true, true, false},
                           {"financing rate", 710, 570, 32, true, false},
                           {"first detail line", 710, 177, 30},
                           {"tenth detail line", 710, 465, 30},
                           {"address", 40, 640, 34},
                           {"web address", 1120, 680, 22},
                       });
    // The small layout has no price line of its own: the price ends the mileage line.
    ExpectText(small, {40, 70}, {36, 300},
               QStringLiteral("12'500 km, 1. IV  05.2003, 98PS, , Fr. 8'900.-"));

    SetMode(true);
    const QImage large = RenderOnGrey();
    ExpectCells(large, {
                           {"title", 40, 30, 60},
                           {"mileage", 40, 110, 44},
                           {"price", 950, 782, 60},
                           {"condition", 870, 170, 40},
                           {"financing label", 40, 800, 40},
                           {"financing rate", 280, 800, 40, false},
                           {"first detail line", 870, 232, 36, true, true, false},
                           {"tenth detail line", 870, 520, 36, true, false},
                           {"address", 40, 940, 40},
                           {"web address", 1380, 950, 25},
                       });
    ExpectText(large, {40, 110}, {44, 360}, QStringLiteral("12'500 km, 1. IV  05.2003, 98PS, "));
    ExpectText(large, {950, 782}, {60, 820}, QStringLiteral("Fr. 8'900.-"));
    ExpectText(large, {870, 232}, {36, 600}, QStringLiteral("- Zubehoer 1"));

    m_store->m_nSprache = 2;
    const QImage french = RenderOnGrey();
    ExpectText(french, {950, 782}, {60, 820}, QStringLiteral("CHF 8'900.-"));
    ExpectText(french, {280, 800}, {40, 840}, QStringLiteral("dès CHF 189.50 / mois"));
    ExpectText(french, {40, 800}, {40, 840}, QStringLiteral("Financement"));
    ExpectText(french, {1380, 950}, {25, 240}, QStringLiteral("fr.zelvora.example"));
}

TEST_F(SlidePainterTest, UsedVehicleWithoutPriceShowsMileageAloneAndNoPriceLine) {
    Occasion().strPreis.clear();
    ExpectText(RenderOnGrey(), {40, 70}, {36, 300},
               QStringLiteral("12'500 km, 1. IV  05.2003, 98PS, "));
    SetMode(true);
    EXPECT_TRUE(IsGrey(RenderOnGrey(), QPoint(950, 782)));
}

TEST_F(SlidePainterTest, FinancingOnlyAboveTwentyFrancs) {
    struct Area {
        bool bLarge;
        int nArt;
        QRect label;
        QRect rate;
    };
    const Area areas[] = {
        {false, 1, QRect(710, 540, 300, 30), QRect(710, 572, 400, 30)},
        {false, 2, QRect(840, 570, 300, 30), QRect(840, 602, 400, 30)},
        {true, 1, QRect(40, 800, 230, 40), QRect(280, 800, 400, 40)},
        {true, 2, QRect(40, 800, 230, 40), QRect(280, 800, 400, 40)},
    };
    for (const Area& area : areas) {
        SCOPED_TRACE(testing::Message() << "large " << area.bLarge << " art " << area.nArt);
        m_store->m_nSatzCount = 0;
        Satz& satz = AddSatz(area.nArt);
        SetMode(area.bLarge);
        satz.dRate = 20.0;
        QImage image = Render();
        EXPECT_EQ(CountNear(image, area.label, kWhite, 60), 0);
        EXPECT_EQ(CountNear(image, area.rate, kWhite, 60), 0);
        satz.dRate = 20.01;
        image = Render();
        EXPECT_GT(CountNear(image, area.label, kWhite, 60), 0);
        EXPECT_GT(CountNear(image, area.rate, kWhite, 60), 0);
        if (area.bLarge)
            ExpectText(RenderOnGrey(), {280, 800}, {40, 840}, QStringLiteral("ab Fr. 20.01 p/M."));
    }
}

TEST_F(SlidePainterTest, PhotosStandInTheirColumnForOneToFourSmallPhotos) {
    struct Layout {
        int nArt;
        bool bLarge;
        QRect main;
        std::vector<std::vector<int>> smallY; // by number of small photos
    };
    const Layout layouts[] = {
        {2,
         false,
         QRect(20, 60, 800, 400),
         {{275}, {190, 355}, {130, 295, 460}, {25, 190, 355, 520}}},
        {1,
         false,
         QRect(40, 130, 640, 480),
         {{275}, {200, 365}, {130, 295, 460}, {25, 190, 355, 520}}},
        {2,
         true,
         QRect(40, 100, 840, 560),
         {{365}, {250, 475}, {200, 425, 650}, {90, 305, 520, 735}}},
        {1,
         true,
         QRect(40, 180, 800, 600),
         {{365}, {250, 475}, {200, 425, 650}, {90, 305, 520, 735}}},
    };
    const QColor mainColour(200, 40, 40);
    const QColor smallColours[] = {{40, 200, 40}, {40, 40, 200}, {200, 200, 40}, {40, 200, 200}};
    for (const Layout& layout : layouts) {
        SetMode(layout.bLarge);
        // 240 x 160 photos, drawn at 125 % in the large layout.
        const int x = layout.bLarge ? 1360 : 1115;
        const QSize smallSize = layout.bLarge ? QSize(300, 200) : QSize(240, 160);
        for (int n = 1; n <= 4; ++n) {
            SCOPED_TRACE(testing::Message()
                         << "art " << layout.nArt << " large " << layout.bLarge << " n " << n);
            m_store->m_nSatzCount = 0;
            Satz& satz = AddSatz(layout.nArt);
            satz.nBild = {};
            satz.nBild[0] = AddPhoto(layout.main.width(), layout.main.height(), mainColour);
            for (int k = 1; k <= n; ++k)
                satz.nBild[size_t(k)] = AddPhoto(240, 160, smallColours[k - 1]);
            const QImage image = Render();
            ExpectPhoto(image, layout.main, mainColour);
            for (int k = 0; k < n; ++k)
                ExpectPhoto(image,
                            QRect(QPoint(x, layout.smallY[size_t(n - 1)][size_t(k)]), smallSize),
                            smallColours[k]);
        }

        // Photos in the third and fifth fields only: two present, at the two-photo places in
        // field order.
        SCOPED_TRACE(testing::Message() << "fields 2 and 4, art " << layout.nArt);
        m_store->m_nSatzCount = 0;
        Satz& satz = AddSatz(layout.nArt);
        satz.nBild = {};
        satz.nBild[0] = AddPhoto(layout.main.width(), layout.main.height(), mainColour);
        satz.nBild[2] = AddPhoto(240, 160, smallColours[0]);
        satz.nBild[4] = AddPhoto(240, 160, smallColours[1]);
        const QImage image = Render();
        ExpectPhoto(image, QRect(QPoint(x, layout.smallY[1][0]), smallSize), smallColours[0]);
        ExpectPhoto(image, QRect(QPoint(x, layout.smallY[1][1]), smallSize), smallColours[1]);
    }
}

TEST_F(SlidePainterTest, PhotosLargerThanTheirRoomAreScaledDownIntoItKeepingTheirProportions) {
    // By kind and layout: the main photo's place and room, and one small photo's room (drawn
    // at 125 % in the large layout: 256 x 172 fills it).
    const std::tuple<int, bool, QRect, QRect> cases[] = {
        {2, false, QRect(20, 60, 820, 607), QRect(1115, 275, 251, 160)},
        {1, false, QRect(40, 130, 670, 510), QRect(1115, 275, 251, 160)},
        {2, true, QRect(40, 100, 860, 700), QRect(1360, 365, 320, 215)},
        {1, true, QRect(40, 180, 830, 620), QRect(1360, 365, 320, 215)},
    };
    for (const auto& [nArt, bLarge, main, small] : cases) {
        SetMode(bLarge);
        const QSize smallPhoto = bLarge ? QSize(256, 172) : small.size();
        // Filling the room: its own size. Twice as wide or as high: half of the other side.
        for (const QSize factor : {QSize(1, 1), QSize(2, 1), QSize(1, 2)}) {
            SCOPED_TRACE(testing::Message() << "art " << nArt << " large " << bLarge << " "
                                            << factor.width() << "x" << factor.height());
            const auto photo = [&](QSize size, const QColor& colour) {
                return AddPhoto(size.width() * factor.width(), size.height() * factor.height(),
                                colour);
            };
            const auto drawn = [&](const QRect& room) {
                return QRect(room.topLeft(),
                             QSize(room.width() / factor.height(), room.height() / factor.width()));
            };
            m_store->m_nSatzCount = 0;
            AddSatz(nArt).nBild = {photo(main.size(), Qt::red), photo(smallPhoto, Qt::blue), 0, 0,
                                   0};
            const QImage image = Render();
            ExpectPhoto(image, drawn(main), Qt::red);
            ExpectPhoto(image, drawn(small), Qt::blue);
        }
    }
}

TEST_F(SlidePainterTest, PhotoWithoutPictureIsLeftOutAndTheRestDrawn) {
    Satz& satz = Occasion();
    satz.nBild = {};
    satz.nBild[0] = AddPhoto(640, 480, QColor(200, 40, 40));
    satz.nBild[1] = m_store->m_nPictureCount + 3; // a slot never filled
    satz.nBild[2] = AddPhoto(240, 160, QColor(40, 40, 200));
    const QImage image = Render();
    ExpectPhoto(image, QRect(40, 130, 640, 480), QColor(200, 40, 40));
    // Still counted as present: the filled one stands at the second two-photo place.
    EXPECT_TRUE(IsBlack(image, QPoint(1200, 280)));
    ExpectPhoto(image, QRect(1115, 365, 240, 160), QColor(40, 40, 200));

    // A main photo whose slot holds nothing: the texts still come.
    satz.nBild[0] = m_store->m_nPictureCount + 5;
    EXPECT_GT(CountNear(Render(), QRect(40, 20, 300, 50), kWhite, 60), 0);
}

TEST_F(SlidePainterTest, LongAddressSwitchesFontAfterSixtyThreeCharacters) {
    // Cell heights with an address of 63 and of 64 characters: smaller on a new-vehicle
    // slide, larger on a used one.
    struct Case {
        int nArt;
        bool bLarge;
        QPoint at;
        int nUsual;
        int nLong;
    };
    const Case cases[] = {
        {2, false, {20, 667}, 38, 34},
        {2, true, {40, 940}, 44, 40},
        {1, false, {40, 640}, 34, 36},
        {1, true, {40, 940}, 40, 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "art " << c.nArt << " large " << c.bLarge);
        m_store->m_nSatzCount = 0;
        AddSatz(c.nArt);
        SetMode(c.bLarge);
        for (const int nLength : {63, 64}) {
            m_store->m_strAdresse = QStringLiteral("M") + QString(nLength - 1, u'i');
            const int h = nLength == 63 ? c.nUsual : c.nLong;
            const QImage image = RenderOnGrey();
            EXPECT_TRUE(IsBlack(image, c.at + QPoint(0, h - 1))) << nLength;
            EXPECT_TRUE(IsGrey(image, c.at + QPoint(0, h))) << nLength;
        }
    }
    // The long address keeps weight 700 on a used slide in the large layout.
    ExpectText(RenderOnGrey(), {40, 940}, {42, 700}, m_store->m_strAdresse);
}

TEST_F(SlidePainterTest, DetailLinesAreBoundedByTheSlideAndNeverNegative) {
    Satz& satz = NeuFz();
    satz.nZeilen = 1000; // more than a slide holds
    for (auto& zeile : satz.strZeilen)
        zeile = QStringLiteral("x");
    satz.strPreisZeile.clear(); // no price for the lines to stop at
    const QImage many = RenderOnGrey();
    EXPECT_TRUE(IsBlack(many, QPoint(840, 92 + 14 * 32)));

    satz.nZeilen = -3;
    EXPECT_TRUE(IsGrey(RenderOnGrey(), QPoint(840, 92)));
}

TEST_F(SlidePainterTest, MessagesWhileNothingIsLoaded) {
    struct Case {
        int nSprache;
        const char* kundenNr;
        const char* text;
        const char* where; // where to enter the credentials
    };
    const Case cases[] = {
        {1, "4711", "Bilder und Daten werden geladen ...", nullptr},
        {1, "", "Bitte KundenNr und Passwort eingeben !",
         "Menü Einstellungen › Authorisation (Alt oder F10 zeigt das Menü)"},
        {2, "4711", "Téléchargement images et données ...", nullptr},
        {2, "", "SVP saisir No de client et Mot de passe !",
         "Menu Einstellungen › Authorisation (Alt ou F10 affiche le menu)"},
    };
    Occasion();
    m_store->m_bSatzLoaded = false;
    m_store->m_strPromoText = QStringLiteral("ROT: Aktion");
    for (const Case& c : cases) {
        for (const bool bLarge : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.text << " large " << bLarge);
            SetMode(bLarge);
            m_store->m_nSprache = c.nSprache;
            m_store->m_strKundenNr = QString::fromLatin1(c.kundenNr);
            const QPoint at = bLarge ? QPoint(380, 480) : QPoint(320, 350);
            const int nWidth = Advance({50, 700}, QString::fromUtf8(c.text));
            ExpectCells(RenderOnGrey(), {{"message", at.x(), at.y(), 50}});
            ExpectText(RenderOnGrey(), at, {50, 700}, QString::fromUtf8(c.text));
            QRect drawn(at, QSize(nWidth, 50));
            if (c.where) {
                const QPoint whereAt = bLarge ? QPoint(380, 560) : QPoint(320, 420);
                ExpectText(RenderOnGrey(), whereAt, {32, 400}, QString::fromUtf8(c.where));
                drawn |= QRect(whereAt, QSize(Advance({32, 400}, QString::fromUtf8(c.where)), 32));
                EXPECT_LE(drawn.right(), 1366) << "within the small layout";
            }
            // The message alone: no slide, no promotion line.
            EXPECT_TRUE(BlackOutside(Render(), drawn));
        }
    }
    // Another language value has no message.
    m_store->m_nSprache = 0;
    EXPECT_TRUE(BlackOutside(Render(), QRect()));
}

TEST_F(SlidePainterTest, PromotionLineColourTextAndPlace) {
    Occasion();
    SetMode(true);
    struct Case {
        int nSprache;
        const char* promo;
        const char* shown; // nullptr: nothing drawn
        QColor colour;
    };
    const QString i190(190, u'i');
    const QByteArray yellow200 = "GELB:" + QByteArray(10, ' ') + QByteArray(250, 'i');
    const Case cases[] = {
        {1, "rot:  Grosse Aktion", "Grosse Aktion", QColor(255, 0, 0)},
        {1, "GRÜN: Frühling", "Frühling", QColor(0, 255, 0)},
        {1, "Blau:Winterpreise", "Winterpreise", QColor(0, 0, 255)},
        {1, "gelb: Sommer", "Sommer", QColor(255, 255, 0)},
        {1, "ROTE Zahlen", "ROTE Zahlen", kWhite},
        {1, "grün: Frühling", "grün: Frühling", kWhite}, // only a to z are made upper case
        {1, "ROUGE: Soldes", "ROUGE: Soldes", kWhite},
        {2, "rouge: Soldes", "Soldes", QColor(255, 0, 0)},
        {2, "vert: Printemps", "Printemps", QColor(0, 255, 0)},
        {2, "BLEU: Hiver", "Hiver", QColor(0, 0, 255)},
        {2, "Jaune: Ete", "Ete", QColor(255, 255, 0)},
        {2, "ROT: Aktion", "ROT: Aktion", kWhite},
        {1, "ROT:abc", "abc", QColor(255, 0, 0)},
        {1, "ROT:ab", nullptr, kWhite},
        {1, "Aktion", nullptr, kWhite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.promo);
        m_store->m_nSprache = c.nSprache;
        m_store->m_strPromoText = QString::fromUtf8(c.promo);
        const QImage image = RenderOnGrey();
        if (!c.shown) {
            EXPECT_TRUE(IsGrey(image, QPoint(40, 870)));
            continue;
        }
        ExpectCells(image, {{"promotion", 40, 870, 40}});
        const QRect cell(40, 870, Advance({40, 400}, QString::fromUtf8(c.shown)), 40);
        ExpectText(image, {40, 870}, {40, 400}, QString::fromUtf8(c.shown));
        EXPECT_GT(CountNear(image, cell, c.colour, 0), 0);
        if (c.colour != kWhite) {
            EXPECT_EQ(CountNear(image, cell, kWhite, 30), 0);
        }
    }

    // At most 200 characters after the prefix, then the blanks before the text go.
    m_store->m_nSprache = 1;
    m_store->m_strPromoText = QString::fromLatin1(yellow200);
    ExpectText(RenderOnGrey(), {40, 870}, {40, 400}, i190);

    // Never in the small layout.
    SetMode(false);
    m_store->m_strPromoText = QStringLiteral("rot:  Grosse Aktion");
    EXPECT_EQ(CountNear(Render(), QRect(0, 0, 1366, 768), QColor(255, 0, 0), 0), 0);
}

TEST_F(SlidePainterTest, WithoutACurrentSlideOnlyThePromotionLineIsDrawn) {
    Occasion();
    NeuFz();
    SetMode(true);
    m_store->m_strPromoText = QStringLiteral("ROT: Aktion");
    const QRect promo(40, 870, Advance({40, 400}, QStringLiteral("Aktion")), 40);
    // -1, an index past the loaded slides, and a slide of neither kind.
    for (const int nSatz : {-1, 2, 999, 5000, -7}) {
        SCOPED_TRACE(nSatz);
        m_store->m_nCurrentSatz = nSatz;
        const QImage image = Render();
        EXPECT_TRUE(BlackOutside(image, promo));
        EXPECT_GT(CountNear(image, promo, QColor(255, 0, 0), 0), 0);
    }
    m_store->m_nCurrentSatz = 0;
    m_store->m_satz[0].nArt = 3;
    EXPECT_TRUE(BlackOutside(Render(), promo));
}

TEST_F(SlidePainterTest, AnotherLanguageShowsNoWordsOfItsOwn) {
    Occasion();
    SetMode(true);
    m_store->m_nSprache = 0;
    const QImage image = RenderOnGrey();
    EXPECT_TRUE(IsGrey(image, QPoint(950, 782)));  // price line
    EXPECT_TRUE(IsGrey(image, QPoint(40, 800)));   // financing
    EXPECT_TRUE(IsGrey(image, QPoint(1380, 950))); // web address
    EXPECT_TRUE(IsBlack(image, QPoint(40, 30)));   // the slide's own texts remain
}

TEST_F(SlidePainterTest, ExposedAreaIsComposedOffScreenAndCopiedInOnePiece) {
    Satz& satz = Occasion();
    satz.nBild[0] = AddPhoto(640, 480, QColor(200, 40, 40));
    const QImage whole = Render();

    QImage target(kSmallView, QImage::Format_RGB32);
    target.fill(kGrey);
    const QRect area(30, 60, 500, 300);
    QPainter dc(&target);
    PaintSlide(dc, area, *m_store);
    PaintSlide(dc, QRect(), *m_store); // nothing exposed, nothing painted
    dc.end();
    EXPECT_TRUE(target.copy(area) == whole.copy(area));
    EXPECT_TRUE(IsGrey(target, area.topLeft() - QPoint(1, 1)));
    EXPECT_TRUE(IsGrey(target, area.bottomRight() + QPoint(1, 1)));

    // On a high-density target the slide is composed at the target's device pixels.
    QImage dense(kSmallView * 2, QImage::Format_RGB32);
    dense.setDevicePixelRatio(2);
    dense.fill(kGrey);
    dc.begin(&dense);
    PaintSlide(dc, QRect(QPoint(), kSmallView), *m_store);
    dc.end();
    EXPECT_TRUE(Near(dense.pixel(80, 260), QColor(200, 40, 40)));
    EXPECT_TRUE(IsBlack(dense, QPoint(79, 260)));
    // Text drawn at device pixels has detail finer than a 2 x 2 block of an enlarged image.
    bool bFiner = false;
    for (int y = 40; y < 140 && !bFiner; y += 2)
        for (int x = 80; x < 600 && !bFiner; x += 2)
            bFiner = dense.pixel(x, y) != dense.pixel(x + 1, y) ||
                     dense.pixel(x, y) != dense.pixel(x, y + 1);
    EXPECT_TRUE(bFiner);
}

TEST_F(SlidePainterTest, TracesTheStartAndTheEndOfEveryPaint) {
    static QStringList lines;
    lines.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("zelvora.trace.debug=true"));
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& m) {
            if (QByteArrayView(context.category) == "zelvora.trace" &&
                m.startsWith(QStringLiteral("ZeigeSatz")))
                lines << m;
        });
    Render();
    m_store->m_bSatzLoaded = false;
    Render();
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    const QStringList expected{"ZeigeSatzAufBildschirm", "ZeigeSatzAufBildschirm fertig",
                               "ZeigeSatzAufBildschirm", "ZeigeSatzAufBildschirm fertig"};
    EXPECT_EQ(lines, expected);
}

TEST_F(SlidePainterTest, RenderOfAnEmptySizeIsNull) {
    EXPECT_TRUE(RenderSlide(*m_store, QSize()).isNull());
    EXPECT_TRUE(RenderSlide(*m_store, QSize(0, 768)).isNull());
}

TEST_F(SlidePainterTest, DetailLinesStopBeforeThePriceAndTheRestIsUnchanged) {
    Satz& satz = NeuFz();
    const QImage twelve = Render();
    for (int i = 12; i < 15; ++i)
        satz.strZeilen[size_t(i)] = QStringLiteral("Farbe Rot");
    satz.nZeilen = 15;
    {
        CTraceCapture trace;
        EXPECT_EQ(Render(), twelve) << "the thirteenth line would reach the price at y = 480";
        EXPECT_TRUE(trace.Lines().contains(QStringLiteral("Zeilen 13 bis 15 ausgelassen: Preis")));
    }
    SetMode(true);
    EXPECT_TRUE(IsBlack(RenderOnGrey(), QPoint(900, 100 + 15 * 40))) << "room for all of them";
}

TEST_F(SlidePainterTest, TextsThatRunIntoACellOrOffTheViewAreDrawnSmallerOrCut) {
    Satz& satz = Occasion();
    const int nMain = AddPhoto(640, 480, Qt::blue);
    const int nPhoto = AddPhoto(160, 120, Qt::red);
    satz.nBild = {nMain, nPhoto, nPhoto, nPhoto, nPhoto};
    const auto cellHeight = [](const QImage& image, QPoint at) {
        int h = 0;
        while (IsBlack(image, at + QPoint(0, h)))
            ++h;
        return h;
    };

    // Texts that fit are drawn exactly as a lone opaque cell.
    QImage alone(kSmallView, QImage::Format_RGB32);
    alone.fill(kGrey);
    {
        QPainter dc(&alone);
        CCellFonts fonts(&alone);
        const CellFont& font = fonts.Font({50, 700});
        dc.fillRect(QRect(40, 20, font.metrics.horizontalAdvance(satz.strTitel), 50), Qt::black);
        dc.setFont(font.font);
        dc.setPen(kWhite);
        dc.drawText(QPoint(40, 20 + font.nAscent), satz.strTitel);
    }
    const QRect title(40, 20, Advance({50, 700}, satz.strTitel), 50);
    EXPECT_EQ(RenderOnGrey().copy(title), alone.copy(title));

    // Into the small photo column at x = 1115: smaller, and the photo stays whole.
    satz.strTitel = QStringLiteral("Harley-Davidson FLHTK Electra Glide Ultra Limited Edition");
    ASSERT_GT(Advance({50, 700}, satz.strTitel), 1115 - 40);
    QImage image = RenderOnGrey();
    const int h = cellHeight(image, {40, 20});
    EXPECT_LT(h, 50);
    EXPECT_GE(h, 38);
    EXPECT_EQ(BlackRun(image, {40, 20}), Advance({h, 700}, satz.strTitel));
    EXPECT_LE(40 + BlackRun(image, {40, 20}), 1115);
    EXPECT_GT(Advance({h + 1, 700}, satz.strTitel), 1115 - 40) << "just small enough";
    EXPECT_TRUE(Near(image.pixel(1115, 30), Qt::red));

    // Off the view's right edge, not even fitting at three quarters: cut at the edge.
    SetMode(true);
    satz.strTitel = satz.strTitel.repeated(3);
    image = RenderOnGrey();
    EXPECT_EQ(cellHeight(image, {40, 30}), 45);
    EXPECT_EQ(BlackRun(image, {40, 30}), kLargeView.width() - 40);

    // The large layout's detail lines are 36 px high but 32 px apart: the descenders of one
    // line stay visible over the top of the next one's cell.
    satz.strZeilen[0] = satz.strZeilen[1] = QStringLiteral("gypq gypq gypq");
    image = Render();
    const QRect band(870, 232 + 32, Advance({36, 600}, QStringLiteral("- gypq gypq gypq")), 4);
    EXPECT_GT(CountNear(image, band, kWhite, 160), 0);
}
