#include "SlideFixture.h"

#include "show/SlidePainter.h"
#include "support/TestPhotos.h"

#include <QPainter>
#include <cstdlib>

SlideTest::SlideTest() : m_store(std::make_unique<CSatzStore>()) {
    m_store->m_nSprache = 1;
    m_store->m_nResMode = 1;
    m_store->m_nCurrentSatz = -1;
}

int SlideTest::AddPhoto(int nWidth, int nHeight, const QColor& colour) {
    const int nSlot = m_store->m_nPictureCount;
    const QString path = QStringLiteral("Bilder/photo%1.png").arg(nSlot);
    WritePhoto(path, nWidth, nHeight, colour, "PNG");
    int h = 0;
    int w = 0;
    EXPECT_TRUE(m_store->LoadPictureFile(nSlot, path, h, w));
    EXPECT_EQ(w, nWidth);
    EXPECT_EQ(h, nHeight);
    ++m_store->m_nPictureCount;
    return nSlot;
}

Satz& SlideTest::AddSatz(int nArt) {
    Satz& satz = m_store->m_satz[size_t(m_store->m_nSatzCount)];
    satz.nArt = nArt;
    m_store->m_nCurrentSatz = m_store->m_nSatzCount++;
    m_store->m_bSatzLoaded = true;
    return satz;
}

QImage SlideTest::Render() {
    return RenderSlide(*m_store, ViewSize());
}

QImage SlideTest::RenderOnGrey() {
    QImage image(ViewSize(), QImage::Format_RGB32);
    image.fill(kGrey);
    QPainter dc(&image);
    ZeigeSatzAufBildschirm(dc, *m_store);
    dc.end();
    return image;
}

bool Near(QRgb pixel, const QColor& colour, int tolerance) {
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

bool IsBlack(const QImage& image, QPoint p) {
    return (image.pixel(p) & 0xFFFFFF) == 0;
}

bool IsGrey(const QImage& image, QPoint p) {
    return Near(image.pixel(p), kGrey, 0);
}

int BlackRun(const QImage& image, QPoint p) {
    int x = p.x();
    while (x < image.width() && IsBlack(image, QPoint(x, p.y())))
        ++x;
    return x - p.x();
}

int CountNear(const QImage& image, const QRect& rect, const QColor& colour, int tolerance) {
    int n = 0;
    const QRect inside = rect & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            n += Near(image.pixel(x, y), colour, tolerance) ? 1 : 0;
    return n;
}

bool BlackOutside(const QImage& image, const QRect& rect) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!rect.contains(x, y) && !IsBlack(image, QPoint(x, y)))
                return false;
    return true;
}
