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

// The layout drawn untransformed over the given background, at the frame of a view of that
// size when one is given.
QImage Compose(CSatzStore& store, QSize size, const QColor& background, QSize view = {}) {
    QImage image(view.isEmpty() ? size : view, QImage::Format_RGB32);
    image.fill(background);
    QPainter dc(&image);
    if (!view.isEmpty())
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

// A text cell over grey: its width along its top row, its height down the column between
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
    SlideScaleTest() {
        Satz& satz = AddSatz(1);
        satz.strTitel = QStringLiteral("Honda CBR 600 RR");
        satz.strKmText = QStringLiteral("12'500 km, 1. IV  05.2003");
        satz.strPreis = QStringLiteral("8'900");
        satz.strZustand = QStringLiteral("Occasion");
        satz.dRate = 189.5;
        m_store->m_strAdresse = QStringLiteral("Muster Motos AG, Hauptstrasse 1, 8000 Zuerich");
        m_store->m_strPromoText = QStringLiteral("GELB: Aktion");
        satz.nBild = {AddPhoto(800, 600, kMainColour), AddPhoto(224, 168, kSmallColour), 0, 0, 0};
    }
};

} // namespace

TEST_F(SlideScaleTest, TableScreensAreDrawnAsTheLayoutInBothLanguages) {
    for (const bool bLarge : {false, true}) {
        SetMode(bLarge);
        const QList<QSize> views =
            bLarge ? QList<QSize>{{1680, 1050}, {1920, 1080}, {1980, 1080}, {1920, 1050}}
                   : QList<QSize>{{1366, 768}};
        for (const int nSprache : {1, 2}) {
            m_store->m_nSprache = nSprache;
            for (const QSize view : views) {
                SCOPED_TRACE(testing::Message()
                             << nSprache << " " << view.width() << "x" << view.height());
                const QImage table = Compose(*m_store, view, Qt::black);
                EXPECT_TRUE(RenderSlide(*m_store, view) == table);
                QImage painted(view, QImage::Format_RGB32);
                QPainter dc(&painted);
                PaintSlide(dc, painted.rect(), *m_store, FitSlide(m_store->m_nResMode, view, true));
                dc.end();
                EXPECT_TRUE(painted == table);
            }
            // "FitScreen" 0: the table size in the top-left corner of a 4K view.
            const QImage corner = RenderSlide(*m_store, QSize(3840, 2160), false);
            const QImage table = Compose(*m_store, ViewSize(), Qt::black);
            EXPECT_TRUE(corner.copy(table.rect()) == table);
            EXPECT_TRUE(BlackOutside(corner, table.rect()));
        }
    }
}

