#include "show/CellFonts.h"

#include <algorithm>

namespace {
QFont ArialAt(int nPixelSize, int nWeight) {
    QFont font(QString::fromLatin1(slide::kFontFamily));
    font.setPixelSize(nPixelSize);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(nWeight, 1, 1000)));
    return font;
}

int CellHeight(const QFont& font, QPaintDevice* device) {
    const QFontMetrics metrics(font, device);
    return metrics.ascent() + metrics.descent();
}
} // namespace

const CellFont& CCellFonts::Font(const slide::FontSpec& fontSpec) {
    const auto key = std::make_pair(fontSpec.nHeight, fontSpec.nWeight);
    if (const auto it = m_fonts.find(key); it != m_fonts.end())
        return it->second;

    // Pixel sizes come in whole pixels, so not every cell height has a size of its own: take
    // the largest size whose cell fits, and give the missing pixel to the ascent, as internal
    // leading above the glyphs. Cell height grows with the pixel size, so bisect.
    const int nHeight = std::max(fontSpec.nHeight, 1);
    int nLow = 1;
    int nHigh = nHeight;
    while (nLow < nHigh) {
        const int nMid = (nLow + nHigh + 1) / 2;
        if (CellHeight(ArialAt(nMid, fontSpec.nWeight), m_device) <= nHeight)
            nLow = nMid;
        else
            nHigh = nMid - 1;
    }
    QFont font = ArialAt(nLow, fontSpec.nWeight);
    QFontMetrics metrics(font, m_device);
    const int nDescent = std::min(metrics.descent(), nHeight);
    CellFont cell{font, metrics, nHeight - nDescent, nDescent};
    return m_fonts.emplace(key, std::move(cell)).first->second;
}
