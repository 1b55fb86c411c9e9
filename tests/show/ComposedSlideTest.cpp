#include "SlideFixture.h"

#include "show/ComposedSlide.h"
#include "show/SlidePainter.h"

#include <QPainter>

namespace {

constexpr QSize k4K{3840, 2160};

class ComposedSlideTest : public SlideTest {
protected:
    ComposedSlideTest() {
        AddSlide(QStringLiteral("Honda CBR 600 RR"), QColor(200, 40, 40));
        AddSlide(QStringLiteral("Yamaha MT-07"), QColor(40, 60, 210));
        m_store->m_strAdresse = QStringLiteral("Muster Motos AG, Hauptstrasse 1, 8000 Zuerich");
        m_store->m_nCurrentSatz = 0;
    }

    void AddSlide(const QString& titel, const QColor& colour) {
        Satz& satz = AddSatz(1);
        satz.strTitel = titel;
        satz.strKmText = QStringLiteral("12'500 km, 1. IV  05.2003");
        satz.strPreis = QStringLiteral("8'900");
        satz.nBild = {AddPhoto(800, 600, colour), AddPhoto(224, 168, colour), 0, 0, 0};
    }

    ViewGeometry View(QSize size, qreal dRatio = 1.0) const {
        return {size, dRatio, FitSlide(m_store->m_nResMode, size, true)};
    }

    // The view's paint of the given area: the held composition if it serves, else a fresh one
    // (null when it was not served). Starts grey, so a part left unpainted shows.
    QImage Served(const CComposedSlide& composed, const ViewGeometry& view, QRect area = {}) {
        QImage image(view.size * view.dDevicePixelRatio, QImage::Format_RGB32);
        image.setDevicePixelRatio(view.dDevicePixelRatio);
        image.fill(kGrey);
        QPainter dc(&image);
        return composed.Paint(dc, area.isNull() ? QRect(QPoint(), view.size) : area, *m_store, view)
                   ? image
                   : QImage();
    }

    QImage Fresh(const ViewGeometry& view) {
        QImage image(view.size * view.dDevicePixelRatio, QImage::Format_RGB32);
        image.setDevicePixelRatio(view.dDevicePixelRatio);
        QPainter dc(&image);
        PaintSlide(dc, QRect(QPoint(), view.size), *m_store, view.frame);
        return image;
    }
};

} // namespace

TEST_F(ComposedSlideTest, ServedCompositionIsTheFreshPaintOnScaledViewsOnly) {
    for (const bool bLarge : {true, false}) {
        SetMode(bLarge);
        // 4K, and a 200 % desktop whose logical view is the table screen.
        for (const ViewGeometry& view : {View(k4K), View(bLarge ? kLargeView : kSmallView, 2.0)}) {
            SCOPED_TRACE(testing::Message() << bLarge << " " << view.dDevicePixelRatio);
            CComposedSlide composed;
            composed.Compose(*m_store, 1, view);
            EXPECT_TRUE(Served(composed, view).isNull()); // slide 0 is current
            m_store->m_nCurrentSatz = 1;
            const QImage served = Served(composed, view);
            ASSERT_FALSE(served.isNull());
            EXPECT_TRUE(served == Fresh(view));
            m_store->m_nCurrentSatz = 0;
        }
    }
    // At scale 1 every paint composes, as ever.
    SetMode(true);
    CComposedSlide composed;
    composed.Compose(*m_store, 0, View(kLargeView));
    EXPECT_TRUE(Served(composed, View(kLargeView)).isNull());
}

TEST_F(ComposedSlideTest, NothingThatCouldDifferFromAFreshPaintIsServed) {
    SetMode(true);
    const ViewGeometry view = View(k4K);
    CComposedSlide composed;
    composed.Compose(*m_store, 0, view);
    ASSERT_FALSE(Served(composed, view).isNull());

    EXPECT_TRUE(Served(composed, view, QRect(0, 0, 800, 600)).isNull());
    EXPECT_TRUE(Served(composed, View(QSize(3840, 2100))).isNull());
    EXPECT_TRUE(Served(composed, View(k4K, 2.0)).isNull());
    m_store->m_nCurrentSatz = 1;
    EXPECT_TRUE(Served(composed, view).isNull());
    m_store->m_nCurrentSatz = 0;
    // Changed without a reload, as the sync sets the dealer's address.
    m_store->m_strAdresse = QStringLiteral("Moto Muster SA, Lausanne");
    EXPECT_TRUE(Served(composed, view).isNull());
    m_store->m_strAdresse = QStringLiteral("Muster Motos AG, Hauptstrasse 1, 8000 Zuerich");
    ASSERT_FALSE(Served(composed, view).isNull());

    // A reload with the same texts may bring other photos under the same names.
    const Satz satz = m_store->m_satz[0];
    m_store->ResetBilderUndDaten();
    AddSlide(satz.strTitel, QColor(10, 200, 10));
    m_store->m_nCurrentSatz = 0;
    ASSERT_TRUE(m_store->m_satz[0] == satz);
    EXPECT_TRUE(Served(composed, view).isNull());
    composed.Compose(*m_store, 0, view);
    EXPECT_TRUE(Served(composed, view) == Fresh(view));
    composed.Drop();
    EXPECT_TRUE(Served(composed, view).isNull());
}
