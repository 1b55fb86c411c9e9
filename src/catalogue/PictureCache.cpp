#include "catalogue/PictureCache.h"

CPictureCache::CPictureCache(qsizetype nMaxBytes) : m_pictures(nMaxBytes) {}

CPictureCache::Key CPictureCache::KeyOf(int nSlot, const QSize& drawn) {
    return drawn.isValid() ? Key{nSlot, drawn.width(), drawn.height()} : Key{nSlot, -1, -1};
}

QImage CPictureCache::Find(int nSlot, const QSize& drawn) {
    const QImage* picture = m_pictures.object(KeyOf(nSlot, drawn));
    return picture ? *picture : QImage();
}

bool CPictureCache::Contains(int nSlot, const QSize& drawn) const {
    return m_pictures.contains(KeyOf(nSlot, drawn));
}

void CPictureCache::Insert(int nSlot, const QImage& picture, const QSize& drawn) {
    m_pictures.insert(KeyOf(nSlot, drawn), new QImage(picture), picture.sizeInBytes());
}

void CPictureCache::Remove(int nSlot) {
    for (const Key& key : m_pictures.keys()) {
        if (key.nSlot == nSlot)
            m_pictures.remove(key);
    }
}

void CPictureCache::Clear() {
    m_pictures.clear();
}

int CPictureCache::Count() const {
    return static_cast<int>(m_pictures.count());
}

qsizetype CPictureCache::Bytes() const {
    return m_pictures.totalCost();
}