TEST_F(SlideScaleTest, OtherViewsShowTheWholeSlideCentredWithCellsInProportion) {
    for (const auto& [bLarge, view] :
         {std::pair{true, QSize(3840, 2160)}, std::pair{false, QSize(3840, 2160)},
          std::pair{true, QSize(2560, 1440)}, std::pair{true, QSize(1920, 1200)},
          std::pair{true, QSize(1080, 1920)}, std::pair{true, QSize(1366, 768)},
          std::pair{true, QSize(1280, 720)}, std::pair{true, QSize(1024, 768)},
          std::pair{false, QSize(1024, 768)}, std::pair{false, QSize(1366, 740)}}) {
        SCOPED_TRACE(testing::Message() << bLarge << " " << view.width() << "x" << view.height());
        SetMode(bLarge);
        const SlideFrame frame = FitSlide(m_store->m_nResMode, view, true);
        const QRect area(frame.origin,
                         (QSizeF(slide::kLayoutExtent[bLarge]) * frame.dScale).toSize());
        EXPECT_TRUE(QRect(QPoint(), view).contains(area));
        EXPECT_LE(std::abs((view.width() - area.width()) - 2 * area.x()), 2);
        EXPECT_LE(std::abs((view.height() - area.height()) - 2 * area.y()), 2);

        // Everything the layout draws is there, where the frame puts it: nothing is cut.
        const QImage image = RenderSlide(*m_store, view);
        const QRect scaled = Drawn(image);
        const QRect expected = frame.Transform()
                                   .mapRect(QRectF(Drawn(Compose(*m_store, ViewSize(), Qt::black))))
                                   .toRect();
        EXPECT_LE((scaled.topLeft() - expected.topLeft()).manhattanLength(), 6);
        EXPECT_LE((scaled.bottomRight() - expected.bottomRight()).manhattanLength(), 6);
        EXPECT_TRUE(area.contains(scaled));
        // The small layout has room for 670 x 502 of the 800 x 600 photo.
        const QPointF main = frame.Transform().map(QPointF(40, bLarge ? 180 : 130));
        const QPointF far = bLarge ? QPointF(798, 598) : QPointF(668, 500);
        EXPECT_TRUE(Near(image.pixel((main + far * frame.dScale).toPoint()), kMainColour));
        EXPECT_TRUE(IsBlack(image, (main - QPointF(2, 2)).toPoint()));

        // Text cells keep their shape, and their glyphs are drawn, not only the cells.
        const QImage grey = Compose(*m_store, view, kGrey, view);
        const QImage table = RenderOnGrey();
        for (const QPoint at :
             {QPoint(40, bLarge ? 30 : 20), QPoint(bLarge ? 870 : 710, bLarge ? 170 : 130)}) {
            const QSize unscaled = Cell(table, at);
            const QPoint corner = frame.Transform().map(QPointF(at)).toPoint() + QPoint(1, 1);
            const QSize cell = Cell(grey, corner) + QSize(1, 1);
            EXPECT_NEAR(cell.width(), unscaled.width() * frame.dScale, 3 + 0.02 * cell.width());
            EXPECT_NEAR(cell.height(), unscaled.height() * frame.dScale, 3);
            EXPECT_GT(CountNear(grey, QRect(corner, cell), Qt::white), cell.height());
        }
    }
}

TEST_F(SlideScaleTest, PhotosAreHeldAtTheDrawnSizeAndHighDensityIsNotScaledTwice) {
    SetMode(true);
    // At 200 % desktop scale the view is 1920 x 1080 logical pixels: the table screen, drawn at
    // twice the pixels.
    QImage dense(QSize(3840, 2160), QImage::Format_RGB32);
    dense.setDevicePixelRatio(2);
    QPainter dc(&dense);
    PaintSlide(dc, QRect(0, 0, 1920, 1080), *m_store, FitSlide(2, QSize(1920, 1080), true));
    dc.end();
    EXPECT_TRUE(Near(dense.pixel(82, 362), kMainColour));
    EXPECT_TRUE(Near(dense.pixel(80 + 1598, 360 + 1198), kMainColour));
    EXPECT_TRUE(IsBlack(dense, QPoint(80 + 1602, 360 + 1198)));

    // Looked ahead at the 4K size, the photos need neither their files nor a rescale.
    const QSize view(3840, 2160);
    const SlideFrame frame = FitSlide(2, view, true);
    PrefetchSlide(*m_store, 0, frame.dScale);
    const QSize drawn(1646, 1234);
    const QImage held = m_store->Picture(0, drawn);
    EXPECT_EQ(held.size(), drawn);
    for (int nSlot = 0; nSlot < m_store->m_nPictureCount; ++nSlot)
        ASSERT_TRUE(QFile::remove(QStringLiteral("Bilder/photo%1.png").arg(nSlot)));
    EXPECT_EQ(m_store->Picture(0, drawn).cacheKey(), held.cacheKey());
    const QImage image = RenderSlide(*m_store, view);
    EXPECT_TRUE(
        Near(image.pixel(frame.Transform().map(QPointF(1370, 375)).toPoint()), kSmallColour));
}
