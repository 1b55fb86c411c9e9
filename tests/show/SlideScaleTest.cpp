#include "SlideFixture.h"

#include "catalogue/PictureLoader.h"
#include "show/SlideFrame.h"
#include "show/SlideLayout.h"
#include "show/SlideLookAhead.h"
#include "show/SlidePainter.h"

#include <QFile>
#include <QPainter>
#include <algorithm>

namespace {

const QColor kMainColour{200, 40, 40};
const QColor kSmallColour{40, 60, 210};

// The layout's drawing, untransformed: the composition as the table screens show it.
QImage TableComposition(CSatzStore& store, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter dc(&image);
    ZeigeSatzAufBildschirm(dc, store);
    return image;
}

// The slide through the frame of a view of that size, over grey so text cells show.
QImage ScaledOnGrey(CSatzStore& store, QSize view) {
    QImage image(view, QImage::Format_RGB32);
    image.fill(kGrey);
    QPainter dc(&image);
    dc.setWorldTransform(FitSlide(store.m_nResMode, view, true).Transform());
    ZeigeSatzAufBildschirm(dc, store);
    return image;
}

// The smallest rectangle holding every pixel that is not black.
QRect Drawn(const QImage& image) {
    QRect r;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xFFFFFF) != 0)
                r |= QRect(x, y, 1, 1);
    }
    return r;
}

// A text cell over grey: its width along its top row, and its height down the column between
// glyphs where it runs furthest.
QSize Cell(const QImage& image, QPoint topLeft) {
    const int nWidth = BlackRun(image, topLeft);
    int nHeight = 0;
    for (int x = topLeft.x(); x < topLeft.x() + nWidth; ++x) {
        int h = 0;
        while (topLeft.y() + h < image.height() && IsBlack(image, QPoint(x, topLeft.y() + h)))
            ++h;
        nHeight = std::max(nHeight, h);
    }
    return {nWidth, nHeight};
}

class SlideScaleTest : public SlideTest {
protected:
    void Slide() {
        Satz& satz = AddSatz(1);
        satz.strTitel = QStringLiteral("Honda CBR 600 RR");
        satz.strKmText = QStringLiteral("12'500 km, 1. IV  05.2003");
        satz.strPreis = QStringLiteral("8'900");
        satz.strZustand = QStringLiteral("Occasion");
        satz.dRate = 189.5;
        satz.strZeilen[0] = QStringLiteral("Koffer");
        satz.nZeilen = 1;
        m_store->m_strAdresse = QStringLiteral("Muster Motos AG, Hauptstrasse 1, 8000 Zuerich");
        m_store->m_strPromoText = QStringLiteral("GELB: Aktion");
        satz.nBild[0] = AddPhoto(800, 600, kMainColour);
        satz.nBild[1] = AddPhoto(224, 168, kSmallColour);
        satz.nBild[2] = AddPhoto(224, 168, kSmallColour);
    }
};

} // namespace

TEST(SlideFrame, TableScreensKeepTheSlideAndLargerViewsScaleItCentred) {
    for (const QSize view : {QSize(1366, 768), QSize(1366, 740), QSize(800, 600)})
        EXPECT_EQ(FitSlide(1, view, true).Transform(), QTransform()) << view.width();
    for (const QSize view : {QSize(1680, 1050), QSize(1920, 1080), QSize(1980, 1080),
                             QSize(1920, 1050), QSize(1024, 768)})
        EXPECT_EQ(FitSlide(2, view, true).Transform(), QTransform()) << view.width();
    EXPECT_EQ(FitSlide(2, QSize(3840, 2160), false).Transform(), QTransform());

    const SlideFrame tv = FitSlide(2, QSize(3840, 2160), true);
    EXPECT_NEAR(tv.dScale, 2160.0 / 1050, 1e-9);
    EXPECT_EQ(tv.origin, QPoint(192, 0));
    const SlideFrame small = FitSlide(1, QSize(1920, 1080), true);
    EXPECT_NEAR(small.dScale, 1920.0 / 1366, 1e-9);
    EXPECT_EQ(small.origin, QPoint(0, 0));
    const SlideFrame portrait = FitSlide(2, QSize(1080, 1920), true);
    EXPECT_NEAR(portrait.dScale, 1080.0 / 1680, 1e-9);
    EXPECT_EQ(portrait.origin, QPoint(0, 622));
}

