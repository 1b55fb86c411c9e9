#include "show/SlideLookAhead.h"

#include "catalogue/PictureLoader.h"
#include "catalogue/SatzStore.h"
#include "show/SlidePhotos.h"

#include <QTransform>
#include <algorithm>

namespace {
bool IsSlide(const CSatzStore& store, int nSatz) {
    return nSatz >= 0 && nSatz < std::min<int>(store.m_nSatzCount, int(store.m_satz.size()));
}

// The photos the slide's paint draws, at the sizes it draws them.
std::array<QSize, kBilderProSatz> DrawnSizes(const CSatzStore& store, int nSatz,
                                             qreal dDeviceScale) {
    using namespace slide;
    const Mode mode = store.m_nResMode == kLargeResMode ? kLarge : kSmall;
    const QTransform device = QTransform::fromScale(dDeviceScale, dDeviceScale);
    const Satz& satz = store.m_satz[size_t(nSatz)];
    const auto placed = PlaceSlidePhotos(satz, mode);
    std::array<QSize, kBilderProSatz> drawn;
    for (size_t k = 0; k < placed.size(); ++k) {
        const int nSlot = satz.nBild[k];
        if (placed[k].bDrawn && nSlot >= 0 && nSlot < kMaxPictures)
            drawn[k] = CPictureLoader::DrawnSize(store.m_pictureSize[size_t(nSlot)],
                                                 placed[k].nPercent, placed[k].room, device);
    }
    return drawn;
}
} // namespace

bool PrefetchSlide(CSatzStore& store, int nSatz, qreal dDeviceScale) {
    if (!IsSlide(store, nSatz))
        return true;
    return store.PrefetchPictures(nSatz, DrawnSizes(store, nSatz, dDeviceScale));
}

bool SlideHasPictures(const CSatzStore& store, int nSatz, qreal dDeviceScale) {
    return IsSlide(store, nSatz) &&
           store.HasPictures(nSatz, DrawnSizes(store, nSatz, dDeviceScale));
}
