#include "show/ZelvoraView.h"

#include "catalogue/CacheText.h"
#include "catalogue/ShownRecord.h"
#include "dialogs/ChromeScale.h"
#include "dialogs/Commands.h"
#include "dialogs/DialogConstants.h"
#include "dialogs/RestartMessage.h"
#include "platform/PowerOff.h"
#include "platform/ScreenSaver.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "show/ScreenFollower.h"
#include "show/ShutdownCheck.h"
#include "show/SlideLookAhead.h"
#include "show/SlidePainter.h"
#include "show/StaleMarker.h"
#include "show/StatusReport.h"
#include "show/SyncNotice.h"
#include "show/ViewConstants.h"
#include "sync/CredentialStore.h"
#include "sync/ProxySettings.h"
#include "sync/SyncConstants.h"
#include "sync/SyncStatus.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <stdexcept>

using namespace view;

namespace {
constexpr char kVersionText[] = "Version 1.30";
constexpr char kVersionCaption[] = "Version";

// An empty folder still is one: only a missing cache makes everything out of date.
bool IsFolder(const char* folder) {
    return QFileInfo(QString::fromLatin1(folder)).isDir();
}

int KeyCode(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Space:
        return key::kSpace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return key::kEnter;
    case Qt::Key_Left:
        return key::kLeft;
    case Qt::Key_Up:
        return key::kUp;
    case Qt::Key_Right:
        return key::kRight;
    case Qt::Key_Down:
        return key::kDown;
    default:
        return 0;
    }
}
} // namespace

