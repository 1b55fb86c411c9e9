#include "show/ComposedSlide.h"

#include "show/SlidePainter.h"

#include <QPainter>
#include <algorithm>

CComposedSlide::Source CComposedSlide::SourceOf(const CSatzStore& store, int nSatz) {
    Source source{nSatz,
                  store.Generation(),
                  store.m_bSatzLoaded,
                  store.m_nResMode,
                  store.m_nSprache,
                  store.m_strAdresse,
                  store.m_strPromoText,
                  store.m_strKundenNr,
                  {},
                  {},
                  {}};
    const int nCount = std::min<int>(store.m_nSatzCount, int(store.m_satz.size()));
    if (nSatz < 0 || nSatz >= nCount)
        return source;
    source.satz = store.m_satz[size_t(nSatz)];
    for (size_t k = 0; k < source.satz.nBild.size(); ++k) {
        const int nSlot = source.satz.nBild[k];
        if (nSlot >= 0 && nSlot < int(store.m_pPictures.size()) &&
            nSlot < int(store.m_pictureSize.size())) {
            source.pictures[k] = store.m_pPictures[size_t(nSlot)];
            source.pictureSizes[k] = store.m_pictureSize[size_t(nSlot)];
        }
    }
    return source;
}

void CComposedSlide::Compose(CSatzStore& store, int nSatz, const ViewGeometry& view) {
    Source source = SourceOf(store, nSatz);
    if (m_source == source && m_view == view)
        return;
    Drop();
    const int nCurrent = store.m_nCurrentSatz;
    store.m_nCurrentSatz = nSatz;
    QImage image = ComposeView(store, view.size, view.dDevicePixelRatio, view.frame);
    store.m_nCurrentSatz = nCurrent;
    // A photo that failed to decode while composing left a hole the view's paint would not
    // show: such a composition is not kept.
    if (image.isNull() || SourceOf(store, nSatz) != source)
        return;
    m_source = std::move(source);
    m_view = view;
    m_image = std::move(image);
}

bool CComposedSlide::Paint(QPainter& target, const QRect& area, const CSatzStore& store,
                           const ViewGeometry& view) const {
    if (!m_source || !(m_view == view) || !area.contains(QRect(QPoint(), view.size)) ||
        !(SourceOf(store, store.m_nCurrentSatz) == *m_source))
        return false;
    target.drawImage(QPoint(), m_image);
    return true;
}

void CComposedSlide::Drop() {
    m_source.reset();
    m_image = QImage();
}
