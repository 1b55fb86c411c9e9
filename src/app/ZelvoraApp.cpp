#include "app/ZelvoraApp.h"

#include "app/AppConstants.h"
#include "app/MainFrame.h"
#include "app/ScreenshotServer.h"
#include "settings/Clock.h"

CZelvoraApp::CZelvoraApp(int& argc, char** argv, CZelvoraView::SyncFactory makeSync)
    : QApplication(argc, argv), m_makeSync(std::move(makeSync)) {
    setOrganizationName(QString::fromLatin1(app::kOrganization));
    setApplicationName(QString::fromLatin1(app::kApplication));
}

CZelvoraApp::~CZelvoraApp() = default;

void CZelvoraApp::InitInstance(const QByteArray& restartHistory) {
    m_pMainWnd = std::make_unique<CMainFrame>(
        [this](QWidget* parent) {
            return new CZelvoraView(m_makeSync, SystemClock(), m_powerOff, m_screenSaver, parent);
        },
        restartHistory);
    CZelvoraView& view = m_pMainWnd->View();
    connect(&view, &CZelvoraView::FirstFramePainted, &m_serviceNotifier,
            [this, &view] { m_serviceNotifier.Ready([&view] { return view.CheckProgress(); }); });
    connect(&view, &CZelvoraView::ServiceStatus, &m_serviceNotifier, &CServiceNotifier::Status);
    view.OnInitialUpdate();
    m_pMainWnd->show();
    view.setFocus();
    m_pScreenshots = std::make_unique<CScreenshotServer>(*m_pMainWnd);
}

bool CZelvoraApp::IsRestartPending() const {
    return m_pMainWnd && m_pMainWnd->IsRestartPending();
}

QByteArray CZelvoraApp::RestartHistory() const {
    return m_pMainWnd ? m_pMainWnd->RestartHistory() : QByteArray();
}
