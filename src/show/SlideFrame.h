#pragma once
// Where the slide stands in a view of any size. The layout tables are made for fixed screens;
// a larger view gets the whole slide scaled uniformly, centred, black around it, and a view
// smaller than the layout gets it scaled down the same way.

#include <QPoint>
#include <QSize>
#include <QTransform>

struct SlideFrame {
    qreal dScale = 1.0;
    QPoint origin; // the slide's top-left corner in the view

    // Layout pixels to view pixels.
    QTransform Transform() const;
    bool operator==(const SlideFrame&) const = default;
};

// The frame of the layout mode nResMode in a view of that size, in logical pixels (a high
// density screen adds its own factor). bFit false keeps the table size in the top-left corner.
SlideFrame FitSlide(int nResMode, const QSize& view, bool bFit);
