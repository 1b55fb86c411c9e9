// The status page's keys and its panel over a slide, at the show's smallest and a large
// screen.

#include "show/StatusOverlay.h"
#include "show/StatusReport.h"

#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

QKeyEvent Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                bool bAutoRepeat = false) {
    return QKeyEvent(QEvent::KeyPress, key, modifiers, QString(), bAutoRepeat);
}

StatusPage SamplePage(const QString& longValue = QStringLiteral("4711")) {
    StatusPage page{QStringLiteral("Zelvora – Statusanzeige"),
                    {},
                    QStringLiteral("Eine beliebige Taste schliesst diese Anzeige."),
                    QStringLiteral(": ")};
    for (int n = 0; n < 13; ++n)
        page.lines.push_back({QStringLiteral("Bezeichnung %1").arg(n),
                              n == 4 ? longValue : QStringLiteral("Wert %1").arg(n), n == 3});
    return page;
}

// A slide stand-in: one flat colour the panel must darken but not hide.
const QColor kSlide(40, 160, 220);

QImage Draw(const QSize& size, const StatusPage& page, const QColor& slide = kSlide) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(slide);
    QPainter dc(&image);
    PaintStatusPage(dc, QRect(QPoint(0, 0), size), page);
    return image;
}

bool IsSlide(QRgb pixel) {
    return QColor(pixel) == kSlide;
}

// The panel's extent along the middle row and column.
QRect PanelBounds(const QImage& image) {
    int nLeft = image.width(), nRight = -1, nTop = image.height(), nBottom = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (!IsSlide(image.pixel(x, image.height() / 2))) {
            nLeft = std::min(nLeft, x);
            nRight = std::max(nRight, x);
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        if (!IsSlide(image.pixel(image.width() / 2, y))) {
            nTop = std::min(nTop, y);
            nBottom = std::max(nBottom, y);
        }
    }
    return QRect(QPoint(nLeft, nTop), QPoint(nRight, nBottom));
}

} // namespace

TEST(StatusToggle, OpensOnIOnlyAndAnyFreshKeyClosesIt) {
    CStatusToggle toggle;
    EXPECT_FALSE(toggle.TakeKey(Press(Qt::Key_A)));
    EXPECT_FALSE(toggle.TakeKey(Press(Qt::Key_Space))) << "the show's own keys pass";
    EXPECT_FALSE(toggle.TakeKey(Press(Qt::Key_I, Qt::ControlModifier)));
    EXPECT_FALSE(toggle.TakeKey(Press(Qt::Key_I, Qt::AltModifier)));
    EXPECT_FALSE(toggle.IsShown());

    for (const Qt::Key key :
         {Qt::Key_Space, Qt::Key_Right, Qt::Key_Escape, Qt::Key_I, Qt::Key_Shift}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(toggle.TakeKey(Press(Qt::Key_I, Qt::ShiftModifier)));
        EXPECT_TRUE(toggle.IsShown());
        EXPECT_TRUE(toggle.TakeKey(Press(Qt::Key_I, Qt::NoModifier, true)))
            << "the opening key held down is swallowed";
        EXPECT_TRUE(toggle.IsShown()) << "and does not close the page";
        EXPECT_TRUE(toggle.TakeKey(Press(key))) << "the closing key goes no further";
        EXPECT_FALSE(toggle.IsShown());
    }
}

