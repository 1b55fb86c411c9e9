#include "show/ZelvoraView.h"

#include "catalogue/CacheText.h"
#include "dialogs/Commands.h"
#include "settings/Clock.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "settings/Trace.h"
#include "show/PowerOff.h"
#include "show/ScreenSaver.h"
#include "show/ShutdownCheck.h"
#include "show/SlideLookAhead.h"
#include "show/SlidePainter.h"
#include "show/StaleMarker.h"
#include "show/StatusReport.h"
#include "show/ViewConstants.h"
#include "sync/CredentialStore.h"
#include "sync/PortalSync.h"
#include "sync/ProxySettings.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <stdexcept>

using namespace view;

namespace {
constexpr char kVersionText[] = "Version 1.30";
constexpr char kVersionCaption[] = "Version";

struct Message {
    const char* szText;
    const char* szCaption;
};
constexpr Message kManualUpdateDe{"Manuelles Daten update, bitte starten Sie das Programm neu !",
                                  "Programm schliesst nun automatisch"};
constexpr Message kManualUpdateFr{"Les réglages ont été modifiés, SVP redémarrer le programme !",
                                  "Le programme se ferme automatiquement"};

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
      m_sync(makeSync(m_satzStore)), m_scheduler(m_satzStore, *m_sync, clock),
      m_timers([this](int nIDEvent) { OnTimer(nIDEvent); }) {
    if (!m_sync)
        throw std::invalid_argument("the view needs a portal sync");
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
    if (nIDEvent != TIMER_NEXT_SATZ)
        m_composed.Drop();
    if (nIDEvent == TIMER_SHUTDOWN_CHECK)
        ShutdownCheck();
    if (nIDEvent == TIMER_ONLINE_UPDATE) {
        Trace(QStringLiteral("Starte Timer 1"));
        m_scheduler.OnlineUpdate([this] { StopSlideTimer(); });
        Trace(QStringLiteral("Starte Timer 1 Fertig"));
        // Also when the update did nothing or the show was stopped.
        m_timers.SetTimer(TIMER_NEXT_SATZ, m_nSpeed);
    }
    if (nIDEvent == TIMER_START_LOAD)
        FirstLoad();
    if (nIDEvent == TIMER_NEXT_SATZ) {
        Trace(QStringLiteral("GetNextSatz Start"));
        m_satzStore.GetNextSatz(+1);
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
    m_powerOff.ShutdownPC();
}

void CZelvoraView::FirstLoad() {
    Trace(QStringLiteral("Starte Timer 2-1"));
    m_timers.KillTimer(TIMER_START_LOAD);
    Trace(QStringLiteral("Killed Timer 2-2"));
    m_satzStore.m_nPictureCount = 0;
    m_satzStore.m_nSatzCount = 0;
    m_sync->UpdatePictureList();
    m_satzStore.LadeBilderUndDaten();
    m_scheduler.WeeklyNeuFzUpdateCheck();
    m_satzStore.LadeNeuFzDatenUndBilder();
    m_satzStore.GetNextSatz(+1);
    update();
    m_bRunning = true;
    Trace(QStringLiteral("Starte Timer 2-2"));
    m_timers.SetTimer(TIMER_NEXT_SATZ, m_nSpeed);
    Trace(QStringLiteral("Fertig Timer 2-2 fertig"));
    emit ShowStateChanged();
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
    m_composed.Drop();
    if (nChar == key::kSpace || nChar == key::kEnter) {
        TraceF("Keypressed %d", nChar);
        StartStop();
    } else if (nChar == key::kLeft && bSingle) {
        TraceF("Keypressed %d", nChar);
        m_bRunning = true;
        StartStop();
        m_satzStore.GetNextSatz(-1);
        update();
    } else if (nChar == key::kRight && bSingle) {
        TraceF("Keypressed %d", nChar);
        m_bRunning = true;
        StartStop();
        m_satzStore.GetNextSatz(+1);
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
    m_composed.Drop();
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
    m_scheduler.ManualUpdate([this] { StopSlideTimer(); });
    const Message* message = nullptr;
    if (m_satzStore.m_nSprache == 1)
        message = &kManualUpdateDe;
    else if (m_satzStore.m_nSprache == 2)
        message = &kManualUpdateFr;
    if (message)
        ShowMessage(QString::fromUtf8(message->szText), QString::fromUtf8(message->szCaption));
    PostRestartRequest();
}

void CZelvoraView::OnDestroy() {
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
}

void CZelvoraView::paintEvent(QPaintEvent* event) {
    // A slide whose photo does not decode is passed over, never drawn with a hole: each
    // failure takes one slide out of the show, so this ends.
    const qreal dDeviceScale = Frame().dScale * devicePixelRatioF();
    while (m_satzStore.m_bSatzLoaded &&
           !PrefetchSlide(m_satzStore, m_satzStore.m_nCurrentSatz, dDeviceScale))
        m_satzStore.GetNextSatz(+1);
    QPainter painter(this);
    if (!m_composed.Paint(painter, event->rect(), m_satzStore, Geometry()))
        PaintSlide(painter, event->rect(), m_satzStore, Frame());
    if (const QString stale = StaleMarkerText(m_satzStore, m_clock.Now()); !stale.isEmpty())
        PaintStaleMarker(painter, rect(), stale);
    if (m_status.IsShown())
        PaintStatusPage(painter, rect(),
                        CStatusReport(m_satzStore, m_clock)
                            .Page({m_timers.IsArmed(TIMER_NEXT_SATZ), m_nSpeed}));
    SchedulePrefetch();
}

void CZelvoraView::SchedulePrefetch() {
    QTimer::singleShot(0, this, [this] {
        if (!m_satzStore.m_bSatzLoaded || m_satzStore.m_nSatzCount == 0)
            return;
        const int nCurrent = m_satzStore.m_nCurrentSatz;
        m_satzStore.GetNextSatz(+1);
        const int nNext = m_satzStore.m_nCurrentSatz;
        m_satzStore.m_nCurrentSatz = nCurrent;
        const ViewGeometry view = Geometry();
        if (nNext >= 0 &&
            PrefetchSlide(m_satzStore, nNext, view.frame.dScale * view.dDevicePixelRatio))
            m_composed.Compose(m_satzStore, nNext, view);
    });
}

SlideFrame CZelvoraView::Frame() const {
    return FitSlide(m_satzStore.m_nResMode, size(), m_bFitScreen);
}

ViewGeometry CZelvoraView::Geometry() const {
    return {size(), devicePixelRatioF(), Frame()};
}
