#pragma once
// The slideshow view: owns the catalogue for the life of the window and drives the show from
// its window timers, keys and menu commands. The portal syncs run as a job on a worker thread
// behind the show; the catalogue is rebuilt from the folders when a job ends. The portal sync,
// the clock, the power-off and the screen-saver inhibition are injected, so the whole show
// runs in tests without a portal, at any hour and without ever reaching the real power-off.

#include "catalogue/SatzStore.h"
#include "dialogs/DialogHost.h"
#include "show/ComposedSlide.h"
#include "show/HealthFiles.h"
#include "show/PaintTimes.h"
#include "show/ShowProgress.h"
#include "show/SlideFrame.h"
#include "show/StatusOverlay.h"
#include "show/WindowTimers.h"
#include "sync/SyncJob.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class IScreenSaver;

class CZelvoraView : public QWidget, public IDialogHost {
    Q_OBJECT

public:
    using SyncFactory = CSyncJob::SyncFactory;

    CZelvoraView(const SyncFactory& makeSync, const IClock& clock, IPowerOff& powerOff,
                 IScreenSaver& screenSaver, QWidget* parent = nullptr);
    ~CZelvoraView() override;

    // Prepares folders and settings and arms the timers; nothing is loaded yet.
    void OnInitialUpdate();
    void OnTimer(int nIDEvent);
    // nChar is a key code of key:: in ViewConstants.h.
    void OnKeyDown(int nChar, int nRepCnt);
    void StartStop();
    // The menu commands 32771 to 32781.
    void OnCommand(int nID);
    // Check mark of a menu command: "Start" while running, a speed item at its interval.
    bool IsCommandChecked(int nID) const;
    // Releases every picture; runs when the view is destroyed.
    void OnDestroy();

    bool IsRunning() const { return m_bRunning; }
    int Speed() const { return m_nSpeed; }
    const CWindowTimers& Timers() const { return m_timers; }
    const CSyncJob& Job() const { return m_job; }
    // The line under the waiting message; empty while there is none.
    const QString& WaitingNoticeText() const { return m_strWaitingNotice; }
    // The status page for support covers the slide.
    bool IsStatusShown() const { return m_status.IsShown(); }
    // For the service manager's watchdog, on each of its ticks: whether the show makes
    // progress. Asks for a paint, so that a still show is seen painting at the next tick.
    bool CheckProgress();
    // What the status page, the service manager's line and the health files tell; bFolders
    // also measures the cache folders and the free space.
    ShowFacts Facts(bool bFolders) const;

    // IDialogHost
    CSatzStore& Store() override { return m_satzStore; }
    IPowerOff& PowerOff() override { return m_powerOff; }
    const IClock& Clock() override { return m_clock; }
    QWidget* DialogParent() override { return this; }
    int RunModal(QDialog& dialog) override;
    void ShowMessage(const QString& text, const QString& caption) override;
    void ShowClosingMessage(const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    void StartSettingsChangedTimer() override;
    void PostCloseRequest() override;
    void PostRestartRequest() override;
    bool CanRestart() override { return !m_canRestart || m_canRestart(); }
    void StopSyncJob() override;
    void ResumeSyncJob() override;
    // The restart asked for was refused: the show goes on as it was.
    void OnRestartRefused();
    // Asked before a restart is announced; without it every restart is taken as allowed.
    void SetRestartCheck(std::function<bool()> canRestart) { m_canRestart = std::move(canRestart); }
    // The restarts in place within the last day; without it there were none.
    void SetRestartCounter(std::function<int()> countRestarts) {
        m_countRestarts = std::move(countRestarts);
    }

signals:
    // The running state or the interval may have changed: the menu's check marks follow.
    void ShowStateChanged();
    // A command's change needs a fresh start; queued, so the command has ended first.
    void RestartRequested();
    // The first paint completed: the show is on screen.
    void FirstFramePainted();
    // The slide on screen changed, or a job ended: the line for the service manager.
    void ServiceStatus(const QString& line);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PrepareCacheFolders();
    void ShutdownCheck();
    void FirstLoad();
    // The first slide, and the slide timer.
    void StartShow();
    bool StartJob(SyncJobKind kind);
    void OnJobFinished(const SyncJobResult& result);
    // In one step, so nothing paints in between: the job's catalogue taken over, or without
    // one (a job that gave up) loaded from the folders.
    void Rebuild(CSatzStore* pLoaded);
    // GetNextSatz, passing over slides whose photos a running job has taken away.
    void NextSatz(int nStep);
    void SetSpeed(int nSpeed, const char* szTrace);
    void ManualUpdate();
    // The end of the manual update: its message, then the close; after a failure, the show
    // goes on.
    void ShowManualUpdateMessage();
    void EndManualPanel();
    void StopSlideTimer();
    // Decodes the next visible slide's photos once the current paint is on screen.
    void SchedulePrefetch();
    void RepaintProgress();
    // The lower half, where the job's progress shows under the waiting message or the
    // manual update's panel.
    QRect JobPanelArea() const;
    // Where the slide stands in the view at its current size.
    SlideFrame Frame() const;
    ViewGeometry Geometry() const;
    // Device pixels per layout pixel of the slide's paint.
    qreal DeviceScale() const;
    ShowActivity Activity() const;

    CSatzStore m_satzStore;
    bool m_bRunning = false;
    int m_nSpeed = 0;
    bool m_bFitScreen = true;

    const IClock& m_clock;
    IPowerOff& m_powerOff;
    IScreenSaver& m_screenSaver;
    CSyncJob m_job;
    // The first slide has been shown: until then the waiting message shows the job's progress.
    bool m_bShowStarted = false;
    // The manual update's panel covers the show until its message.
    bool m_bManualPanel = false;
    // A job a command stopped, to start again once the command has written its change.
    std::optional<SyncJobKind> m_stoppedJob;
    std::function<bool()> m_canRestart;
    std::function<int()> m_countRestarts;
    // Under the waiting message while syncs bring nothing: why, and when the next try comes.
    QString m_strWaitingNotice;
    // Repaints the job's progress while it is on screen.
    QTimer m_progressRepaint;
    CWindowTimers m_timers;
    CStatusToggle m_status;
    // The next slide composed ahead; its paint serves it only while nothing it
    // was composed from has changed.
    CComposedSlide m_composed;
    CShowProgress m_progress;
    // The slide timer stepped; its paint proves the show advances.
    bool m_bStepPending = false;
    // The slide the last paint showed, -1 for none.
    int m_nShownSatz = -1;
    std::time_t m_lastSlideChange = 0;
    CPaintTimes m_paintTimes;
    CHealthFiles m_health;
    // The visible slides when the health files were last asked for.
    int m_nHealthCount = -1;
};
