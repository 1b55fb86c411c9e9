#pragma once
// Decoded pictures are the expensive thing: the catalogue keeps only a few of them, for the
// slides around the current one, and drops the least recently used. A picture drawn scaled is
// kept at the size it is drawn, so a paint copies it rather than rescaling it.

#include "catalogue/CatalogueLimits.h"

#include <QCache>
#include <QImage>
#include <QSize>

class CPictureCache {
public:
    explicit CPictureCache(qsizetype nMaxBytes = kPictureCacheBytes);

    // The picture of nSlot at the drawn size (an invalid size: as decoded), or a null image;
    // a hit counts as a use.
    QImage Find(int nSlot, const QSize& drawn = {});
    // Whether it holds that picture; not counted as a use.
    bool Contains(int nSlot, const QSize& drawn = {}) const;
    // A picture larger than the whole budget is not kept.
    void Insert(int nSlot, const QImage& picture, const QSize& drawn = {});
    // Every size of nSlot.
    void Remove(int nSlot);
    void Clear();

    int Count() const;
    qsizetype Bytes() const;

private:
    struct Key {
        int nSlot;
        int nWidth;
        int nHeight;
        friend bool operator==(const Key&, const Key&) = default;
        friend size_t qHash(const Key& key, size_t seed) {
            return qHashMulti(seed, key.nSlot, key.nWidth, key.nHeight);
        }
    };
    static Key KeyOf(int nSlot, const QSize& drawn);

    QCache<Key, QImage> m_pictures;
};
