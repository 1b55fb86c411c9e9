#pragma once
// The status page over the current slide: when it shows, and how it is drawn. The page opens
// on "I", a key the show has no use for, and any key closes it again without reaching the
// show.

#include <QFont>
#include <QRect>
#include <QStringList>
#include <Qt>
#include <vector>

class QKeyEvent;
class QPaintDevice;
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

// The page's fonts and rows at one text size: a value too wide for its column wraps.
struct StatusPanelLayout {
    StatusPanelLayout(const StatusPage& page, int nPixels, const QSize& fit, QPaintDevice* device);

    QFont title;
    QFont text;
    QFont hint;
    int nPixels;
    int nPad;
    int nGap;
    int nRow = 0;
    int nTitleRow = 0;
    int nHintRow = 0;
    int nLabelWidth = 0;
    int nValueWidth = 0;
    std::vector<QStringList> values; // the rows of each line's value
    QSize size;
    QRect panel; // in the view
};

// The largest text that lets the page fit the view, up to the size that suits its height; a
// chrome scale above 1 (a screen larger than full HD) raises that limit with it.
StatusPanelLayout LayOutStatusPage(const QRect& view, const StatusPage& page, QPaintDevice* device,
                                   double dChromeScale = 1.0);

// A dark, opaque panel with the page, centred on view and scaled to its height so that it
// reads from a few steps away on every screen size of the show.
void PaintStatusPage(QPainter& dc, const QRect& view, const StatusPage& page,
                     double dChromeScale = 1.0);
