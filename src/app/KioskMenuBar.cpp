#include "app/KioskMenuBar.h"

#include "app/AppConstants.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>

CKioskMenuBar::CKioskMenuBar(QMainWindow& window, QMenuBar& menuBar)
    : m_window(window), m_menuBar(menuBar) {
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(app::kMenuBarHideMs);
    connect(&m_hideTimer, &QTimer::timeout, this, &CKioskMenuBar::HideUnlessInUse);
    for (QAction* action : m_menuBar.actions()) {
        if (QMenu* menu = action->menu()) {
            connect(menu, &QMenu::aboutToShow, this, &CKioskMenuBar::Reveal);
            // The time runs from the menu's close, not from its opening.
            connect(menu, &QMenu::aboutToHide, this, [this] { m_hideTimer.start(); });
        }
    }
    m_menuBar.hide();
    qApp->installEventFilter(this);
}

CKioskMenuBar::~CKioskMenuBar() {
    qApp->removeEventFilter(this);
}

void CKioskMenuBar::Reveal() {
    m_menuBar.show();
    m_hideTimer.start();
}

void CKioskMenuBar::HideUnlessInUse() {
    if (IsMenuOpen()) {
        m_hideTimer.start();
        return;
    }
    const bool bHadFocus = m_menuBar.hasFocus();
    m_menuBar.hide();
    if (bHadFocus && m_window.centralWidget())
        m_window.centralWidget()->setFocus();
}

bool CKioskMenuBar::IsMenuOpen() const {
    for (QAction* action : m_menuBar.actions())
        if (action->menu() && action->menu()->isVisible())
            return true;
    return false;
}

QAction* CKioskMenuBar::MenuOfAccelerator(int nKeyCombination) const {
    const QKeySequence pressed(nKeyCombination);
    for (QAction* action : m_menuBar.actions())
        if (action->menu() && QKeySequence::mnemonic(action->text()) == pressed)
            return action;
    return nullptr;
}

bool CKioskMenuBar::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != &m_window)
        return false;
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() == Qt::Key_Alt || key.key() == Qt::Key_F10) {
            Reveal();
        } else if (QAction* menu = MenuOfAccelerator(key.keyCombination().toCombined())) {
            // Reaches here only when the bar itself did not take it: it was hidden until the
            // Alt key of this very accelerator brought it back.
            Reveal();
            m_menuBar.setActiveAction(menu);
            return true;
        } else if (m_menuBar.isVisible()) {
            m_hideTimer.start();
        }
    } else if (event->type() == QEvent::MouseMove) {
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        const QPoint top = m_window.mapToGlobal(QPoint(0, 0));
        if (mouse.globalPosition().y() <= top.y() + app::kMenuBarRevealEdge || widget == &m_menuBar)
            Reveal();
    }
    return false;
}
