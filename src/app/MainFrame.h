#pragma once
// The one main window: frameless and maximised, sized from "ScrRes" when restored, with the
// slideshow view as its centre and the operator's menu. It writes the language before the view
// exists, so the view reads the language of this edition.

#include <QMainWindow>
#include <functional>
#include <vector>

class CZelvoraView;
class QAction;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    using ViewFactory = std::function<CZelvoraView*(QWidget* parent)>;
    explicit CMainFrame(const ViewFactory& makeView);

    CZelvoraView& View() { return *m_pView; }
    // The menu item of a command number, or nullptr.
    QAction* CommandAction(int nID) const;

private:
    void PreCreateWindow();
    void CreateMenu();
    void UpdateCheckMarks();

    CZelvoraView* m_pView = nullptr;
    std::vector<QAction*> m_actions;
};
