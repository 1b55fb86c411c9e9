#pragma once
// The next slide composed ahead. At 4K the raster engine traces every large glyph at every
// paint, far too slow for the slide change itself, and even at the table size a fresh paint
// takes several times a copy; the look-ahead composes the coming slide in idle time into an
// image of the view's device pixels, and that slide's paint copies it.

#include "catalogue/SatzStore.h"
#include "show/SlideFrame.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <array>
#include <optional>

class QPainter;

// The view a composition was made for.
struct ViewGeometry {
    QSize size; // logical pixels
    qreal dDevicePixelRatio = 1.0;
    SlideFrame frame;
    bool operator==(const ViewGeometry&) const = default;
};

class CComposedSlide {
public:
    // Composes the slide nSatz for the view, unless it is held already.
    void Compose(CSatzStore& store, int nSatz, const ViewGeometry& view);
    // Copies the held composition onto target when the paint covers the whole view and a
    // fresh composition of the current slide would give the same; false, drawing nothing,
    // otherwise.
    bool Paint(QPainter& target, const QRect& area, const CSatzStore& store,
               const ViewGeometry& view) const;
    void Drop();

private:
    // Everything the slide's composition reads, apart from the picture files, whose changes
    // the catalogue's generation stamp follows.
    struct Source {
        int nSatz = -1;
        quint64 nGeneration = 0;
        bool bSatzLoaded = false;
        int nResMode = 0;
        int nSprache = 0;
        QString strAdresse;
        QString strPromoText;
        QString strKundenNr;
        Satz satz;
        std::array<PictureSource, kBilderProSatz> pictures;
        std::array<PictureSize, kBilderProSatz> pictureSizes;
        bool operator==(const Source&) const = default;
    };
    static Source SourceOf(const CSatzStore& store, int nSatz);

    std::optional<Source> m_source;
    ViewGeometry m_view;
    QImage m_image;
};
