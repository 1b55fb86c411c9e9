#include "show/SlidePhotos.h"

#include "catalogue/SatzStore.h"

std::array<PlacedPhoto, kBilderProSatz> PlaceSlidePhotos(const Satz& satz, slide::Mode mode) {
    using namespace slide;
    const PhotoLayout& layout = satz.nArt == kArtNeuFz ? kNeuFzPhotos : kOccasionPhotos;
    std::array<PlacedPhoto, kBilderProSatz> placed;
    placed[0] = {true, layout.main[mode], kMainPhotoPercent, layout.mainRoom[mode]};
    int n = 0;
    for (size_t k = 1; k < satz.nBild.size(); ++k) {
        if (satz.nBild[k] > 0)
            ++n;
    }
    if (n == 0)
        return placed;
    const auto& column = layout.smallY[mode][size_t(n - 1)];
    size_t nRow = 0;
    for (size_t k = 1; k < satz.nBild.size(); ++k) {
        if (satz.nBild[k] > 0)
            placed[k] = {true, QPoint(kSmallPhotoX[mode], column[nRow++]), kSmallPhotoPercent[mode],
                         kSmallPhotoRoom[mode]};
    }
    return placed;
}
