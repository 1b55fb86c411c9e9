#include "show/StaleMarker.h"

#include "catalogue/SatzStore.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/SlideLayout.h"
#include "show/StatusTexts.h"
#include "show/ViewConstants.h"
#include "sync/SyncStatus.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace {
QFont MarkerFont() {
    QFont font(QString::fromLatin1(slide::kFontFamily));
    font.setPixelSize(view::kStaleMarkerPixels);
    return font;
}

} // namespace

bool IsUsedDataStale(std::time_t lastSuccess, std::time_t now) {
    return lastSuccess > 0 && now - lastSuccess > view::kStaleAfterSeconds;
}

QString StaleMarkerText(const CSatzStore& store, std::time_t now) {
    const bool bUsedShown = store.m_nAnzeige == 0 || store.m_nAnzeige == 2;
    if (!store.m_bSatzLoaded || !bUsedShown ||
        GetProfileInt(setting::kSection, setting::kVeraltetHinweis,
                      setting::kVeraltetHinweisDefault) == 0)
        return {};
    const std::time_t lastSuccess = ReadSyncOutcome(SyncKind::Used).successTime;
    if (!IsUsedDataStale(lastSuccess, now))
        return {};
    return QString::fromUtf8(StatusTextsFor(store.m_nSprache).szStaleSince)
        .arg(FormatLocalTime(lastSuccess, "%d.%m.%Y %H:%M"));
}

QRect StaleMarkerRect(const QRect& view, const QString& text) {
    const QFontMetrics metrics(MarkerFont());
    const QSize size(metrics.horizontalAdvance(text), metrics.height());
    return QRect(view.right() + 1 - view::kStaleMarkerMargin - size.width(),
                 view.bottom() + 1 - view::kStaleMarkerMargin - size.height(), size.width(),
                 size.height());
}

void PaintStaleMarker(QPainter& dc, const QRect& view, const QString& text) {
    dc.save();
    dc.setFont(MarkerFont());
    dc.setPen(QColor(view::kStaleMarkerGrey, view::kStaleMarkerGrey, view::kStaleMarkerGrey));
    dc.drawText(StaleMarkerRect(view, text), Qt::AlignRight | Qt::AlignVCenter, text);
    dc.restore();
}