CZelvoraView::CZelvoraView(const SyncFactory& makeSync, const IClock& clock, IPowerOff& powerOff,
                           IScreenSaver& screenSaver, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_powerOff(powerOff), m_screenSaver(screenSaver),
      m_job(makeSync, clock), m_timers([this](int nIDEvent) { OnTimer(nIDEvent); }),
      m_progress(clock), m_health([this] { return Facts(true); }) {
    if (!makeSync)
        throw std::invalid_argument("the view needs a portal sync");
    connect(&m_job, &CSyncJob::Finished, this, &CZelvoraView::OnJobFinished);
    m_progressRepaint.setInterval(kProgressRepaintPeriod);
    connect(&m_progressRepaint, &QTimer::timeout, this, &CZelvoraView::RepaintProgress);
    // Every paint covers the whole view: nothing is erased first, so a slide never flickers.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::BlankCursor);
    setFocusPolicy(Qt::StrongFocus);
}

CZelvoraView::~CZelvoraView() {
    OnDestroy();
}

void CZelvoraView::OnInitialUpdate() {
    // A repeated start rebuilds everything: the previous load's pictures are released before
    // their list (m_loadedPictures) is emptied.
    m_satzStore.ResetBilderUndDaten();
    m_composed.Drop();

    m_satzStore.m_nSprache = GetProfileInt(setting::kSection, setting::kSprache, 0);
    switch (GetProfileInt(setting::kSection, setting::kScrRes, 0)) {
    case 0:
        m_satzStore.m_nResMode = 1;
        break;
    case 1:
    case 2:
    case 3:
        m_satzStore.m_nResMode = 2;
        break;
    default:
        break; // the settings dialog stores 0 to 3 only
    }
    m_bFitScreen = GetProfileInt(setting::kSection, setting::kFitScreen, 1) != 0;
    ApplyConnectionTarget(m_satzStore, LoadProxySettings());
    PrepareCacheFolders();
    m_satzStore.m_bSatzLoaded = false;
    m_satzStore.m_nCurrentSatz = 0;
    m_bShowStarted = false;

    m_nSpeed = GetProfileInt(setting::kSection, setting::kSpeed, 0);
    if (m_nSpeed < kMinSpeed)
        m_nSpeed = kDefaultSpeed;

    m_satzStore.m_strKundenNr = LoadCredentials().strKundenNr;
    m_satzStore.m_nPictureCount = 0;
    m_satzStore.m_nSatzCount = 0;
    m_satzStore.LoadSettings();

    m_timers.SetTimer(TIMER_SHUTDOWN_CHECK, kShutdownCheckPeriod);
    if (m_satzStore.m_nAnzeige < 0)
        m_satzStore.m_nAnzeige = 0;
    if (!m_satzStore.m_strKundenNr.isEmpty()) {
        m_timers.SetTimer(TIMER_START_LOAD, kStartLoadPeriod);
        if (m_satzStore.m_nAnzeige == 0 || m_satzStore.m_nAnzeige == 2)
            m_timers.SetTimer(TIMER_ONLINE_UPDATE, kOnlineUpdatePeriod);
    }
    m_screenSaver.Inhibit();
    m_health.Start();
    update();
    emit ShowStateChanged();
}

void CZelvoraView::PrepareCacheFolders() {
    if (IsFolder(cache::kBilder) && IsFolder(cache::kDaten))
        return;
    // An existing folder is left as it is; a failure shows later as an empty catalogue.
    QDir().mkdir(QString::fromLatin1(cache::kDaten));
    QDir().mkdir(QString::fromLatin1(cache::kBilder));
    // Without a cache everything is out of date, the new-vehicle list included.
    WriteProfileString(setting::kSection, setting::kLastUpdate, QString());
}

void CZelvoraView::OnTimer(int nIDEvent) {
    if (nIDEvent == TIMER_SHUTDOWN_CHECK)
        ShutdownCheck();
    if (nIDEvent == TIMER_ONLINE_UPDATE) {
        Trace(QStringLiteral("Starte Timer 1"));
        // The slides go on while the job runs; the rebuild arms the slide timer afresh.
        // With nothing to show, the tick tries again even when updates are manual.
        if (m_job.IsRunning())
            Trace(QStringLiteral("Starte Timer 1: Sync-Job läuft noch, keiner gestartet"));
        else if (!m_satzStore.m_bManuellUpdate || !m_satzStore.m_bSatzLoaded)
            StartJob(SyncJobKind::Hourly);
        else // also when the update did nothing or the show was stopped
            m_timers.SetTimer(TIMER_NEXT_SATZ, m_nSpeed);
        Trace(QStringLiteral("Starte Timer 1 Fertig"));
    }
    if (nIDEvent == TIMER_START_LOAD)
        FirstLoad();
    if (nIDEvent == TIMER_NEXT_SATZ) {
        Trace(QStringLiteral("GetNextSatz Start"));
        NextSatz(+1);
        m_bStepPending = true;
        update();
        Trace(QStringLiteral("GetNextSatz Ende"));
    }
    if (nIDEvent == TIMER_SETTINGS_CHANGED) {
        Trace(QStringLiteral("Starte Timer 5"));
        m_timers.KillTimer(TIMER_SETTINGS_CHANGED);
        Trace(QStringLiteral("Killed Timer 5"));
        m_satzStore.LoadSettings();
        // The slide timer keeps the state it had.
        m_bRunning = true;
        m_satzStore.GetNextSatz(+1);
        update();
        Trace(QStringLiteral("Fertig Timer 5-2"));
        emit ShowStateChanged();
    }
}

void CZelvoraView::ShutdownCheck() {
    if (!IsShutdownDue(m_satzStore, m_clock.Now()))
        return;
    // Stopped first: whatever the outcome, there is a single attempt per run.
    m_timers.KillTimer(TIMER_SHUTDOWN_CHECK);
    // Not waited for: the job's files are replaced whole, so the power-off may cut it anywhere.
    m_job.Cancel();
    m_powerOff.ShutdownPC();
}

void CZelvoraView::FirstLoad() {
    Trace(QStringLiteral("Starte Timer 2-1"));
    m_timers.KillTimer(TIMER_START_LOAD);
    Trace(QStringLiteral("Killed Timer 2-2"));
    m_satzStore.m_nPictureCount = 0;
    m_satzStore.m_nSatzCount = 0;
    // What the cache holds shows at once, with the address and customer number of the last
    // sync; the start-up sync runs behind it.
    FormPasswordDigest(m_satzStore);
    m_satzStore.m_strAdresse = GetProfileString(setting::kSection, setting::kAdresse);
    m_satzStore.LadeBilderUndDaten();
    m_satzStore.LadeNeuFzDatenUndBilder();
    if (m_satzStore.m_nSatzCount > 0)
        StartShow();
    StartJob(SyncJobKind::Start);
    update();
}

void CZelvoraView::StartShow() {
    m_satzStore.GetNextSatz(+1);
    update();
    m_bRunning = true;
    m_bShowStarted = true;
    Trace(QStringLiteral("Starte Timer 2-2"));
    m_timers.SetTimer(TIMER_NEXT_SATZ, m_nSpeed);
    Trace(QStringLiteral("Fertig Timer 2-2 fertig"));
    emit ShowStateChanged();
}

bool CZelvoraView::StartJob(SyncJobKind kind) {
    if (!m_job.Start(kind, TakeSyncJobInput(m_satzStore)))
        return false;
    m_progressRepaint.start();
    return true;
}

void CZelvoraView::OnJobFinished(const SyncJobResult& result) {
    m_progressRepaint.stop();
    emit ServiceStatus(CShowProgress::StatusLine(Facts(false)));
    // Once the catalogue is rebuilt.
    QMetaObject::invokeMethod(&m_health, &CHealthFiles::Write, Qt::QueuedConnection);
    m_satzStore.m_strAdresse = result.strAdresse;
    m_satzStore.m_satzNrList = result.satzNrList;
    m_satzStore.m_nSatzNrCount = result.nSatzNrCount;
    m_satzStore.m_strKundenNr = result.strKundenNr;
    m_satzStore.m_nKundenNr = result.nKundenNr;
    m_satzStore.m_strPasswordDigest = result.strPasswordDigest;
    if (result.kind == SyncJobKind::Manual) {
        ShowManualUpdateMessage();
        return;
    }
    const CShownRecord shown(m_satzStore);
    Rebuild(result.catalogue.get());
    m_strWaitingNotice.clear();
    const std::optional<SyncOutcome> failed =
        m_satzStore.m_bSatzLoaded ? std::nullopt : FailedSync();
    if (failed) {
        // Counted afresh, so the time on screen is the time of the next try.
        m_timers.SetTimer(TIMER_ONLINE_UPDATE, kOnlineUpdatePeriod);
        m_strWaitingNotice = WaitingNotice(*failed, m_satzStore.m_nSprache,
                                           m_clock.Now() + kOnlineUpdatePeriod / 1000);
    }
    if (!m_bShowStarted) {
        StartShow();
        return;
    }
    // The show goes on after the vehicle that was on screen, wherever the rebuild put it: from
    // the start it would never reach the vehicles behind the first hour's worth of slides.
    shown.Resume(m_satzStore);
    SchedulePrefetch();
    // After the hourly update the slide timer runs again, also when the show was stopped.
    if (result.kind == SyncJobKind::Hourly || m_bRunning)
        m_timers.SetTimer(TIMER_NEXT_SATZ, m_nSpeed);
    emit ShowStateChanged();
}

void CZelvoraView::Rebuild(CSatzStore* pLoaded) {
    m_satzStore.m_nCurrentSatz = 0;
    if (pLoaded) {
        m_satzStore.TakeCatalogue(*pLoaded);
    } else {
        m_satzStore.ResetBilderUndDaten();
        m_satzStore.LadeBilderUndDaten();
        m_satzStore.LadeNeuFzDatenUndBilder();
    }
    Trace(QStringLiteral("OnlineUpdate Fertig"));
}

void CZelvoraView::NextSatz(int nStep) {
    m_satzStore.GetNextSatz(nStep);
    if (!m_job.IsRunning())
        return;
    // Until the rebuild, a slide whose photo the job deleted or replaced by one that no longer
    // decodes is passed over rather than drawn with an empty frame.
    for (int nTries = 1; nTries < m_satzStore.m_nSatzCount && m_satzStore.m_nCurrentSatz >= 0 &&
                         !SlideHasPictures(m_satzStore, m_satzStore.m_nCurrentSatz, DeviceScale());
         ++nTries)
        m_satzStore.GetNextSatz(nStep);
}

void CZelvoraView::StartStop() {
    Trace(QStringLiteral("StartStop->Stop"));
    StopSlideTimer();
    m_bRunning = !m_bRunning;
    if (m_bRunning) {
        Trace(QStringLiteral("StartStop->Start"));
        m_timers.SetTimer(TIMER_NEXT_SATZ, m_nSpeed);
    }
    emit ShowStateChanged();
}

void CZelvoraView::StopSlideTimer() {
    m_timers.KillTimer(TIMER_NEXT_SATZ);
}

void CZelvoraView::OnKeyDown(int nChar, int nRepCnt) {
    // Presses merged while the show was busy count more and are dropped; a held key's
    // auto-repeated presses come one by one and each steps.
    const bool bSingle = nRepCnt == 1;
    if (nChar == key::kSpace || nChar == key::kEnter) {
        TraceF("Keypressed %d", nChar);
        StartStop();
    } else if (nChar == key::kLeft && bSingle) {
        TraceF("Keypressed %d", nChar);
        m_bRunning = true;
        StartStop();
        NextSatz(-1);
        update();
    } else if (nChar == key::kRight && bSingle) {
        TraceF("Keypressed %d", nChar);
        m_bRunning = true;
        StartStop();
        NextSatz(+1);
        update();
    } else if (nChar == key::kUp && bSingle) {
        TraceF("Keypressed %d", nChar);
        m_bRunning = false;
        StartStop();
        update();
    } else if (nChar == key::kDown && bSingle) {
        TraceF("Keypressed %d", nChar);
        m_bRunning = true;
        StartStop();
    }
}

void CZelvoraView::keyPressEvent(QKeyEvent* event) {
    if (m_status.TakeKey(*event)) {
        update();
        event->accept();
        return;
    }
    const int nChar = KeyCode(*event);
    if (nChar == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    OnKeyDown(nChar, event->count());
    event->accept();
}

void CZelvoraView::SetSpeed(int nSpeed, const char* szTrace) {
    Trace(QString::fromLatin1(szTrace));
    StopSlideTimer();
    m_nSpeed = nSpeed;
    WriteProfileInt(setting::kSection, setting::kSpeed, m_nSpeed);
    // Armed also while stopped: the running flag is left as it is.
    m_timers.SetTimer(TIMER_NEXT_SATZ, m_nSpeed);
    emit ShowStateChanged();
}

void CZelvoraView::OnCommand(int nID) {
    for (const auto& speed : command::kSpeedCommands) {
        if (nID == speed.nCommand) {
            SetSpeed(speed.nSpeed, speed.szTrace);
            return;
        }
    }
    switch (nID) {
    case command::kStart:
        StartStop();
        break;
    case command::kAuthorisation:
        RunAuthorizationCommand(*this);
        break;
    case command::kUpdate:
        ManualUpdate();
        break;
    case command::kEinstellungen:
        RunSettingsCommand(*this);
        break;
    case command::kProxyServer:
        RunProxyCommand(*this);
        break;
    case command::kVersion:
        ShowMessage(QString::fromLatin1(kVersionText), QString::fromLatin1(kVersionCaption));
        break;
    default:
        break;
    }
}

bool CZelvoraView::IsCommandChecked(int nID) const {
    if (nID == command::kStart)
        return m_bRunning;
    for (const auto& speed : command::kSpeedCommands) {
        if (nID == speed.nCommand)
            return m_nSpeed == speed.nSpeed;
    }
    return false;
}

void CZelvoraView::ManualUpdate() {
    m_satzStore.m_bManuellUpdate = false; // in memory only, as the command always updates
    // The operator's command replaces a job that runs behind the show.
    m_job.CancelAndWait(portalsync::kCancelWait);
    StopSlideTimer();
    m_bManualPanel = true;
    if (!StartJob(SyncJobKind::Manual)) {
        // A job left behind still runs: nothing new can come now.
        EndManualPanel();
        return;
    }
    update();
}

void CZelvoraView::ShowManualUpdateMessage() {
    m_bManualPanel = false;
    update();
    const std::optional<SyncOutcome> failed = FailedSync();
    if (!failed) {
        CloseForRestart(*this, ERestartReason::Update);
        return;
    }
    if (m_satzStore.m_nSprache == 1 || m_satzStore.m_nSprache == 2) {
        const NoticeMessage message = ManualUpdateFailedMessage(*failed, m_satzStore.m_nSprache);
        ShowClosingMessage(message.strText, message.strCaption);
    }
    EndManualPanel();
}

void CZelvoraView::EndManualPanel() {
    m_bManualPanel = false;
    OnRestartRefused();
    update();
}

void CZelvoraView::StopSyncJob() {
    if (!m_job.IsRunning())
        return;
    m_stoppedJob = m_job.Kind();
    m_progressRepaint.stop();
    m_job.CancelAndWait(portalsync::kCancelWait);
}

void CZelvoraView::ResumeSyncJob() {
    const std::optional<SyncJobKind> kind = std::exchange(m_stoppedJob, std::nullopt);
    if (kind && !StartJob(*kind) && *kind == SyncJobKind::Manual)
        EndManualPanel();
}

void CZelvoraView::OnDestroy() {
    // Its socket is closed at once and every cache file is replaced whole, so the end of the
    // program never waits long for a job.
    m_job.CancelAndWait(portalsync::kCancelWait);
    m_satzStore.ResetBilderUndDaten();
    m_screenSaver.Release();
}

int CZelvoraView::RunModal(QDialog& dialog) {
    return dialog.exec();
}

void CZelvoraView::ShowMessage(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, DialogParent());
    box.exec();
}

void CZelvoraView::ShowClosingMessage(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, DialogParent());
    QTimer::singleShot(std::chrono::seconds(dlg::kMessageCloseSeconds), &box, &QDialog::accept);
    box.exec();
}