TEST_F(SlideScaleTest, TableScreensAndSmallerViewsAreDrawnAsTheLayoutInBothLanguages) {
    Slide();
    for (const bool bLarge : {false, true}) {
        SetMode(bLarge);
        for (const int nSprache : {1, 2}) {
            m_store->m_nSprache = nSprache;
            const QList<QSize> views =
                bLarge ? QList<QSize>{{1680, 1050}, {1920, 1080}, {1980, 1080}, {1920, 1050}}
                       : QList<QSize>{{1366, 768}, {1366, 740}};
            for (const QSize view : views) {
                SCOPED_TRACE(testing::Message() << bLarge << " " << nSprache << " " << view.width()
                                                << "x" << view.height());
                EXPECT_TRUE(RenderSlide(*m_store, view) == TableComposition(*m_store, view));
                QImage painted(view, QImage::Format_RGB32);
                QPainter dc(&painted);
                PaintSlide(dc, painted.rect(), *m_store, FitSlide(m_store->m_nResMode, view, true));
                dc.end();
                EXPECT_TRUE(painted == TableComposition(*m_store, view));
            }
            // Without fitting, a 4K view shows the table size in its top-left corner.
            const QImage corner = RenderSlide(*m_store, QSize(3840, 2160), false);
            const QImage table = TableComposition(*m_store, ViewSize());
            EXPECT_TRUE(corner.copy(table.rect()) == table);
            EXPECT_TRUE(BlackOutside(corner, table.rect()));
        }
    }
}

TEST_F(SlideScaleTest, LargerViewsShowTheWholeSlideCentredWithCellsInProportion) {
    Slide();
    struct Case {
        bool bLarge;
        QSize view;
    };
    for (const Case c :
         {Case{true, {3840, 2160}}, Case{false, {3840, 2160}}, Case{true, {2560, 1440}},
          Case{true, {1920, 1200}}, Case{true, {1080, 1920}}}) {
        SCOPED_TRACE(testing::Message()
                     << c.bLarge << " " << c.view.width() << "x" << c.view.height());
        SetMode(c.bLarge);
        const SlideFrame frame = FitSlide(m_store->m_nResMode, c.view, true);
        const QRect area(frame.origin,
                         (QSizeF(slide::kLayoutExtent[c.bLarge]) * frame.dScale).toSize());
        EXPECT_TRUE(QRect(QPoint(), c.view).contains(area));
        EXPECT_LE(std::abs((c.view.width() - area.width()) - 2 * area.x()), 1);
        EXPECT_LE(std::abs((c.view.height() - area.height()) - 2 * area.y()), 1);

        // Everything the layout draws is there, where the frame puts it: nothing is cut.
        const QImage image = RenderSlide(*m_store, c.view);
        const QRect table = Drawn(TableComposition(*m_store, ViewSize()));
        const QRect scaled = Drawn(image);
        const QRect expected = frame.Transform().mapRect(QRectF(table)).toRect();
        EXPECT_LE((scaled.topLeft() - expected.topLeft()).manhattanLength(), 6);
        EXPECT_LE((scaled.bottomRight() - expected.bottomRight()).manhattanLength(), 6);
        EXPECT_TRUE(area.contains(scaled));

        // Photos fill their scaled rectangles, smoothly scaled from solid colours.
        const QPointF main = frame.Transform().map(QPointF(40, c.bLarge ? 180 : 130));
        EXPECT_TRUE(Near(image.pixel((main + QPointF(2, 2)).toPoint()), kMainColour));
        EXPECT_TRUE(
            Near(image.pixel((main + QPointF(798, 598) * frame.dScale).toPoint()), kMainColour));
        EXPECT_TRUE(IsBlack(image, (main - QPointF(2, 2)).toPoint()));

        // Text cells: the same shape as on the table screen, scaled.
        const QImage grey = ScaledOnGrey(*m_store, c.view);
        const QImage tableGrey = RenderOnGrey();
        for (const QPoint at :
             {QPoint(40, c.bLarge ? 30 : 20), QPoint(c.bLarge ? 870 : 710, c.bLarge ? 170 : 130)}) {
            const QSize unscaled = Cell(tableGrey, at);
            const QPoint corner = frame.Transform().map(QPointF(at)).toPoint() + QPoint(1, 1);
            const QSize cell = Cell(grey, corner) + QSize(1, 1);
            EXPECT_NEAR(cell.width(), unscaled.width() * frame.dScale, 3 + 0.02 * cell.width());
            EXPECT_NEAR(cell.height(), unscaled.height() * frame.dScale, 3);
            // And its glyphs are drawn, not only the cell behind them.
            EXPECT_GT(CountNear(grey, QRect(corner, cell), Qt::white), cell.height());
        }
    }
}