TEST(StatusPanel, DarkensTheMiddleAndLeavesAMarginOfTheSlide) {
    for (const QSize size : {QSize(1366, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(size.width());
        const QImage image = Draw(size, SamplePage());
        const QRect panel = PanelBounds(image);
        EXPECT_GT(panel.left(), 0);
        EXPECT_LT(panel.right(), size.width() - 1);
        EXPECT_GT(panel.top(), 0);
        EXPECT_LT(panel.bottom(), size.height() - 1);
        EXPECT_NEAR(panel.center().x(), size.width() / 2, 2) << "centred";
        EXPECT_NEAR(panel.center().y(), size.height() / 2, 2);
        EXPECT_GT(panel.height(), size.height() / 3) << "large enough to read from a distance";

        // Dark and opaque: the margin left of the labels shows nothing of the slide.
        const QPoint margin(panel.left() + 8, panel.center().y());
        const QColor under(image.pixel(margin));
        EXPECT_LT(under.lightness(), kSlide.lightness() / 2);
        const QImage onWhite = Draw(size, SamplePage(), Qt::white);
        EXPECT_EQ(QColor(onWhite.pixel(margin)), under) << "opaque";
    }
}

TEST(StatusPanel, TextIsLargerOnTheLargerScreen) {
    const QRect small = PanelBounds(Draw(QSize(1366, 768), SamplePage()));
    const QRect large = PanelBounds(Draw(QSize(1920, 1080), SamplePage()));
    EXPECT_GT(large.height(), small.height() * 5 / 4);

    // Beyond full HD the limit of the text grows with the chrome's scale, and only there.
    const struct {
        QSize size;
        double dChromeScale;
        int nPixels;
    } cases[] = {{{1366, 768}, 1.0, 22},
                 {{1920, 1080}, 1.0, 31},
                 {{3840, 2160}, 1.0, 40},
                 {{3840, 2160}, 2.0, 63}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size.width() * c.dChromeScale);
        QImage image(c.size, QImage::Format_RGB32);
        const QRect view(QPoint(0, 0), c.size);
        EXPECT_EQ(LayOutStatusPage(view, SamplePage(), &image, c.dChromeScale).nPixels, c.nPixels);
    }
}

TEST(StatusPanel, WarningsStandOutInTheirOwnColour) {
    const QImage image = Draw(QSize(1366, 768), SamplePage());
    int nWarm = 0;
    int nWhite = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            nWarm += c.red() > 200 && c.green() < 150 && c.blue() < 130 ? 1 : 0;
            nWhite += c.red() > 240 && c.green() > 240 && c.blue() > 240 ? 1 : 0;
        }
    }
    EXPECT_GT(nWarm, 50) << "the failed line's value";
    EXPECT_GT(nWhite, 500) << "the other values";
}

TEST(StatusPanel, AValueTooLongForTheScreenStaysInsideThePanel) {
    const QString path = QStringLiteral("/home/kiosk/") + QString(400, QLatin1Char('x'));
    for (const QSize size : {QSize(1366, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(size.width());
        const QImage image = Draw(size, SamplePage(path));
        const QRect panel = PanelBounds(image);
        EXPECT_GT(panel.left(), 0) << "the slide's edge stays visible";
        EXPECT_LT(panel.right(), size.width() - 1);
    }
}

TEST(StatusPanel, AValueWiderThanItsColumnWrapsWholeAtTheSizeOfTheScreen) {
    StatusPage page = SamplePage(QString::fromUtf8(
        "15.01.2027 08:00:00 – Fehler: Portal lehnt ab (Kundennummer und Passwort prüfen), "
        "57 Anfragen, 3.0 MB"));
    page.lines[5].strLabel = QStringLiteral("Letzter erfolgreicher Abgleich Neufahrzeuge");
    const auto bare = [](QString text) {
        return text.remove(u' ');
    };
    for (const QSize size : {QSize(1366, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(size.width());
        QImage image(size, QImage::Format_RGB32);
        const StatusPanelLayout layout = LayOutStatusPage(QRect(QPoint(0, 0), size), page, &image);
        EXPECT_EQ(layout.nPixels, size.height() / 34) << "the full size, not a smaller one";
        const QStringList& rows = layout.values[4];
        EXPECT_EQ(rows.size(), 2);
        EXPECT_EQ(bare(rows.join(QString())), bare(page.lines[4].strValue)) << "nothing cut";
        for (const QString& row : rows)
            EXPECT_LE(QFontMetrics(layout.text, &image).horizontalAdvance(row), layout.nValueWidth);
        EXPECT_TRUE(layout.panel.contains(QRect(QPoint(0, 0), size).center()));
    }
}
