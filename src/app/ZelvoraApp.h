#pragma once
// The application object: fixes where the settings live and creates the one main window with
// the given portal sync and the real clock, power-off and screen-saver inhibition, and tells
// the service manager once its first frame is painted, and then how the show goes. It hands
// the frame on screen to whoever asks on the working folder's screenshot socket.

#include "platform/ServiceNotifier.h"
#include "platform/SystemPowerOff.h"
#include "platform/SystemScreenSaver.h"
#include "show/ZelvoraView.h"

#include <QApplication>
#include <memory>

class CMainFrame;
class CScreenshotServer;

class CZelvoraApp : public QApplication {
    Q_OBJECT

public:
    CZelvoraApp(int& argc, char** argv, CZelvoraView::SyncFactory makeSync);
    ~CZelvoraApp() override;

    // Creates, prepares and shows the main window; restartHistory as RestartHistory() gave it
    // before the exec that started this process.
    void InitInstance(const QByteArray& restartHistory);
    // After the event loop: whether the window closed for a fresh start.
    bool IsRestartPending() const;
    QByteArray RestartHistory() const;

private:
    CZelvoraView::SyncFactory m_makeSync;
    CSystemPowerOff m_powerOff;
    CSystemScreenSaver m_screenSaver;
    CServiceNotifier m_serviceNotifier;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    // Goes before the window it shows.
    std::unique_ptr<CScreenshotServer> m_pScreenshots;
};
