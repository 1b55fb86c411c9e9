#pragma once
// Fonts by character-cell height: the slide layout names the height of the whole cell
// (ascent + descent), not the em size. Fonts live for one paint.

#include "show/SlideLayout.h"

#include <QFont>
#include <QFontMetrics>
#include <map>
#include <utility>

class QPaintDevice;

struct CellFont {
    QFont font;
    QFontMetrics metrics;
    // Baseline below the cell's top; nAscent + nDescent is the requested cell height.
    int nAscent = 0;
    int nDescent = 0;
};

class CCellFonts {
public:
    explicit CCellFonts(QPaintDevice* device) : m_device(device) {}

    // "Arial" whose cell is fontSpec.nHeight pixels high, at weight fontSpec.nWeight (1..1000).
    const CellFont& Font(const slide::FontSpec& fontSpec);

private:
    QPaintDevice* m_device;
    std::map<std::pair<int, int>, CellFont> m_fonts;
};
