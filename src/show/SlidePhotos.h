#pragma once
// Where a slide's photos stand, at what share of their size and in what room: the slide's
// paint draws them there, and the look-ahead decodes them at the sizes that gives.

#include "catalogue/CatalogueLimits.h"
#include "show/SlideLayout.h"

#include <QPoint>
#include <QSize>
#include <array>

struct Satz;

struct PlacedPhoto {
    bool bDrawn = false;
    QPoint topLeft; // layout pixels
    int nPercent = 0;
    QSize room;
};

// By field of nBild: the main photo always, a further one when its slot number is above 0,
// the further ones in one column in field order. A slide of neither kind is placed as a used
// vehicle's.
std::array<PlacedPhoto, kBilderProSatz> PlaceSlidePhotos(const Satz& satz, slide::Mode mode);
