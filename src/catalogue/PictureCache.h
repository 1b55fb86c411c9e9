#pragma once
// Decoded pictures are the expensive thing: the catalogue keeps only a few of them, for the
// slides around the current one, and drops the least recently used.

#include <QImage>

class CPictureCache {
public:
    // Placeholder until the bounded cache lands.
    void Clear() {}
};
