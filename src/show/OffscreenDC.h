#pragma once
// The off-screen surface of one paint: everything is drawn into an image of the area to paint,
// then copied onto the target in one piece, so the screen never shows a half-drawn slide.

#include <QImage>
#include <QPainter>
#include <QRect>

class COffscreenDC {
public:
    // area is in the target's coordinates and must not be empty; Dc() draws in the same
    // coordinates.
    COffscreenDC(QPainter& target, const QRect& area);
    // Copies the composed area onto the target.
    ~COffscreenDC();
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

    QPainter& Dc() { return m_dc; }

private:
    QPainter& m_target;
    QRect m_area;
    QImage m_image;
    QPainter m_dc;
};
