#include "show/StatusOverlay.h"

#include "show/SlideLayout.h"
#include "show/StatusReport.h"

#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

namespace {

const QColor kPanel(12, 16, 24, 235); // the slide stays faintly visible underneath
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

QFont PageFont(int nPixels, QFont::Weight weight) {
    QFont font(QString::fromLatin1(slide::kFontFamily));
    font.setPixelSize(std::max(nPixels, 1));
    font.setWeight(weight);
    return font;
}

// Fonts and sizes of the page at one text size.
struct Layout {
    explicit Layout(const StatusPage& page, int nPixels, QPaintDevice* device)
        : title(PageFont(nPixels * 13 / 10, QFont::Bold)), text(PageFont(nPixels, QFont::Normal)),
          hint(PageFont(nPixels * 4 / 5, QFont::Normal)), nPad(nPixels), nGap(nPixels) {
        const QFontMetrics titleMetrics(title, device);
        const QFontMetrics textMetrics(text, device);
        const QFontMetrics hintMetrics(hint, device);
        nRow = textMetrics.lineSpacing() * 5 / 4;
        nTitleRow = titleMetrics.lineSpacing();
        nHintRow = hintMetrics.lineSpacing();
        for (const StatusLine& line : page.lines) {
            nLabelWidth = std::max(nLabelWidth, textMetrics.horizontalAdvance(line.strLabel));
            nValueWidth = std::max(nValueWidth, textMetrics.horizontalAdvance(line.strValue));
        }
        const int nBody = std::max({nLabelWidth + nGap + nValueWidth,
                                    titleMetrics.horizontalAdvance(page.strTitle),
                                    hintMetrics.horizontalAdvance(page.strHint)});
        size = QSize(2 * nPad + nBody,
                     2 * nPad + nTitleRow + nGap + int(page.lines.size()) * nRow + nGap + nHintRow);
    }

    QFont title;
    QFont text;
    QFont hint;
    int nPad;
    int nGap;
    int nRow = 0;
    int nTitleRow = 0;
    int nHintRow = 0;
    int nLabelWidth = 0;
    int nValueWidth = 0;
    QSize size;
};

} // namespace

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

void PaintStatusPage(QPainter& dc, const QRect& view, const StatusPage& page) {
    const QSize fit(int(view.width() * kMaxPanelShare), int(view.height() * kMaxPanelShare));
    int nPixels =
        std::clamp(view.height() / kViewLinesPerTextPixel, kMinTextPixels, kMaxTextPixels);
    Layout layout(page, nPixels, dc.device());
    while (nPixels > kMinTextPixels &&
           (layout.size.width() > fit.width() || layout.size.height() > fit.height()))
        layout = Layout(page, --nPixels, dc.device());

    QRect panel(QPoint(0, 0), layout.size.boundedTo(fit));
    panel.moveCenter(view.center());

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

    // Values that still do not fit at the smallest size lose their end, not the panel.
    dc.setFont(layout.text);
    const int nValueLeft = nLeft + layout.nLabelWidth + layout.nGap;
    const int nValueWidth = std::max(nLeft + nWidth - nValueLeft, 0);
    for (const StatusLine& line : page.lines) {
        dc.setPen(kLabel);
        dc.drawText(QRect(nLeft, y, layout.nLabelWidth, layout.nRow),
                    Qt::AlignLeft | Qt::AlignVCenter, line.strLabel);
        dc.setPen(line.bWarning ? kWarning : kValue);
        dc.drawText(QRect(nValueLeft, y, nValueWidth, layout.nRow),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    dc.fontMetrics().elidedText(line.strValue, Qt::ElideRight, nValueWidth));
        y += layout.nRow;
    }
    y += layout.nGap;

    dc.setFont(layout.hint);
    dc.setPen(kHint);
    dc.drawText(QRect(nLeft, y, nWidth, layout.nHintRow), Qt::AlignLeft | Qt::AlignVCenter,
                page.strHint);
    dc.restore();
}
