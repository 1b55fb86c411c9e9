#pragma once
// Slide composition: the whole view drawn from the catalogue, by the fixed layout of
// SlideLayout.h. Reads the catalogue only (pictures are decoded on demand).

#include "show/SlideFrame.h"

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;
class CSatzStore;

// Paints the view onto dc in view coordinates: the current slide and the promotion line, or
// the waiting message while nothing is loaded. Draws only what differs from the black
// background, so dc must start black. Texts end at nViewWidth, the view's right edge; 0 takes
// the width of dc's device.
void ZeigeSatzAufBildschirm(QPainter& dc, CSatzStore& store, int nViewWidth = 0);

// The view's paint: composes the exposed area off screen and copies it onto target at once,
// the slide placed by frame.
void PaintSlide(QPainter& target, const QRect& area, CSatzStore& store,
                const SlideFrame& frame = {});

// The whole view of that size as PaintSlide composes it for a device of that pixel ratio, the
// image it copies onto the view; a null image for an empty or unallocatable size.
QImage ComposeView(CSatzStore& store, const QSize& view, qreal dDevicePixelRatio,
                   const SlideFrame& frame);

// The whole view at the given size, as the screen shows it (bFit as the "FitScreen" setting);
// a null image for an empty or unallocatable size.
QImage RenderSlide(CSatzStore& store, const QSize& size, bool bFit = true);
