#pragma once
// Decoded pictures are the expensive thing: the catalogue keeps only a few of them, for the
// slides around the current one, and drops the least recently used.

#include "catalogue/CatalogueLimits.h"

#include <QCache>
#include <QImage>

class CPictureCache {
public:
    explicit CPictureCache(qsizetype nMaxBytes = kPictureCacheBytes);

    // The picture of nSlot, or a null image; a hit counts as a use.
    QImage Find(int nSlot);
    // A picture larger than the whole budget is not kept.
    void Insert(int nSlot, const QImage& picture);
    void Remove(int nSlot);
    void Clear();

    int Count() const;
    qsizetype Bytes() const;

private:
    QCache<int, QImage> m_pictures;
};
