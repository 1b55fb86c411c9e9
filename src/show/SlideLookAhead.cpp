#include "show/SlideLookAhead.h"

#include "catalogue/PictureLoader.h"
#include "catalogue/SatzStore.h"
#include "show/SlideLayout.h"

#include <QTransform>
#include <algorithm>

bool PrefetchSlide(CSatzStore& store, int nSatz, qreal dDeviceScale) {
    if (nSatz < 0 || nSatz >= std::min<int>(store.m_nSatzCount, int(store.m_satz.size())))
        return true;
    using namespace slide;
    const Mode mode = store.m_nResMode == kLargeResMode ? kLarge : kSmall;
    const QTransform device = QTransform::fromScale(dDeviceScale, dDeviceScale);
    const auto drawnSize = [&](int nSlot, int nPercent) {
        if (nSlot < 0 || nSlot >= kMaxPictures)
            return QSize();
        return CPictureLoader::DrawnSize(store.m_pictureSize[size_t(nSlot)], nPercent, device);
    };
    // The photos the slide's paint draws, at the sizes it draws them.
    const auto& nBild = store.m_satz[size_t(nSatz)].nBild;
    std::array<QSize, kBilderProSatz> drawn;
    drawn[0] = drawnSize(nBild[0], kMainPhotoPercent);
    for (size_t k = 1; k < nBild.size(); ++k) {
        if (nBild[k] > 0)
            drawn[k] = drawnSize(nBild[k], kSmallPhotoPercent[mode]);
    }
    return store.PrefetchPictures(nSatz, drawn);
}
