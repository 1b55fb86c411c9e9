#include "app/MainFrame.h"

#include "app/AppConstants.h"
#include "app/KioskMenuBar.h"
#include "settings/Clock.h"
#include "settings/Journal.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "show/ScreenFollower.h"
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

CMainFrame::CMainFrame(const ViewFactory& makeView, const QByteArray& restartHistory)
    : m_restartGuard(restartHistory) {
    PreCreateWindow();
    m_pView = makeView(this);
    setCentralWidget(m_pView);
    m_pView->setFocus();
    CreateMenu();
    connect(m_pView, &CZelvoraView::ShowStateChanged, this, &CMainFrame::UpdateCheckMarks);
    connect(m_pView, &CZelvoraView::RestartRequested, this, &CMainFrame::OnRestartRequested);
    m_pView->SetRestartCheck([this] { return m_restartGuard.WouldAllow(m_pView->Clock().Now()); });
    m_pView->SetRestartCounter(
        [this] { return m_restartGuard.RestartsWithinDay(m_pView->Clock().Now()); });
    UpdateCheckMarks();
    auto* close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    const bool bKiosk =
        GetProfileInt(setting::kSection, setting::kKiosk, setting::kKioskDefault) != 0;
    m_pScreen = std::make_unique<CScreenFollower>(
        *this, GetProfileString(setting::kSection, setting::kBildschirm), bKiosk);
    m_chromeFonts.Apply(m_pScreen->Screen());
    connect(m_pScreen.get(), &CScreenFollower::ScreenFollowed, this,
            [this](QScreen* screen) { m_chromeFonts.Apply(screen); });
    if (bKiosk) {
        // The pointer at the top edge brings the menu bar back: moves without a button count.
        m_pView->setMouseTracking(true);
        m_pKiosk = std::make_unique<CKioskMenuBar>(*this, *menuBar());
        setWindowState(Qt::WindowFullScreen);
    } else {
        setWindowState(Qt::WindowMaximized);
    }
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::PreCreateWindow() {
    // An unattended show: no caption bar and no frame to resize.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    const int nSprache = GetProfileInt(setting::kSection, setting::kAusgabe,
                                       setting::kAusgabeDefault) == app::kFranzoesisch
                             ? app::kFranzoesisch
                             : app::kDeutsch;
    setWindowTitle(
        nSprache == app::kFranzoesisch
            ? QString::fromUtf8(app::kTitlePrefixFr) + QString::fromLatin1(portal::kWebAddressFr)
            : QString::fromLatin1(app::kTitlePrefix) + QString::fromLatin1(portal::kWebAddressDe));
    WriteProfileInt(setting::kSection, setting::kSprache, nSprache);
    const int nScrRes = GetProfileInt(setting::kSection, setting::kScrRes, 0);
    if (nScrRes >= 0 && nScrRes < static_cast<int>(app::kWindowSizes.size()))
        setGeometry(QRect(QPoint(0, 0), app::kWindowSizes[static_cast<size_t>(nScrRes)]));
}

void CMainFrame::OnRestartRequested() {
    if (!m_restartGuard.Allow(m_pView->Clock().Now())) {
        TraceF("Neustart abgelehnt: schon %d Neustarts in %d s, die Show bleibt", app::kMaxRestarts,
               app::kRestartWindowSeconds);
        Journal(QStringLiteral("restart refused restarts=%1 window-seconds=%2")
                    .arg(app::kMaxRestarts)
                    .arg(app::kRestartWindowSeconds));
        m_pView->OnRestartRefused();
        return;
    }
    Trace(QStringLiteral("Neustart"));
    Journal(QStringLiteral("restart in-place"));
    m_bRestartPending = true;
    close();
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
