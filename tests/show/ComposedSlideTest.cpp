#include "SlideFixture.h"

#include "show/ComposedSlide.h"
#include "show/SlidePainter.h"

#include <QPainter>

namespace {

constexpr QSize k4K{3840, 2160};

class ComposedSlideTest : public SlideTest {
protected:
    ComposedSlideTest() {
        for (const char* titel : {"Honda CBR 600 RR", "Yamaha MT-07"}) {
            Satz& satz = AddSatz(1);
            satz.strTitel = QString::fromLatin1(titel);
            satz.strPreis = QStringLiteral("8'900");
            satz.nBild = {AddPhoto(800, 600, Qt::red), AddPhoto(224, 168, Qt::blue), 0, 0, 0};
        }
        m_store->m_nCurrentSatz = 0;
    }

    ViewGeometry View(QSize size, qreal dRatio = 1.0) const {
        return {size, dRatio, FitSlide(m_store->m_nResMode, size, true)};
    }

    // The view's paint of the area: the held composition, or a null image when it is not
    // served; with no composition, a fresh paint. Starts grey, so a part left unpainted shows.
    QImage Paint(const CComposedSlide* composed, const ViewGeometry& view, QRect area = {}) {
        QImage image(view.size * view.dDevicePixelRatio, QImage::Format_RGB32);
        image.setDevicePixelRatio(view.dDevicePixelRatio);
        image.fill(kGrey);
        QPainter dc(&image);
        area = area.isNull() ? QRect(QPoint(), view.size) : area;
        if (!composed)
            PaintSlide(dc, area, *m_store, view.frame);
        else if (!composed->Paint(dc, area, *m_store, view))
            return {};
        return image;
    }
};

} // namespace

TEST_F(ComposedSlideTest, ServedAsTheFreshPaintAndNeverWhenItCouldDiffer) {
    for (const bool bLarge : {true, false}) {
        SetMode(bLarge);
        // 4K, a 200 % desktop whose logical view is the table screen, and the table screen.
        const QSize table = bLarge ? kLargeView : kSmallView;
        for (const ViewGeometry& view : {View(k4K), View(table, 2), View(table)}) {
            CComposedSlide composed;
            composed.Compose(*m_store, 1, view);
            EXPECT_TRUE(Paint(&composed, view).isNull()); // slide 0 is current
            m_store->m_nCurrentSatz = 1;
            EXPECT_TRUE(Paint(&composed, view) == Paint(nullptr, view));
            m_store->m_nCurrentSatz = 0;
        }
    }
    CComposedSlide composed;
    const ViewGeometry view = View(k4K);
    composed.Compose(*m_store, 0, view);
    ASSERT_FALSE(Paint(&composed, view).isNull());
    EXPECT_TRUE(Paint(&composed, view, QRect(0, 0, 800, 600)).isNull());
    EXPECT_TRUE(Paint(&composed, View(QSize(3840, 2100))).isNull());
    EXPECT_TRUE(Paint(&composed, View(k4K, 2)).isNull());
    // Changed without a reload, as the sync sets the dealer's address.
    m_store->m_strAdresse = QStringLiteral("Moto Muster SA, Lausanne");
    EXPECT_TRUE(Paint(&composed, view).isNull());
    m_store->m_strAdresse.clear();
    ASSERT_FALSE(Paint(&composed, view).isNull());
    m_store->LoadSettings();
    EXPECT_TRUE(Paint(&composed, view).isNull());
}
