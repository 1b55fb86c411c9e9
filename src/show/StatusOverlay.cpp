#include "show/StatusOverlay.h"

#include "show/SlideLayout.h"
#include "show/StatusReport.h"

#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

const QColor kPanel(12, 16, 24); // opaque: no slide text shows through
const QColor kBorder(120, 130, 150);
const QColor kTitle(242, 177, 52);
const QColor kLabel(175, 184, 200);
const QColor kValue(255, 255, 255);
const QColor kWarning(255, 110, 90);
const QColor kHint(150, 158, 172);

// Text height in pixels per pixel of view height: 22 at 768 lines, 31 at 1080.
constexpr int kViewLinesPerTextPixel = 34;
constexpr int kMinTextPixels = 10;
constexpr int kMaxTextPixels = 40;
// The panel leaves a margin of the slide visible around it.
constexpr double kMaxPanelShare = 0.94;
// A value wraps onto this many rows at most; the last one loses what does not fit.
constexpr int kMaxValueRows = 3;
// The values keep at least this share of the panel's width before the text gets smaller.
constexpr int kMinValueShare = 4;

QFont PageFont(int nPixels, QFont::Weight weight) {
    QFont font(QString::fromLatin1(slide::kFontFamily));
    font.setPixelSize(std::max(nPixels, 1));
    font.setWeight(weight);
    return font;
}

// Rounded up: a text measured a fraction short would be cut at its last letters.
int Width(const QFontMetricsF& metrics, const QString& text) {
    return int(std::ceil(metrics.horizontalAdvance(text)));
}

// The rows of a value in a column nWidth pixels wide: broken between words where it can be.
QStringList WrapValue(const QString& text, const QFont& font, int nWidth, QPaintDevice* device) {
    if (Width(QFontMetricsF(font, device), text) <= nWidth)
        return {text};
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList rows;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(nWidth);
        if (rows.size() == kMaxValueRows - 1) {
            rows.append(QFontMetrics(font, device)
                            .elidedText(text.mid(line.textStart()), Qt::ElideRight, nWidth));
            break;
        }
        rows.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return rows;
}

} // namespace

StatusPanelLayout::StatusPanelLayout(const StatusPage& page, int nPixels, const QSize& fit,
                                     QPaintDevice* device)
    : title(PageFont(nPixels * 13 / 10, QFont::Bold)), text(PageFont(nPixels, QFont::Normal)),
      hint(PageFont(nPixels * 4 / 5, QFont::Normal)), nPixels(nPixels), nPad(nPixels),
      nGap(nPixels) {
    const QFontMetricsF titleMetrics(title, device);
    const QFontMetricsF textMetrics(text, device);
    const QFontMetricsF hintMetrics(hint, device);
    nRow = QFontMetrics(text, device).lineSpacing() * 5 / 4;
    nTitleRow = QFontMetrics(title, device).lineSpacing();
    nHintRow = QFontMetrics(hint, device).lineSpacing();
    int nWidest = 0;
    for (const StatusLine& line : page.lines) {
        nLabelWidth = std::max(nLabelWidth, Width(textMetrics, line.strLabel));
        nWidest = std::max(nWidest, Width(textMetrics, line.strValue));
    }
    const int nRoom = fit.width() - 2 * nPad - nLabelWidth - nGap;
    nValueWidth = std::min(nWidest, std::max(nRoom, fit.width() / kMinValueShare));
    int nRows = 0;
    for (const StatusLine& line : page.lines) {
        values.push_back(WrapValue(line.strValue, text, nValueWidth, device));
        nRows += int(values.back().size());
    }
    const int nBody =
        std::max({nLabelWidth + nGap + nValueWidth, Width(titleMetrics, page.strTitle),
                  Width(hintMetrics, page.strHint)});
    size = QSize(2 * nPad + nBody, 2 * nPad + nTitleRow + nGap + nRows * nRow + nGap + nHintRow);
}

StatusPanelLayout LayOutStatusPage(const QRect& view, const StatusPage& page, QPaintDevice* device,
                                   double dChromeScale) {
    const QSize fit(int(view.width() * kMaxPanelShare), int(view.height() * kMaxPanelShare));
    const int nMaxPixels =
        std::max(kMaxTextPixels, int(std::lround(kMaxTextPixels * dChromeScale)));
    int nPixels = std::clamp(view.height() / kViewLinesPerTextPixel, kMinTextPixels, nMaxPixels);
    StatusPanelLayout layout(page, nPixels, fit, device);
    while (nPixels > kMinTextPixels &&
           (layout.size.width() > fit.width() || layout.size.height() > fit.height()))
        layout = StatusPanelLayout(page, --nPixels, fit, device);
    layout.panel = QRect(QPoint(0, 0), layout.size.boundedTo(fit));
    layout.panel.moveCenter(view.center());
    return layout;
}

bool CStatusToggle::TakeKey(const QKeyEvent& event) {
    if (m_bShown) {
        // Holding a key down repeats it: only a fresh press closes the page.
        if (!event.isAutoRepeat())
            m_bShown = false;
        return true;
    }
    const auto combined = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event.key() != kStatusKey || (event.modifiers() & combined))
        return false;
    m_bShown = true;
    return true;
}

void PaintStatusPage(QPainter& dc, const QRect& view, const StatusPage& page, double dChromeScale) {
    const StatusPanelLayout layout = LayOutStatusPage(view, page, dc.device(), dChromeScale);
    const QRect& panel = layout.panel;

    dc.save();
    dc.setRenderHint(QPainter::Antialiasing);
    dc.setPen(QPen(kBorder, 2));
    dc.setBrush(kPanel);
    dc.drawRoundedRect(panel, layout.nPad / 2.0, layout.nPad / 2.0);

    const int nLeft = panel.left() + layout.nPad;
    const int nWidth = panel.width() - 2 * layout.nPad;
    int y = panel.top() + layout.nPad;
    dc.setFont(layout.title);
    dc.setPen(kTitle);
    dc.drawText(QRect(nLeft, y, nWidth, layout.nTitleRow), Qt::AlignLeft | Qt::AlignVCenter,
                page.strTitle);
    y += layout.nTitleRow + layout.nGap;

    dc.setFont(layout.text);
    const int nValueLeft = nLeft + layout.nLabelWidth + layout.nGap;
    for (size_t n = 0; n < page.lines.size(); ++n) {
        const StatusLine& line = page.lines[n];
        dc.setPen(kLabel);
        dc.drawText(QRect(nLeft, y, layout.nLabelWidth, layout.nRow),
                    Qt::AlignLeft | Qt::AlignVCenter, line.strLabel);
        dc.setPen(line.bWarning ? kWarning : kValue);
        for (const QString& row : layout.values[n]) {
            dc.drawText(QRect(nValueLeft, y, layout.nValueWidth, layout.nRow),
                        Qt::AlignLeft | Qt::AlignVCenter, row);
            y += layout.nRow;
        }
    }
    y += layout.nGap;

    dc.setFont(layout.hint);
    dc.setPen(kHint);
    dc.drawText(QRect(nLeft, y, nWidth, layout.nHintRow), Qt::AlignLeft | Qt::AlignVCenter,
                page.strHint);
    dc.restore();
}
