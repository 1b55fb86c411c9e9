#include "catalogue/PictureCache.h"

CPictureCache::CPictureCache(qsizetype nMaxBytes) : m_pictures(nMaxBytes) {}

QImage CPictureCache::Find(int nSlot) {
    const QImage* picture = m_pictures.object(nSlot);
    return picture ? *picture : QImage();
}

void CPictureCache::Insert(int nSlot, const QImage& picture) {
    m_pictures.insert(nSlot, new QImage(picture), picture.sizeInBytes());
}

void CPictureCache::Remove(int nSlot) {
    m_pictures.remove(nSlot);
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
