#include "app/ZelvoraApp.h"

#include "app/AppConstants.h"
#include "app/MainFrame.h"
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
    m_pMainWnd->View().OnInitialUpdate();
    m_pMainWnd->show();
    m_pMainWnd->View().setFocus();
    m_serviceNotifier.Ready();
}

bool CZelvoraApp::IsRestartPending() const {
    return m_pMainWnd && m_pMainWnd->IsRestartPending();
}

QByteArray CZelvoraApp::RestartHistory() const {
    return m_pMainWnd ? m_pMainWnd->RestartHistory() : QByteArray();
}
