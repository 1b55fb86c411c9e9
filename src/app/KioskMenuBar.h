#pragma once
// The menu bar of the kiosk window: hidden over the show, brought back by Alt, F10, a menu
// accelerator or the pointer at the screen's top edge, and hidden again a while after its last
// use. The accelerators are matched here because a hidden bar answers none of them.

#include <QObject>
#include <QTimer>

class QAction;
class QMainWindow;
class QMenuBar;

class CKioskMenuBar : public QObject {
    Q_OBJECT

public:
    // Watches the keys and the pointer of the whole application for window.
    CKioskMenuBar(QMainWindow& window, QMenuBar& menuBar);
    ~CKioskMenuBar() override;

    const QTimer& HideTimer() const { return m_hideTimer; }
    // Shows the bar and starts the time until it hides again.
    void Reveal();
    // Hides the bar unless one of its menus is open.
    void HideUnlessInUse();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* MenuOfAccelerator(int nKeyCombination) const;
    bool IsMenuOpen() const;

    QMainWindow& m_window;
    QMenuBar& m_menuBar;
    QTimer m_hideTimer;
};
