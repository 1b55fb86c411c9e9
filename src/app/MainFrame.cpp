#include "app/MainFrame.h"

#include "app/AppConstants.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/ViewConstants.h"
#include "show/ZelvoraView.h"
#include "sync/Portal.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {
struct MenuItem {
    const char* szText;
    int nCommand;
    bool bCheckable;
};
struct MenuTable {
    const char* szTitle;
    std::vector<MenuItem> items;
};

// German in every language.
const std::vector<MenuTable>& Menus() {
    static const std::vector<MenuTable> menus{
        {"&Speed",
         {{"Start", command::kStart, true},
          {"3s", command::kSpeed3s, true},
          {"5s", command::kSpeed5s, true},
          {"10s", command::kSpeed10s, true},
          {"30s", command::kSpeed30s, true},
          {"60s", command::kSpeed60s, true}}},
        {"&Einstellungen",
         {{"&Authorisation", command::kAuthorisation, false},
          {"Einstellungen", command::kEinstellungen, false},
          {"Update", command::kUpdate, false},
          {"Proxy Server", command::kProxyServer, false}}},
        {"?", {{"Version", command::kVersion, false}}},
    };
    return menus;
}
} // namespace

CMainFrame::CMainFrame(const ViewFactory& makeView) {
    PreCreateWindow();
    m_pView = makeView(this);
    setCentralWidget(m_pView);
    m_pView->setFocus();
    CreateMenu();
    connect(m_pView, &CZelvoraView::ShowStateChanged, this, &CMainFrame::UpdateCheckMarks);
    UpdateCheckMarks();
}

void CMainFrame::PreCreateWindow() {
    // An unattended show: no caption bar and no frame to resize.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString::fromLatin1(app::kTitlePrefix) +
                   QString::fromLatin1(portal::kWebAddressDe));
    WriteProfileInt(setting::kSection, setting::kSprache, app::kSprache);
    const int nScrRes = GetProfileInt(setting::kSection, setting::kScrRes, 0);
    if (nScrRes >= 0 && nScrRes < static_cast<int>(app::kWindowSizes.size()))
        setGeometry(QRect(QPoint(0, 0), app::kWindowSizes[static_cast<size_t>(nScrRes)]));
    setWindowState(Qt::WindowMaximized);
}

void CMainFrame::CreateMenu() {
    for (const auto& table : Menus()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(table.szTitle));
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCheckMarks);
        for (const auto& item : table.items) {
            QAction* action = menu->addAction(QString::fromLatin1(item.szText));
            action->setObjectName(QString::number(item.nCommand));
            action->setData(item.nCommand);
            action->setCheckable(item.bCheckable);
            const int nCommand = item.nCommand;
            connect(action, &QAction::triggered, m_pView,
                    [this, nCommand] { m_pView->OnCommand(nCommand); });
            m_actions.push_back(action);
        }
    }
}

QAction* CMainFrame::CommandAction(int nID) const {
    for (QAction* action : m_actions) {
        if (action->data().toInt() == nID)
            return action;
    }
    return nullptr;
}

void CMainFrame::UpdateCheckMarks() {
    for (QAction* action : m_actions) {
        if (action->isCheckable())
            action->setChecked(m_pView->IsCommandChecked(action->data().toInt()));
    }
}
