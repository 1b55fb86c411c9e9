#pragma once
// Look-ahead of the next slide's photos, decoded and scaled to the size its paint will draw
// them at, so that paint only copies them.

#include <QtGlobal>

class CSatzStore;

// dDeviceScale: device pixels per layout pixel of the coming paint (the slide's scale times the
// screen's pixel ratio).
void PrefetchSlide(CSatzStore& store, int nSatz, qreal dDeviceScale);
