#include "show/OffscreenDC.h"

#include "show/SlideLayout.h"

#include <QPaintDevice>

COffscreenDC::COffscreenDC(QPainter& target, const QRect& area) : m_target(target), m_area(area) {
    // On a high-density screen the image has the target's device pixels, not fewer.
    const qreal ratio = target.device() ? target.device()->devicePixelRatio() : 1.0;
    m_image = QImage(area.size() * ratio, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(slide::kBackground);
    m_dc.begin(&m_image);
    m_dc.translate(-area.topLeft());
}

COffscreenDC::~COffscreenDC() {
    m_dc.end();
    m_target.drawImage(m_area.topLeft(), m_image);
}