bool CZelvoraView::AskYesNo(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    DialogParent());
    return box.exec() == QMessageBox::Yes;
}

void CZelvoraView::StartSettingsChangedTimer() {
    m_timers.SetTimer(TIMER_SETTINGS_CHANGED, kSettingsChangedPeriod);
}

void CZelvoraView::PostCloseRequest() {
    QMetaObject::invokeMethod(window(), "close", Qt::QueuedConnection);
}

void CZelvoraView::PostRestartRequest() {
    QMetaObject::invokeMethod(this, &CZelvoraView::RestartRequested, Qt::QueuedConnection);
}

void CZelvoraView::OnRestartRefused() {
    // The manual update stopped the slides for a restart that does not come.
    if (m_bRunning && !m_timers.IsArmed(TIMER_NEXT_SATZ))
        m_timers.SetTimer(TIMER_NEXT_SATZ, m_nSpeed);
    ResumeSyncJob();
}

void CZelvoraView::paintEvent(QPaintEvent* event) {
    QElapsedTimer paintTime;
    paintTime.start();
    // A slide whose photo does not decode is passed over, never drawn with a hole: each
    // failure takes one slide out of the show, so this ends.
    while (m_satzStore.m_bSatzLoaded &&
           !PrefetchSlide(m_satzStore, m_satzStore.m_nCurrentSatz, DeviceScale()))
        m_satzStore.GetNextSatz(+1);
    QPainter painter(this);
    if (!m_composed.Paint(painter, event->rect(), m_satzStore, Geometry()))
        PaintSlide(painter, event->rect(), m_satzStore, Frame());
    if (const QString stale = StaleMarkerText(m_satzStore, m_clock.Now()); !stale.isEmpty())
        PaintStaleMarker(painter, rect(), stale);
    const CStatusReport report(m_satzStore, m_clock);
    // Below the waiting message, or over the show during the manual update.
    if (m_job.IsRunning() && (!m_bShowStarted || m_bManualPanel))
        PaintStatusPage(painter, JobPanelArea(), report.JobPage(m_job.Progress()),
                        ChromeScaleOf(this));
    else if (!m_satzStore.m_bSatzLoaded && !m_job.IsRunning() && !m_strWaitingNotice.isEmpty())
        PaintWaitingNotice(painter, Frame(), m_satzStore.m_nResMode, width(), m_strWaitingNotice);
    if (m_status.IsShown())
        PaintStatusPage(painter, rect(), report.PageOf(Facts(true)), ChromeScaleOf(this));
    painter.end();
    const qint64 nPaintNs = paintTime.nsecsElapsed();
    SchedulePrefetch();
    if (std::exchange(m_bStepPending, false))
        m_progress.Stepped();
    const int nShown = m_satzStore.m_bSatzLoaded ? m_satzStore.m_nCurrentSatz : -1;
    if (const int nBefore = std::exchange(m_nShownSatz, nShown); nBefore != nShown) {
        // Only a change from one slide to another: the first one waits for its photos.
        if (nBefore >= 0 && nShown >= 0)
            m_paintTimes.Record(m_clock.SteadyMs(), nPaintNs);
        if (nShown >= 0)
            m_lastSlideChange = m_clock.Now();
        const ShowFacts facts = Facts(false);
        emit ServiceStatus(CShowProgress::StatusLine(facts));
        if (std::exchange(m_nHealthCount, facts.nVisible) != facts.nVisible)
            QMetaObject::invokeMethod(&m_health, &CHealthFiles::Write, Qt::QueuedConnection);
    }
    if (m_progress.Painted())
        emit FirstFramePainted();
}

