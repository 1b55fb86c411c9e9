#pragma once
// Look-ahead of a slide's photos, decoded and scaled to the size its paint will draw them at,
// so that paint only copies them.

#include <QtGlobal>

class CSatzStore;

// dDeviceScale: device pixels per layout pixel of the coming paint (the slide's scale times the
// screen's pixel ratio). False when a photo that does not decode takes the slide out of the
// show.
bool PrefetchSlide(CSatzStore& store, int nSatz, qreal dDeviceScale);
// Whether the slide's paint finds every photo it draws, held at its drawn size or still on file
// as it was loaded; decodes nothing, so a slide change never waits for a photo it may skip.
bool SlideHasPictures(const CSatzStore& store, int nSatz, qreal dDeviceScale);
