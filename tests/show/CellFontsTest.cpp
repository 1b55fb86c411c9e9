#include "show/CellFonts.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using slide::FontSpec;

// Every cell height and weight of the slide layout, the promotion line and the messages.
TEST(CellFontsTest, EveryLayoutFontHasExactlyItsCellHeight) {
    const FontSpec fontSpecs[] = {{50, 700}, {60, 820}, {32, 700}, {40, 840}, {30, 500}, {36, 600},
                                  {38, 700}, {44, 840}, {34, 700}, {40, 700}, {36, 700}, {42, 700},
                                  {22, 200}, {25, 240}, {36, 300}, {44, 360}, {40, 400}};
    QImage image(8, 8, QImage::Format_RGB32);
    CCellFonts fonts(&image);
    for (const FontSpec& fontSpec : fontSpecs) {
        SCOPED_TRACE(testing::Message() << fontSpec.nHeight << "/" << fontSpec.nWeight);
        const CellFont& cell = fonts.Font(fontSpec);
        EXPECT_EQ(cell.nAscent + cell.nDescent, fontSpec.nHeight);
        // The glyphs never reach beyond their cell, and fill it but for at most one pixel of
        // leading where no whole pixel size fits exactly.
        const int nGlyphCell = cell.metrics.ascent() + cell.metrics.descent();
        EXPECT_LE(nGlyphCell, fontSpec.nHeight);
        EXPECT_GE(nGlyphCell, fontSpec.nHeight - 1);
        EXPECT_EQ(cell.nDescent, cell.metrics.descent());
        EXPECT_EQ(cell.font.weight(), fontSpec.nWeight);
    }
}

// Drawn at its baseline, no pixel of a slide's text leaves the cell above it or below it
// (the underscore and the bar reach below the font's descent, as they do on every platform).
TEST(CellFontsTest, GlyphsStayInsideTheCell) {
    QImage image(900, 80, QImage::Format_RGB32);
    for (const FontSpec fontSpec : {FontSpec{34, 700}, FontSpec{60, 820}, FontSpec{22, 200}}) {
        SCOPED_TRACE(fontSpec.nHeight);
        image.fill(Qt::black);
        CCellFonts fonts(&image);
        const CellFont& cell = fonts.Font(fontSpec);
        QPainter dc(&image);
        dc.setFont(cell.font);
        dc.setPen(Qt::white);
        const int nTop = 10;
        dc.drawText(QPoint(0, nTop + cell.nAscent),
                    QStringLiteral("ÄÖÜ Mgjpqy ÉÈ ()[],;'-.0123456789"));
        dc.end();
        int nInk = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
                    ++nInk;
                    EXPECT_GE(y, nTop);
                    EXPECT_LT(y, nTop + fontSpec.nHeight);
                }
        EXPECT_GT(nInk, 0);
    }
}