bool CZelvoraView::CheckProgress() {
    const bool bProgress = m_progress.Judge(Activity());
    update(QRect(0, 0, 1, 1));
    return bProgress;
}

ShowFacts CZelvoraView::Facts(bool bFolders) const {
    ShowFacts facts = GatherShowFacts(m_satzStore, m_clock, bFolders);
    facts.show = {m_timers.IsArmed(TIMER_NEXT_SATZ), m_nSpeed, m_screenSaver.HeldBy()};
    facts.job.bRunning = m_job.IsRunning();
    facts.job.progress = m_job.Progress();
    facts.job.nElapsedMs = m_job.ElapsedMs();
    facts.job.nLastMs = m_job.LastDurationMs();
    facts.screen = ScreenStateOf(*this);
    facts.bShouldAdvance = Activity().bShouldAdvance;
    facts.lastSlideChange = m_lastSlideChange;
    facts.paint = m_paintTimes.Figures(m_clock.SteadyMs());
    facts.nRestarts = m_countRestarts ? m_countRestarts() : 0;
    return facts;
}

ShowActivity CZelvoraView::Activity() const {
    bool bSlides = false;
    for (int n = 0; m_satzStore.m_bSatzLoaded && n < m_satzStore.m_nSatzCount && !bSlides; ++n)
        bSlides = m_satzStore.IsSatzVisible(n);
    const bool bCovered = m_status.IsShown() || m_bManualPanel ||
                          QApplication::activeModalWidget() || QApplication::activePopupWidget();
    const QWindow* handle = window()->windowHandle();
    // Judged by the slide timer too: a settings change marks the show running and leaves a
    // timer the operator stopped as it was, and that show is still, not stalled.
    const bool bTimed = m_bRunning && m_timers.IsArmed(TIMER_NEXT_SATZ);
    return {bTimed && m_bShowStarted && bSlides && !bCovered, m_nSpeed,
            handle && handle->isExposed()};
}

