#include "show/SlideFrame.h"

#include "show/SlideLayout.h"

#include <algorithm>

QTransform SlideFrame::Transform() const {
    return QTransform(dScale, 0, 0, dScale, origin.x(), origin.y());
}

SlideFrame FitSlide(int nResMode, const QSize& view, bool bFit) {
    const slide::Mode mode = nResMode == slide::kLargeResMode ? slide::kLarge : slide::kSmall;
    const QSize screen = slide::kTableScreen[mode];
    const QSize extent = slide::kLayoutExtent[mode];
    // Between the layout's extent and its largest table screen the slide stands as laid out;
    // a larger view scales it up, a smaller one down, so nothing is ever cut.
    if (!bFit || view.isEmpty() ||
        (view.width() <= screen.width() && view.height() <= screen.height() &&
         view.width() >= extent.width() && view.height() >= extent.height()))
        return {};
    const qreal dScale =
        std::min(qreal(view.width()) / extent.width(), qreal(view.height()) / extent.height());
    // Whole pixels, so the slide's edges stay sharp.
    const QPoint origin(int((view.width() - extent.width() * dScale) / 2),
                        int((view.height() - extent.height() * dScale) / 2));
    return {dScale, origin};
}
