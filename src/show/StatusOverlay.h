#pragma once
// The status page over the current slide: when it shows, and how it is drawn. The page opens
// on "I", a key the show has no use for, and any key closes it again without reaching the
// show.

#include <QRect>
#include <Qt>

class QKeyEvent;
class QPainter;
struct StatusPage;

class CStatusToggle {
public:
    bool IsShown() const { return m_bShown; }
    // True when the key opened or closed the page; the show must then ignore it.
    bool TakeKey(const QKeyEvent& event);

private:
    bool m_bShown = false;
};

inline constexpr Qt::Key kStatusKey = Qt::Key_I;

// A dark, translucent panel with the page, centred on view and scaled to its height so that
// it reads from a few steps away on every screen size of the show.
void PaintStatusPage(QPainter& dc, const QRect& view, const StatusPage& page);