TEST_F(SlideScaleTest, ScaledPhotosAreHeldAtTheirDrawnSizeAndTextIsDrawnAtDevicePixels) {
    Slide();
    SetMode(true);
    const QSize view(3840, 2160);
    const qreal dScale = FitSlide(2, view, true).dScale;
    const int nMain = m_store->m_satz[0].nBild[0];
    const QSize drawn = CPictureLoader::DrawnSize(m_store->m_pictureSize[size_t(nMain)], 100,
                                                  QTransform::fromScale(dScale, dScale));
    EXPECT_EQ(drawn, QSize(1646, 1234));
    EXPECT_FALSE(CPictureLoader::DrawnSize(m_store->m_pictureSize[size_t(nMain)], 125,
                                           QTransform::fromTranslate(5, 5))
                     .isValid())
        << "unscaled: drawn as decoded";

    // At 200 % desktop scale the view is 1920 x 1080 logical pixels: drawn as the table screen
    // at twice the pixels, not scaled a second time.
    QImage dense(QSize(3840, 2160), QImage::Format_RGB32);
    dense.setDevicePixelRatio(2);
    QPainter dc(&dense);
    PaintSlide(dc, QRect(0, 0, 1920, 1080), *m_store, FitSlide(2, QSize(1920, 1080), true));
    dc.end();
    EXPECT_TRUE(Near(dense.pixel(82, 362), kMainColour));
    EXPECT_TRUE(IsBlack(dense, QPoint(78, 362)));
    EXPECT_TRUE(Near(dense.pixel(80 + 1598, 360 + 1198), kMainColour));
    EXPECT_TRUE(IsBlack(dense, QPoint(80 + 1602, 360 + 1198)));

    // Looked ahead at the drawn size, the photos need neither their files nor a rescale.
    PrefetchSlide(*m_store, 0, dScale);
    const QImage held = m_store->Picture(nMain, drawn);
    EXPECT_EQ(held.size(), drawn);
    for (int nSlot = 0; nSlot < m_store->m_nPictureCount; ++nSlot)
        ASSERT_TRUE(QFile::remove(QStringLiteral("Bilder/photo%1.png").arg(nSlot)));
    EXPECT_EQ(m_store->Picture(nMain, drawn).cacheKey(), held.cacheKey());
    const QImage image = RenderSlide(*m_store, view);
    const QPointF small = FitSlide(2, view, true).Transform().map(QPointF(1360 + 10, 250 + 10));
    EXPECT_TRUE(Near(image.pixel(small.toPoint()), kSmallColour));
}
