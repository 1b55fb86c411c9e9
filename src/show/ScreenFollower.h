#pragma once
// Keeps the show's window on its screen. Only a window manager carries out a full-screen
// request: on a bare X server, or under a compositor that ignores it, the window would keep the
// size it was given. So a kiosk window takes its screen's geometry itself and follows it when
// it changes; when its screen goes away it moves to one that remains, and back when the screen
// returns. Once mapped it takes the keyboard focus, which nobody hands it on a bare X server.

#include "show/StatusReport.h"

#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QString>
#include <QStringList>

class QWidget;

// Which of the outputs shows the slides: the one named, else the primary one.
struct ScreenChoice {
    int nIndex = -1;        // in the names given; -1 without any screen
    bool bFallback = false; // a name was given and no such output is present
};
ScreenChoice ChooseScreen(const QStringList& names, int nPrimary, const QString& wanted);

// The screen the widget stands on, for the status page, with the output "Bildschirm" names
// when that one is not present.
ScreenState ScreenStateOf(const QWidget& widget);

class CScreenFollower : public QObject {
    Q_OBJECT

public:
    // wanted: the output's name, empty for the primary screen. bFill: the window covers the
    // screen (the kiosk); otherwise it is only placed on it.
    CScreenFollower(QWidget& window, const QString& wanted, bool bFill);
    ~CScreenFollower() override;

    QScreen* Screen() const { return m_pScreen; }

signals:
    // The window was put on screen anew: another screen, or the same one at another size.
    void ScreenFollowed(QScreen* screen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Watch(QScreen* screen);
    // Puts the window on the chosen screen among those present, at its size.
    void Follow();

    QWidget& m_window;
    const QString m_wanted;
    const bool m_bFill;
    QPointer<QScreen> m_pScreen;
    // While Qt announces a screen's removal, the screen is still in its list.
    QScreen* m_pLeaving = nullptr;
    bool m_bShown = false;
    // The size the journal last named.
    QSize m_shownSize;
};