void CZelvoraView::SchedulePrefetch() {
    QTimer::singleShot(0, this, [this] {
        if (!m_satzStore.m_bSatzLoaded || m_satzStore.m_nSatzCount == 0)
            return;
        const int nCurrent = m_satzStore.m_nCurrentSatz;
        m_satzStore.GetNextSatz(+1);
        const int nNext = m_satzStore.m_nCurrentSatz;
        m_satzStore.m_nCurrentSatz = nCurrent;
        if (nNext >= 0 && PrefetchSlide(m_satzStore, nNext, DeviceScale()))
            m_composed.Compose(m_satzStore, nNext, Geometry());
    });
}

void CZelvoraView::RepaintProgress() {
    // Only what shows the job's progress: a whole repaint would compose the slide afresh, at
    // 4K a noticeable time every second. The status page covers the slide anyway.
    if (m_status.IsShown())
        update();
    else if (!m_bShowStarted || m_bManualPanel)
        update(JobPanelArea());
}

QRect CZelvoraView::JobPanelArea() const {
    return rect().adjusted(0, height() / 2, 0, 0);
}

qreal CZelvoraView::DeviceScale() const {
    return Frame().dScale * devicePixelRatioF();
}

SlideFrame CZelvoraView::Frame() const {
    return FitSlide(m_satzStore.m_nResMode, size(), m_bFitScreen);
}

ViewGeometry CZelvoraView::Geometry() const {
    return {size(), devicePixelRatioF(), Frame()};
}
