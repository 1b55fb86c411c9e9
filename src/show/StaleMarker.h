#pragma once
// The small note in the slide's bottom right corner when the used vehicles could not be
// brought up to date for days: it says since when, so the dealer learns that the prices on
// show may be old. Below the address and the web address, in no text or photo cell, and dim.

#include <QRect>
#include <QString>
#include <ctime>

class CSatzStore;
class QPainter;

// More than the allowed age lies between the last successful sync and now; a sync never on
// record is not stale (there is no time to tell).
bool IsUsedDataStale(std::time_t lastSuccess, std::time_t now);

// The note for the show as it is now, or empty: none while nothing is loaded, while only new
// vehicles are shown, or when the setting switches it off.
QString StaleMarkerText(const CSatzStore& store, std::time_t now);

// Where the note stands in a view of this size.
QRect StaleMarkerRect(const QRect& view, const QString& text);
void PaintStaleMarker(QPainter& dc, const QRect& view, const QString& text);
