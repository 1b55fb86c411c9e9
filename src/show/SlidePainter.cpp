#include "show/SlidePainter.h"

#include "catalogue/CatalogueLimits.h"
#include "catalogue/PictureLoader.h"
#include "catalogue/SatzStore.h"
#include "settings/Trace.h"
#include "show/CellFonts.h"
#include "show/OffscreenDC.h"
#include "show/SlideLayout.h"
#include "sync/Portal.h"

#include <QPainter>
#include <algorithm>
#include <span>

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

// One paint: the surface, the catalogue, the layout mode and the fonts made for this paint.
class CSlidePainter {
public:
    CSlidePainter(QPainter& dc, CSatzStore& store)
        : m_dc(dc), m_store(store), m_fonts(dc.device()),
          m_mode(store.m_nResMode == kLargeResMode ? kLarge : kSmall) {}

    void Paint() {
        if (!m_store.m_bSatzLoaded) {
            Message();
            return;
        }
        if (const Satz* satz = CurrentSatz()) {
            if (satz->nArt == kArtNeuFz)
                DrawSatz(*satz, kNeuFzPhotos, kNeuFzTexts);
            else if (satz->nArt == kArtOccasion)
                DrawSatz(*satz, kOccasionPhotos, kOccasionTexts);
        }
        Promotion();
    }

private:
    // An index outside the loaded slides shows no slide rather than reading past them.
    const Satz* CurrentSatz() const {
        const int nSatz = m_store.m_nCurrentSatz;
        const int nCount = std::min<int>(m_store.m_nSatzCount, int(m_store.m_satz.size()));
        return nSatz >= 0 && nSatz < nCount ? &m_store.m_satz[size_t(nSatz)] : nullptr;
    }

    void DrawSatz(const Satz& satz, const PhotoLayout& photos, std::span<const TextRow> texts) {
        DrawPhotos(satz, photos);
        for (const TextRow& row : texts) {
            if (!Wanted(row.when, satz))
                continue;
            if (row.source == Source::Zeilen) {
                DrawZeilen(satz, row);
                continue;
            }
            const QString text = TextOf(row.source, satz);
            const FontSpec& longFont = row.longFont[m_mode];
            const bool bLong = longFont.nHeight > 0 && text.size() > kLongAddress;
            DrawText(bLong ? longFont : row.font[m_mode], row.pos[m_mode], text);
        }
    }

    void DrawPhotos(const Satz& satz, const PhotoLayout& layout) {
        const CPictureLoader loader;
        const QPoint main = layout.main[m_mode];
        loader.RenderPicture(m_dc, main.x(), main.y(), m_store, satz.nBild[0], kMainPhotoPercent);

        std::array<int, kMaxSmallPhotos> present{};
        int n = 0;
        for (size_t k = 1; k < satz.nBild.size(); ++k) {
            if (satz.nBild[k] > 0)
                present[size_t(n++)] = satz.nBild[k];
        }
        if (n == 0)
            return;
        const auto& column = layout.smallY[m_mode][size_t(n - 1)];
        for (size_t k = 0; k < size_t(n); ++k)
            loader.RenderPicture(m_dc, kSmallPhotoX[m_mode], column[k], m_store, present[k],
                                 kSmallPhotoPercent[m_mode]);
    }

    void DrawZeilen(const Satz& satz, const TextRow& row) {
        const int nZeilen = std::clamp<int>(satz.nZeilen, 0, int(satz.strZeilen.size()));
        const QPoint start = row.pos[m_mode];
        const QString prefix = QString::fromUtf8(kZeilenPrefix);
        for (int i = 0; i < nZeilen; ++i)
            DrawText(row.font[m_mode], QPoint(start.x(), start.y() + (i + 1) * row.step[m_mode]),
                     prefix + satz.strZeilen[size_t(i)]);
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
                DrawText(kPromoFont, kPromoPos,
                         WithoutLeadingBlanks(promo.mid(start.size(), kPromoMaxLength)),
                         prefix.colour);
                return;
            }
        }
        DrawText(kPromoFont, kPromoPos, promo);
    }

    void Message() {
        const bool bKunde = !m_store.m_strKundenNr.isEmpty();
        DrawText(kMessageFont, kMessagePos[m_mode],
                 bKunde ? ByLanguage(m_store.m_nSprache, kLadenDe, kLadenFr)
                        : ByLanguage(m_store.m_nSprache, kAnmeldenDe, kAnmeldenFr));
        if (!bKunde)
            DrawText(kAnmeldenOrtFont, kAnmeldenOrtPos[m_mode],
                     ByLanguage(m_store.m_nSprache, kAnmeldenOrtDe, kAnmeldenOrtFr));
    }

    // Opaque text: the cells are filled with the background first, so a text that runs over
    // a photo stays readable.
    void DrawText(const FontSpec& fontSpec, QPoint topLeft, const QString& text,
                  const QColor& colour = kTextColour) {
        if (text.isEmpty())
            return;
        const CellFont& cell = m_fonts.Font(fontSpec);
        m_dc.fillRect(QRect(topLeft.x(), topLeft.y(), cell.metrics.horizontalAdvance(text),
                            cell.nAscent + cell.nDescent),
                      kBackground);
        m_dc.setFont(cell.font);
        m_dc.setPen(colour);
        m_dc.drawText(QPoint(topLeft.x(), topLeft.y() + cell.nAscent), text);
    }

    QPainter& m_dc;
    CSatzStore& m_store;
    CCellFonts m_fonts;
    Mode m_mode;
};
} // namespace

void ZeigeSatzAufBildschirm(QPainter& dc, CSatzStore& store) {
    Trace(QStringLiteral("ZeigeSatzAufBildschirm"));
    CSlidePainter(dc, store).Paint();
    Trace(QStringLiteral("ZeigeSatzAufBildschirm fertig"));
}

void PaintSlide(QPainter& target, const QRect& area, CSatzStore& store) {
    if (area.isEmpty())
        return;
    COffscreenDC offscreen(target, area);
    ZeigeSatzAufBildschirm(offscreen.Dc(), store);
}

QImage RenderSlide(CSatzStore& store, const QSize& size) {
    if (size.isEmpty())
        return {};
    // Already off screen: draw straight into the image.
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(kBackground);
    QPainter dc(&image);
    ZeigeSatzAufBildschirm(dc, store);
    dc.end();
    return image;
}
