#pragma once
// How large the operator's chrome is: the menu bar, the dialogs and the status page are laid
// out for a full-HD screen and would be tiny on a 4K TV without desktop scaling. A larger
// screen scales them up by the smaller of its two sides' ratios to full HD; on full HD and
// below they stay exactly as laid out. Desktop scaling is already in the logical size.

#include <QFont>
#include <utility>
#include <vector>

class QScreen;
class QSize;
class QWidget;

double ChromeScale(const QSize& screen);
// Of the screen of the nearest shown widget among widget and its owners: a dialog being built
// is not shown yet and goes where its owner is.
double ChromeScaleOf(const QWidget* widget);
// A size laid out for full HD, at widget's scale.
int ChromePixels(const QWidget* widget, int nPixels);

// The application's fonts at the scale of the show's screen, which every menu, dialog and
// message box takes. Nothing is touched while the scale stays 1.
class CChromeFonts {
public:
    CChromeFonts();
    // Back to the fonts it found, which a later window takes as its own to scale.
    ~CChromeFonts();

    void Apply(const QScreen* screen);
    double Scale() const { return m_dScale; }

private:
    // The default font first, then those a platform theme may give some classes of widget.
    std::vector<std::pair<const char*, QFont>> m_base;
    double m_dScale = 1.0;
};
