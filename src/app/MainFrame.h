#pragma once
// The one main window: frameless, covering its screen with a menu bar on demand (or maximised
// with its menu bar when "Kiosk" is 0, sized from "ScrRes" when restored), on the output
// "Bildschirm" names; Alt+F4 closes it also where no window manager does, with the slideshow view
// as its centre and the operator's menu. It writes the language of the edition chosen by "Ausgabe"
// before the view exists, so the view reads it. A restart the view asks for closes the window
// with the restart pending, unless the guard refuses it.

#include "app/RestartGuard.h"
#include "dialogs/ChromeScale.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class CKioskMenuBar;
class CScreenFollower;
class CZelvoraView;
class QAction;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    using ViewFactory = std::function<CZelvoraView*(QWidget* parent)>;
    // restartHistory: the recent restarts, as RestartHistory() gave them before the exec.
    explicit CMainFrame(const ViewFactory& makeView, const QByteArray& restartHistory = {});
    ~CMainFrame() override;

    CZelvoraView& View() { return *m_pView; }
    // The menu item of a command number, or nullptr.
    QAction* CommandAction(int nID) const;
    // The hidden menu bar's keeper; nullptr when "Kiosk" is 0.
    CKioskMenuBar* Kiosk() const { return m_pKiosk.get(); }
    const CScreenFollower& Screen() const { return *m_pScreen; }

    // The window closed for a fresh start, not by the operator.
    bool IsRestartPending() const { return m_bRestartPending; }
    QByteArray RestartHistory() const { return m_restartGuard.History(); }

private:
    void PreCreateWindow();
    void CreateMenu();
    void UpdateCheckMarks();
    void OnRestartRequested();

    CZelvoraView* m_pView = nullptr;
    std::vector<QAction*> m_actions;
    std::unique_ptr<CKioskMenuBar> m_pKiosk;
    std::unique_ptr<CScreenFollower> m_pScreen;
    CRestartGuard m_restartGuard;
    CChromeFonts m_chromeFonts;
    bool m_bRestartPending = false;
};
