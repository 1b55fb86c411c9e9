#include "show/SlidePainter.h"

#include "catalogue/CatalogueLimits.h"
#include "catalogue/PictureLoader.h"
#include "catalogue/SatzStore.h"
#include "settings/Trace.h"
#include "show/CellFonts.h"
#include "show/OffscreenDC.h"
#include "show/SlideLayout.h"
#include "show/SlidePhotos.h"
#include "sync/Portal.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <optional>
#include <span>
#include <vector>

namespace {
using namespace slide;

// The German or the French of a fixed text; nothing for another language.
const char* ByLanguageUtf8(int nSprache, const char* de, const char* fr) {
    if (nSprache == kDeutsch)
        return de;
    if (nSprache == kFranzoesisch)
        return fr;
    return nullptr;
}

QString ByLanguage(int nSprache, const char* de, const char* fr) {
    const char* text = ByLanguageUtf8(nSprache, de, fr);
    return text ? QString::fromUtf8(text) : QString();
}

// Only a to z change: a lower-case "ü" stays, so "grün:" matches no prefix.
QString UpperAscii(QString text) {
    for (QChar& c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return text;
}

// Blanks as the C library counts them.
QString WithoutLeadingBlanks(const QString& text) {
    const auto first = std::find_if(text.cbegin(), text.cend(), [](QChar c) {
        return !(c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r');
    });
    return text.mid(first - text.cbegin());
}

// A text of the slide as laid out: its nominal font and cell, and the font and width it is
// drawn with once fitted between the view's right edge and the cells to its right.
struct TextCell {
    QString text;
    FontSpec font;
    QPoint pos;
    QColor colour = kTextColour;
    QRect cell; // at the nominal font
    FontSpec drawnFont{};
    int nDrawnWidth = 0;
    bool bCut = false;
};

// One paint: the surface, the catalogue, the layout mode and the fonts made for this paint.
// Texts are laid out first and drawn together: every background before any glyph, so where
// two cells overlap a later background never cuts an earlier line's glyphs.
class CSlidePainter {
public:
    CSlidePainter(QPainter& dc, CSatzStore& store, int nViewWidth)
        : m_dc(dc), m_store(store), m_fonts(dc.device()),
          m_mode(store.m_nResMode == kLargeResMode ? kLarge : kSmall), m_nViewWidth(nViewWidth) {}

    void Paint() {
        if (!m_store.m_bSatzLoaded) {
            Message();
            DrawTexts();
            return;
        }
        if (const Satz* satz = CurrentSatz()) {
            if (satz->nArt == kArtNeuFz)
                LayOutSatz(*satz, kNeuFzTexts);
            else if (satz->nArt == kArtOccasion)
                LayOutSatz(*satz, kOccasionTexts);
        }
        Promotion();
        DrawTexts();
    }

private:
    // An index outside the loaded slides shows no slide rather than reading past them.
    const Satz* CurrentSatz() const {
        const int nSatz = m_store.m_nCurrentSatz;
        const int nCount = std::min<int>(m_store.m_nSatzCount, int(m_store.m_satz.size()));
        return nSatz >= 0 && nSatz < nCount ? &m_store.m_satz[size_t(nSatz)] : nullptr;
    }

    void LayOutSatz(const Satz& satz, std::span<const TextRow> texts) {
        DrawPhotos(satz);
        std::optional<QRect> price;
        size_t nZeilenBegin = 0;
        size_t nZeilenEnd = 0;
        for (const TextRow& row : texts) {
            if (!Wanted(row.when, satz))
                continue;
            if (row.source == Source::Zeilen) {
                nZeilenBegin = m_texts.size();
                AddZeilen(satz, row);
                nZeilenEnd = m_texts.size();
                continue;
            }
            const QString text = TextOf(row.source, satz);
            const FontSpec& longFont = row.longFont[m_mode];
            const bool bLong = longFont.nHeight > 0 && text.size() > kLongAddress;
            if (AddText(bLong ? longFont : row.font[m_mode], row.pos[m_mode], text) &&
                (row.source == Source::PreisZeile || row.source == Source::OccasionPreis))
                price = m_texts.back().cell;
        }
        if (price)
            KeepZeilenAbove(*price, nZeilenBegin, nZeilenEnd);
    }

    void DrawPhotos(const Satz& satz) {
        const CPictureLoader loader;
        const auto placed = PlaceSlidePhotos(satz, m_mode);
        for (size_t k = 0; k < placed.size(); ++k) {
            const PlacedPhoto& photo = placed[k];
            if (photo.bDrawn &&
                loader.RenderPicture(m_dc, photo.topLeft.x(), photo.topLeft.y(), m_store,
                                     satz.nBild[k], photo.nPercent, photo.room))
                m_photos.push_back(loader.PictureRect(m_store, photo.topLeft.x(), photo.topLeft.y(),
                                                      satz.nBild[k], photo.nPercent, photo.room));
        }
    }

    void AddZeilen(const Satz& satz, const TextRow& row) {
        const int nZeilen = std::clamp<int>(satz.nZeilen, 0, int(satz.strZeilen.size()));
        const QPoint start = row.pos[m_mode];
        const QString prefix = QString::fromUtf8(kZeilenPrefix);
        for (int i = 0; i < nZeilen; ++i)
            AddText(row.font[m_mode], QPoint(start.x(), start.y() + (i + 1) * row.step[m_mode]),
                    prefix + satz.strZeilen[size_t(i)]);
    }

    // The detail lines end before the first one whose cell would reach the price's.
    void KeepZeilenAbove(const QRect& price, size_t nBegin, size_t nEnd) {
        for (size_t i = nBegin; i < nEnd; ++i) {
            if (m_texts[i].cell.intersects(price)) {
                TraceF("Zeilen %d bis %d ausgelassen: Preis", int(i - nBegin + 1),
                       int(nEnd - nBegin));
                m_texts.erase(m_texts.begin() + std::ptrdiff_t(i),
                              m_texts.begin() + std::ptrdiff_t(nEnd));
                return;
            }
        }
    }

    bool Wanted(When when, const Satz& satz) const {
        switch (when) {
        case When::Always:
            return true;
        case When::RateAboveThreshold:
            return satz.dRate > kRateThreshold;
        case When::LargeWithPreis:
            return m_mode == kLarge && !satz.strPreis.isEmpty();
        }
        return false;
    }

    QString TextOf(Source source, const Satz& satz) const {
        const int nSprache = m_store.m_nSprache;
        const QString suffix = QString::fromUtf8(kPreisSuffix);
        switch (source) {
        case Source::Titel:
            return satz.strTitel;
        case Source::PreisZeile:
            return satz.strPreisZeile;
        case Source::OccasionPreis: {
            const QString waehrung = ByLanguage(nSprache, kWaehrungDe, kWaehrungFr);
            return waehrung.isEmpty() ? QString() : waehrung + satz.strPreis + suffix;
        }
        case Source::KmText:
            if (m_mode == kSmall && !satz.strPreis.isEmpty())
                return satz.strKmText + QString::fromUtf8(kKmPreisSeparator) + satz.strPreis +
                       suffix;
            return satz.strKmText;
        case Source::Zustand:
            return satz.strZustand;
        case Source::FinanzLabel:
            return ByLanguage(nSprache, kFinanzLabelDe, kFinanzLabelFr);
        case Source::FinanzRate: {
            const char* format = ByLanguageUtf8(nSprache, kFinanzRateDe, kFinanzRateFr);
            return format ? QString::asprintf(format, satz.dRate) : QString();
        }
        case Source::Adresse:
            return m_store.m_strAdresse;
        case Source::WebAddress:
            return ByLanguage(nSprache, portal::kWebAddressDe, portal::kWebAddressFr);
        case Source::Zeilen:
            break;
        }
        return {};
    }

    void Promotion() {
        const QString& promo = m_store.m_strPromoText;
        if (m_mode != kLarge || promo.size() <= kPromoMaxIgnored)
            return;
        const QString upper = UpperAscii(promo);
        for (const PromoPrefix& prefix : kPromoPrefixes) {
            const QString start = ByLanguage(m_store.m_nSprache, prefix.de, prefix.fr);
            if (!start.isEmpty() && upper.startsWith(start)) {
                AddText(kPromoFont, kPromoPos,
                        WithoutLeadingBlanks(promo.mid(start.size(), kPromoMaxLength)),
                        prefix.colour);
                return;
            }
        }
        AddText(kPromoFont, kPromoPos, promo);
    }

    void Message() {
        const bool bKunde = !m_store.m_strKundenNr.isEmpty();
        AddText(kMessageFont, kMessagePos[m_mode],
                bKunde ? ByLanguage(m_store.m_nSprache, kLadenDe, kLadenFr)
                       : ByLanguage(m_store.m_nSprache, kAnmeldenDe, kAnmeldenFr));
        if (!bKunde)
            AddText(kAnmeldenOrtFont, kAnmeldenOrtPos[m_mode],
                    ByLanguage(m_store.m_nSprache, kAnmeldenOrtDe, kAnmeldenOrtFr));
    }

    // False for an empty text, which has no cell.
    bool AddText(const FontSpec& font, QPoint topLeft, const QString& text,
                 const QColor& colour = kTextColour) {
        if (text.isEmpty())
            return false;
        const CellFont& cell = m_fonts.Font(font);
        const int nWidth = cell.metrics.horizontalAdvance(text);
        m_texts.push_back({text, font, topLeft, colour,
                           QRect(topLeft.x(), topLeft.y(), nWidth, font.nHeight), font, nWidth,
                           false});
        return true;
    }

    // Where a text must end: the view's right edge, or the first text or photo cell that
    // begins to its right beside it.
    int RightLimit(const TextCell& text) const {
        int nRight = m_nViewWidth;
        const auto limitBy = [&](const QRect& other) {
            if (other.left() > text.cell.left() && other.top() <= text.cell.bottom() &&
                other.bottom() >= text.cell.top())
                nRight = std::min(nRight, other.left());
        };
        for (const QRect& photo : m_photos)
            limitBy(photo);
        for (const TextCell& other : m_texts)
            limitBy(other.cell);
        return nRight;
    }

    // A text that does not fit gets the largest cell height down to three quarters of its own
    // at which it does; below that it is cut.
    void Fit(TextCell& text, int nRight) {
        const int nRoom = nRight - text.pos.x();
        if (text.nDrawnWidth <= nRoom)
            return;
        const auto width = [&](int nHeight) {
            return m_fonts.Font({nHeight, text.font.nWeight}).metrics.horizontalAdvance(text.text);
        };
        int nLow = (text.font.nHeight * kMinFitPercent + 99) / 100;
        int nHigh = text.font.nHeight - 1;
        if (width(nLow) > nRoom) {
            nHigh = nLow;
            text.bCut = true;
        }
        while (nLow < nHigh) {
            const int nMid = (nLow + nHigh + 1) / 2;
            if (width(nMid) <= nRoom)
                nLow = nMid;
            else
                nHigh = nMid - 1;
        }
        text.drawnFont = {nLow, text.font.nWeight};
        text.nDrawnWidth = std::min(width(nLow), std::max(nRoom, 0));
        TraceF("Text verkleinert auf %d px%s: %s", nLow, text.bCut ? ", abgeschnitten" : "",
               qUtf8Printable(text.text));
    }

    // Opaque texts: every cell is filled with the background first, so a text that runs over
    // a photo stays readable.
    void DrawTexts() {
        for (TextCell& text : m_texts)
            Fit(text, RightLimit(text));
        for (const TextCell& text : m_texts)
            m_dc.fillRect(DrawnCell(text), kBackground);
        for (const TextCell& text : m_texts) {
            const CellFont& cell = m_fonts.Font(text.drawnFont);
            m_dc.save();
            if (text.bCut)
                m_dc.setClipRect(DrawnCell(text));
            m_dc.setFont(cell.font);
            m_dc.setPen(text.colour);
            m_dc.drawText(QPoint(text.pos.x(), text.pos.y() + cell.nAscent), text.text);
            m_dc.restore();
        }
    }

    static QRect DrawnCell(const TextCell& text) {
        return QRect(text.pos.x(), text.pos.y(), text.nDrawnWidth, text.drawnFont.nHeight);
    }

    QPainter& m_dc;
    CSatzStore& m_store;
    CCellFonts m_fonts;
    Mode m_mode;
    int m_nViewWidth;
    std::vector<QRect> m_photos;
    std::vector<TextCell> m_texts;
};
} // namespace

namespace {
// The view's right edge in layout pixels: texts that would run past it are fitted.
int LayoutWidth(const SlideFrame& frame, int nViewWidth) {
    if (nViewWidth <= 0)
        return 0;
    return static_cast<int>((nViewWidth - frame.origin.x()) / frame.dScale);
}
} // namespace

void ZeigeSatzAufBildschirm(QPainter& dc, CSatzStore& store, int nViewWidth) {
    Trace(QStringLiteral("ZeigeSatzAufBildschirm"));
    if (nViewWidth <= 0 && dc.device())
        nViewWidth = dc.device()->width();
    CSlidePainter(dc, store, nViewWidth).Paint();
    Trace(QStringLiteral("ZeigeSatzAufBildschirm fertig"));
}

void PaintSlide(QPainter& target, const QRect& area, CSatzStore& store, const SlideFrame& frame) {
    if (area.isEmpty())
        return;
    COffscreenDC offscreen(target, area);
    // Scaled by the painter, so texts are drawn at the scaled size in the image's own pixels.
    offscreen.Dc().setWorldTransform(frame.Transform(), true);
    ZeigeSatzAufBildschirm(offscreen.Dc(), store,
                           LayoutWidth(frame, target.device() ? target.device()->width() : 0));
}

QImage ComposeView(CSatzStore& store, const QSize& view, qreal dDevicePixelRatio,
                   const SlideFrame& frame) {
    if (view.isEmpty())
        return {};
    QImage image(view * dDevicePixelRatio, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(dDevicePixelRatio);
    image.fill(kBackground);
    QPainter dc(&image);
    dc.setWorldTransform(frame.Transform());
    ZeigeSatzAufBildschirm(dc, store, LayoutWidth(frame, view.width()));
    dc.end();
    return image;
}

QImage RenderSlide(CSatzStore& store, const QSize& size, bool bFit) {
    // Already off screen: draw straight into the image.
    return ComposeView(store, size, 1.0, FitSlide(store.m_nResMode, size, bFit));
}
