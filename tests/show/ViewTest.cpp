#include "show/ViewConstants.h"
#include "show/ViewFakes.h"
#include "show/ZelvoraView.h"

#include "../catalogue/TraceCapture.h"

#include "platform/ServiceNotifier.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/NotifySocket.h"
#include "support/TempWorkDir.h"
#include "support/TestPhotos.h"
#include "sync/CredentialStore.h"
#include "sync/Portal.h"
#include "sync/SyncStatus.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QSemaphore>
#include <QSettings>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace view;

namespace {

constexpr int kAllTimers[] = {TIMER_START_LOAD, TIMER_ONLINE_UPDATE, TIMER_NEXT_SATZ,
                              TIMER_SETTINGS_CHANGED, TIMER_SHUTDOWN_CHECK};

// A used-vehicle record file with a main photo wide enough for a slide.
void WriteRecord(int nSatzNr, const QColor& colour = Qt::darkCyan) {
    const QString photo = QStringLiteral("foto_%1.jpg").arg(nSatzNr);
    WritePhoto(QStringLiteral("Bilder/") + photo, 800, 600, colour);
    QList<QByteArray> lines(20);
    lines[0] = "Titel " + QByteArray::number(nSatzNr);
    lines[2] = "9000";
    lines[5] = "12000";
    lines[7] = photo.toLatin1();
    lines[18] = "MARKE";
    CTempWorkDir::WriteFile(QStringLiteral("Daten/satz_1_%1.txt").arg(nSatzNr), lines.join('\n'));
}

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 &&
           std::abs(a.blue() - b.blue()) < 8;
}

void WriteInt(const char* name, int value) {
    WriteProfileInt(setting::kSection, name, value);
}
QString ReadText(const char* name) {
    return GetProfileString(setting::kSection, name);
}

class View : public ::testing::Test {
protected:
    CZelvoraView& MakeView() {
        m_view.reset(m_seams.NewView());
        return *m_view;
    }
    // A started view with a customer number, after its first load of nRecords slides.
    CZelvoraView& LoadedView(int nRecords = 3) {
        SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
        for (int n = 1; n <= nRecords; ++n)
            WriteRecord(n);
        CZelvoraView& view = MakeView();
        view.OnInitialUpdate();
        view.OnTimer(TIMER_START_LOAD);
        WaitForJob(view);
        return view;
    }
    const CWindowTimers& Timers() { return m_view->Timers(); }
    int Current() { return m_view->Store().m_nCurrentSatz; }

    CTempWorkDir m_dir;
    ViewSeams m_seams;
    std::unique_ptr<CZelvoraView> m_view;
};

} // namespace

TEST_F(View, StartArmsTheTimersByCustomerNumberAndDisplayMode) {
    for (const bool bCredentials : {false, true}) {
        for (const int nAnzeige : {-1, 0, 1, 2}) {
            SCOPED_TRACE(testing::Message()
                         << "credentials " << bCredentials << ", Anzeige " << nAnzeige);
            QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")).clear();
            if (bCredentials)
                SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
            WriteInt(setting::kAnzeige, nAnzeige);
            CZelvoraView& view = MakeView();
            view.OnInitialUpdate();

            EXPECT_EQ(Timers().Interval(TIMER_SHUTDOWN_CHECK), 800);
            EXPECT_EQ(Timers().Interval(TIMER_START_LOAD), bCredentials ? 200 : 0);
            const bool bUsed = nAnzeige != 1;
            EXPECT_EQ(Timers().Interval(TIMER_ONLINE_UPDATE), bCredentials && bUsed ? 3600000 : 0);
            EXPECT_FALSE(Timers().IsArmed(TIMER_NEXT_SATZ));
            EXPECT_FALSE(Timers().IsArmed(TIMER_SETTINGS_CHANGED));
            EXPECT_EQ(view.Store().m_nAnzeige, nAnzeige < 0 ? 0 : nAnzeige);
            EXPECT_EQ(view.Store().m_strKundenNr,
                      bCredentials ? QStringLiteral("4711") : QString());
            EXPECT_FALSE(view.IsRunning());
            EXPECT_TRUE(m_seams.log.empty()) << "nothing is synchronised at start";
        }
    }
}

TEST_F(View, StartReadsLanguageLayoutIntervalTargetAndSettings) {
    CZelvoraView& view = MakeView();
    view.OnInitialUpdate();
    EXPECT_EQ(view.Store().m_nSprache, 0);
    EXPECT_EQ(view.Store().m_nResMode, 1);
    EXPECT_EQ(view.Speed(), 10000) << "a missing interval is 10 s";
    EXPECT_STREQ(view.Store().m_szServer.data(), portal::kHost);
    EXPECT_EQ(view.Store().m_nServerPort, 80);
    EXPECT_FALSE(view.Store().m_bSatzLoaded);
    EXPECT_EQ(view.Store().m_nCurrentSatz, 0);
    EXPECT_EQ(view.cursor().shape(), Qt::BlankCursor);
    EXPECT_TRUE(m_seams.screenSaver.m_bHeld);

    WriteInt(setting::kSprache, 2);
    WriteInt(setting::kSpeed, 500);
    WriteInt(setting::kShutDown, 1);
    WriteInt(setting::kProxyOn, 1);
    WriteInt(setting::kProxyPort, 3128);
    WriteProfileString(setting::kSection, setting::kProxyIP, QStringLiteral("127.0.0.1"));
    for (const auto& [nScrRes, nResMode] : {std::pair{1, 2}, {2, 2}, {3, 2}, {0, 1}, {7, 1}}) {
        WriteInt(setting::kScrRes, nScrRes);
        view.OnInitialUpdate();
        EXPECT_EQ(view.Store().m_nResMode, nResMode) << "ScrRes " << nScrRes;
    }
    EXPECT_EQ(view.Store().m_nSprache, 2);
    EXPECT_EQ(view.Speed(), 10000) << "below 1000 ms is taken as 10 s";
    EXPECT_TRUE(view.Store().m_bShutDown);
    EXPECT_STREQ(view.Store().m_szServer.data(), "127.0.0.1");
    EXPECT_EQ(view.Store().m_nServerPort, 3128);

    for (const int nSpeed : {1000, 2000}) {
        WriteInt(setting::kSpeed, nSpeed);
        view.OnInitialUpdate();
        EXPECT_EQ(view.Speed(), nSpeed);
    }
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kSpeed, 0), 2000) << "never written back";
    for (const auto& speed : command::kSpeedCommands)
        EXPECT_FALSE(view.IsCommandChecked(speed.nCommand)) << "2 s is no menu item";
}

TEST_F(View, MissingCacheFoldersAreCreatedAndMakeEverythingOutOfDate) {
    const QString stamp = QStringLiteral("2026-03-01 12:00:00");
    const auto startWith = [&](bool bBilder, bool bDaten) {
        WriteProfileString(setting::kSection, setting::kLastUpdate, stamp);
        if (!bBilder)
            QDir(QStringLiteral("Bilder")).removeRecursively();
        if (!bDaten)
            QDir(QStringLiteral("Daten")).removeRecursively();
        MakeView().OnInitialUpdate();
        EXPECT_TRUE(QDir(QStringLiteral("Daten")).exists());
        EXPECT_TRUE(QDir(QStringLiteral("Bilder")).exists());
        return ReadText(setting::kLastUpdate);
    };
    EXPECT_EQ(startWith(true, true), stamp) << "empty folders are no missing cache";
    CTempWorkDir::WriteFile(QStringLiteral("Bilder/a.jpg"), "x");
    EXPECT_EQ(startWith(true, true), stamp);
    EXPECT_EQ(startWith(true, false), QString());
    EXPECT_EQ(startWith(false, true), QString());
    EXPECT_EQ(startWith(false, false), QString());
    EXPECT_TRUE(QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora"))
                    .contains(QStringLiteral("Settings/LastUpdate")))
        << "emptied, not removed";
}

TEST_F(View, FirstLoadSyncsLoadsShowsIndexOneAndStartsTheShow) {
    SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    // The record files arrive with the used-vehicle sync: a slide shows that it ran first.
    m_seams.onUsed = [] {
        for (int n = 1; n <= 3; ++n)
            WriteRecord(n);
    };
    WriteInt(setting::kManuellUpdate, 1);
    CZelvoraView& view = MakeView();
    view.OnInitialUpdate();
    view.OnTimer(TIMER_START_LOAD);
    EXPECT_FALSE(view.IsRunning()) << "nothing cached: the show waits for the sync";
    WaitForJob(view);

    EXPECT_EQ(m_seams.log,
              (std::vector<std::string>{"UpdatePictureList", "UpdateNeuFzPictureList"}))
        << "manual updates do not stop the first load, and an empty LastUpdate is due";
    EXPECT_FALSE(ReadText(setting::kLastUpdate).isEmpty());
    EXPECT_EQ(view.Store().m_nSatzCount, 3);
    EXPECT_TRUE(view.Store().m_bSatzLoaded);
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(view.Store().m_satz[1].strTitel, QStringLiteral("Titel 2"));
    EXPECT_TRUE(view.IsRunning());
    EXPECT_TRUE(view.IsCommandChecked(command::kStart));
    EXPECT_FALSE(Timers().IsArmed(TIMER_START_LOAD)) << "the first load runs once";
    EXPECT_EQ(Timers().Interval(TIMER_NEXT_SATZ), 10000);

    view.OnTimer(TIMER_NEXT_SATZ);
    EXPECT_EQ(Current(), 2);
    view.OnTimer(TIMER_NEXT_SATZ);
    EXPECT_EQ(Current(), 0);
}

TEST_F(View, FirstLoadWithoutSlidesShowsNone) {
    CZelvoraView& view = LoadedView(0);
    EXPECT_EQ(Current(), -1);
    EXPECT_FALSE(view.Store().m_bSatzLoaded);
    EXPECT_TRUE(Timers().IsArmed(TIMER_NEXT_SATZ));
    view.OnTimer(TIMER_NEXT_SATZ);
    EXPECT_EQ(Current(), -1);
}

TEST_F(View, RepeatedStartReleasesThePreviousLoadsPictures) {
    CZelvoraView& view = LoadedView();
    const int nSlot = view.Store().m_satz[2].nBild[0];
    ASSERT_FALSE(view.Store().m_pPictures[nSlot].strPath.isEmpty());
    ASSERT_FALSE(view.Store().Picture(nSlot).isNull());

    view.OnInitialUpdate();
    EXPECT_TRUE(view.Store().m_pPictures[nSlot].strPath.isEmpty());
    EXPECT_TRUE(view.Store().Picture(nSlot).isNull());
    EXPECT_TRUE(view.Store().m_loadedPictures.empty());
    EXPECT_EQ(view.Store().m_nSatzCount, 0);
    EXPECT_EQ(view.Store().m_nPictureCount, 0);
    EXPECT_FALSE(view.Store().m_bSatzLoaded);

    view.OnTimer(TIMER_START_LOAD);
    EXPECT_EQ(view.Store().m_nSatzCount, 3) << "the load after it starts from empty";
    EXPECT_EQ(view.Store().m_nPictureCount, 3);
}

TEST_F(View, DestroyReleasesPicturesAndTheScreenSaver) {
    CZelvoraView& view = LoadedView();
    const int nSlot = view.Store().m_satz[0].nBild[0];
    ASSERT_TRUE(m_seams.screenSaver.m_bHeld);
    view.OnDestroy();
    EXPECT_TRUE(view.Store().m_pPictures[nSlot].strPath.isEmpty());
    EXPECT_EQ(view.Store().m_nSatzCount, 0);
    EXPECT_FALSE(m_seams.screenSaver.m_bHeld);

    m_seams.screenSaver.m_bHeld = true;
    m_view.reset();
    EXPECT_FALSE(m_seams.screenSaver.m_bHeld) << "destroying the view releases it";
}

TEST_F(View, SpaceAndEnterToggleTheShow) {
    CZelvoraView& view = LoadedView();
    for (const int nKey : {key::kSpace, key::kEnter}) {
        view.OnKeyDown(nKey, 1);
        EXPECT_FALSE(view.IsRunning());
        EXPECT_FALSE(Timers().IsArmed(TIMER_NEXT_SATZ));
        view.OnKeyDown(nKey, 2); // no repeat rule for these
        EXPECT_TRUE(view.IsRunning());
        EXPECT_EQ(Timers().Interval(TIMER_NEXT_SATZ), 10000);
    }
    EXPECT_EQ(Current(), 1) << "toggling does not step";
}

TEST_F(View, ArrowsStepOrPauseOrResumeOnlyWhenNotRepeated) {
    CZelvoraView& view = LoadedView();
    view.OnKeyDown(key::kLeft, 1);
    EXPECT_EQ(Current(), 0);
    EXPECT_FALSE(view.IsRunning());
    EXPECT_FALSE(Timers().IsArmed(TIMER_NEXT_SATZ));
    view.OnKeyDown(key::kLeft, 1);
    EXPECT_EQ(Current(), 2) << "past the start continues at the end";
    view.OnKeyDown(key::kRight, 1);
    EXPECT_EQ(Current(), 0);
    EXPECT_FALSE(view.IsRunning());

    view.OnKeyDown(key::kUp, 1);
    EXPECT_TRUE(view.IsRunning());
    EXPECT_EQ(Timers().Interval(TIMER_NEXT_SATZ), 10000);
    EXPECT_EQ(Current(), 0) << "Up resumes on the current slide";
    view.OnKeyDown(key::kUp, 1);
    EXPECT_TRUE(view.IsRunning()) << "Up while running restarts the timer";
    EXPECT_TRUE(Timers().IsArmed(TIMER_NEXT_SATZ));

    view.OnKeyDown(key::kDown, 1);
    EXPECT_FALSE(view.IsRunning());
    EXPECT_FALSE(Timers().IsArmed(TIMER_NEXT_SATZ));
    EXPECT_EQ(Current(), 0);
    view.OnKeyDown(key::kDown, 1);
    EXPECT_FALSE(view.IsRunning()) << "Down pauses, it does not toggle";

    view.OnKeyDown(key::kUp, 1);
    for (const int nKey : {key::kLeft, key::kRight, key::kUp, key::kDown}) {
        view.OnKeyDown(nKey, 2);
        EXPECT_TRUE(view.IsRunning()) << "a held arrow does nothing: " << nKey;
        EXPECT_EQ(Current(), 0);
    }
    view.OnKeyDown(65, 1);
    EXPECT_TRUE(view.IsRunning()) << "other keys do nothing";
}

TEST_F(View, QtKeysMapToTheShowsKeyCodesAndAHeldArrowKeepsStepping) {
    CZelvoraView& view = LoadedView();
    const auto press = [&](Qt::Key key, bool bAutoRepeat = false, quint16 nCount = 1) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(), bAutoRepeat, nCount);
        QCoreApplication::sendEvent(&view, &event);
        return event.isAccepted();
    };
    EXPECT_TRUE(press(Qt::Key_Right));
    EXPECT_EQ(Current(), 2);
    EXPECT_FALSE(view.IsRunning());
    press(Qt::Key_Right, true);
    EXPECT_EQ(Current(), 0) << "each auto-repeated press steps";
    press(Qt::Key_Right, true);
    EXPECT_EQ(Current(), 1);
    press(Qt::Key_Right, false, 3);
    EXPECT_EQ(Current(), 1) << "presses merged while busy do not";
    press(Qt::Key_Left, true);
    EXPECT_EQ(Current(), 0);
    press(Qt::Key_Left);
    EXPECT_EQ(Current(), 2);
    press(Qt::Key_Up);
    EXPECT_TRUE(view.IsRunning());
    press(Qt::Key_Down);
    EXPECT_FALSE(view.IsRunning());
    press(Qt::Key_Space);
    EXPECT_TRUE(view.IsRunning());
    press(Qt::Key_Return);
    EXPECT_FALSE(view.IsRunning());
    press(Qt::Key_Enter);
    EXPECT_TRUE(view.IsRunning());
    EXPECT_FALSE(press(Qt::Key_A));
    EXPECT_TRUE(view.IsRunning());
}

TEST_F(View, SpeedCommandsWriteTheIntervalAndArmTheTimerWithoutTouchingTheRunningFlag) {
    CZelvoraView& view = LoadedView();
    view.StartStop();
    ASSERT_FALSE(view.IsRunning());
    for (const auto& speed : command::kSpeedCommands) {
        view.OnCommand(speed.nCommand);
        EXPECT_EQ(GetProfileInt(setting::kSection, setting::kSpeed, 0), speed.nSpeed);
        EXPECT_EQ(view.Speed(), speed.nSpeed);
        EXPECT_EQ(Timers().Interval(TIMER_NEXT_SATZ), speed.nSpeed);
        EXPECT_FALSE(view.IsRunning());
        for (const auto& other : command::kSpeedCommands)
            EXPECT_EQ(view.IsCommandChecked(other.nCommand), other.nCommand == speed.nCommand);
    }
    EXPECT_FALSE(view.IsCommandChecked(command::kStart))
        << "advancing while Start shows no check mark";

    view.OnCommand(command::kSpeed10s);
    view.OnKeyDown(key::kSpace, 1);
    EXPECT_TRUE(view.IsRunning());
    EXPECT_TRUE(view.IsCommandChecked(command::kStart));
    view.OnCommand(command::kSpeed3s);
    EXPECT_TRUE(view.IsRunning());
    EXPECT_EQ(Timers().Interval(TIMER_NEXT_SATZ), 3000);
    view.OnCommand(command::kStart);
    EXPECT_FALSE(view.IsRunning());
    EXPECT_FALSE(Timers().IsArmed(TIMER_NEXT_SATZ));

    for (const int nID : {command::kUpdate, command::kVersion, command::kProxyServer, 0})
        EXPECT_FALSE(view.IsCommandChecked(nID));
}

TEST_F(View, SettingsChangedTimerReloadsOnceAndLeavesTheSlideTimerAsItWas) {
    CZelvoraView& view = LoadedView();
    for (const bool bStoppedBefore : {true, false}) {
        if (bStoppedBefore)
            view.StartStop();
        const bool bArmed = Timers().IsArmed(TIMER_NEXT_SATZ);
        WriteProfileString(setting::kSection, setting::kPromoText, QStringLiteral("ROT: Aktion"));
        view.StartSettingsChangedTimer();
        EXPECT_EQ(Timers().Interval(TIMER_SETTINGS_CHANGED), 200);
        const int nBefore = Current();

        view.OnTimer(TIMER_SETTINGS_CHANGED);
        EXPECT_FALSE(Timers().IsArmed(TIMER_SETTINGS_CHANGED));
        EXPECT_EQ(view.Store().m_strPromoText, QStringLiteral("ROT: Aktion"));
        EXPECT_TRUE(view.IsRunning());
        EXPECT_EQ(Timers().IsArmed(TIMER_NEXT_SATZ), bArmed);
        EXPECT_EQ(Current(), (nBefore + 1) % 3);
    }
}

TEST_F(View, HourlyUpdateRebuildsAndAlwaysRestartsTheSlideTimer) {
    CZelvoraView& view = LoadedView();
    view.StartStop();
    m_seams.log.clear();
    WriteRecord(4);

    view.OnTimer(TIMER_ONLINE_UPDATE);
    EXPECT_TRUE(view.Job().IsRunning());
    EXPECT_EQ(view.Store().m_nSatzCount, 3) << "the show goes on with the catalogue it has";
    view.OnTimer(TIMER_ONLINE_UPDATE);
    WaitForJob(view);
    EXPECT_EQ(m_seams.log, std::vector<std::string>{"UpdatePictureList"})
        << "one job: the tick that found it running started none, and the new-vehicle list "
           "was fetched at the first load";
    EXPECT_EQ(view.Store().m_nSatzCount, 4);
    EXPECT_EQ(Current(), 1) << "the vehicle on screen stays current";
    EXPECT_EQ(Timers().Interval(TIMER_NEXT_SATZ), 10000) << "re-armed while stopped";
    EXPECT_FALSE(view.IsRunning());

    WriteInt(setting::kManuellUpdate, 1);
    view.StartSettingsChangedTimer();
    view.OnTimer(TIMER_SETTINGS_CHANGED);
    view.StartStop(); // stops
    ASSERT_FALSE(Timers().IsArmed(TIMER_NEXT_SATZ));
    m_seams.log.clear();
    view.OnTimer(TIMER_ONLINE_UPDATE);
    EXPECT_TRUE(m_seams.log.empty()) << "manual updates: the hourly update does nothing";
    EXPECT_EQ(Timers().Interval(TIMER_NEXT_SATZ), 10000)
        << "and the timer is re-armed all the same";
    EXPECT_EQ(view.Store().m_nSatzCount, 4);
}

TEST_F(View, ARebuildGoesOnAfterTheVehicleOnScreenFoundByItsRecord) {
    // The show stands on "Titel 2" of three when the start-up or the hourly job adds a record
    // in front of it, or deletes it.
    for (const auto& [bHourly, bGone] : {std::pair{false, false}, std::pair{true, false},
                                         std::pair{false, true}, std::pair{true, true}}) {
        SCOPED_TRACE(testing::Message() << "hourly " << bHourly << " gone " << bGone);
        for (int n = 0; n <= 3; ++n)
            QFile::remove(QStringLiteral("Daten/satz_1_%1.txt").arg(n));
        const auto change = [bGone] {
            bGone ? void(QFile::remove(QStringLiteral("Daten/satz_1_2.txt"))) : WriteRecord(0);
        };
        m_seams.onUsed = bHourly ? std::function<void()>() : change;
        CZelvoraView& view = LoadedView();
        m_seams.onUsed = change;
        if (bHourly) {
            view.OnTimer(TIMER_ONLINE_UPDATE);
            WaitForJob(view);
        }
        const auto title = [&] {
            return view.Store().m_satz[size_t(Current())].strTitel;
        };
        EXPECT_EQ(title(), bGone ? QStringLiteral("Titel 1") : QStringLiteral("Titel 2"));
        view.OnTimer(TIMER_NEXT_SATZ);
        EXPECT_EQ(title(), QStringLiteral("Titel 3"));
    }
}

// A running 4K show under the event loop, the shutdown check ticking between composing ahead
// and advancing, and a job's progress timer running: between two slide changes the slide is
// composed once, ahead; the change is served from it.
TEST_F(View, ALargeScreenServesEachSlideChangeFromTheSlideComposedAhead) {
    WriteInt(setting::kScrRes, 3);
    WriteInt(setting::kSpeed, 1200);
    for (const bool bJob : {false, true}) {
        SCOPED_TRACE(bJob ? "during a job" : "no job");
        QSemaphore entered;
        QSemaphore release;
        m_seams.onUsed = {};
        CZelvoraView& view = LoadedView();
        m_seams.onUsed = [&] {
            entered.release();
            release.acquire();
        };
        if (bJob) {
            view.OnTimer(TIMER_ONLINE_UPDATE);
            entered.acquire(); // the worker traces nothing more while the lines are counted
        }
        view.resize(3840, 2160);
        view.show();
        QCoreApplication::processEvents();
        view.OnKeyDown(key::kUp, 1); // the slide timer counts from here
        std::vector<int> composed;
        {
            QEventLoop loop;
            CTraceCapture trace([&](const QString& line) {
                if (line == QStringLiteral("GetNextSatz Start") && composed.size() == 1)
                    loop.quit();
                if (line == QStringLiteral("GetNextSatz Start"))
                    composed.push_back(0);
                else if (line == QStringLiteral("ZeigeSatzAufBildschirm") && !composed.empty())
                    ++composed.back();
            });
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        release.release();
        WaitForJob(view);
        ASSERT_EQ(composed.size(), 2u);
        EXPECT_EQ(composed[0], 1);
    }
}

TEST_F(View, ShutdownCheckPowersOffOnceInsideTheWindow) {
    struct Case {
        int nShutDown;
        int nShutDownTime;
        int nHour, nMinute, nSecond;
        bool bPowerOff;
    };
    constexpr int k1830 = 18 * 3600 + 30 * 60;
    const Case cases[] = {
        {1, k1830, 18, 29, 59, false},    {1, k1830, 18, 30, 0, true},
        {1, k1830, 18, 30, 29, true},     {1, k1830, 18, 30, 30, false},
        {1, k1830 + 15, 18, 30, 0, true}, {1, k1830, 18, 31, 0, false},
        {0, k1830, 18, 30, 0, false},     {0, k1830, 18, 30, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ShutDown " << c.nShutDown << ", time " << c.nHour << ":"
                                        << c.nMinute << ":" << c.nSecond);
        WriteInt(setting::kShutDown, c.nShutDown);
        WriteInt(setting::kShutDownTime, c.nShutDownTime);
        m_seams.powerOff.m_nCalls = 0;
        m_seams.clock.m_now = LocalTime(2026, 6, 1, c.nHour, c.nMinute, c.nSecond);
        CZelvoraView& view = MakeView();
        view.OnInitialUpdate();

        view.OnTimer(TIMER_SHUTDOWN_CHECK);
        EXPECT_EQ(m_seams.powerOff.m_nCalls, c.bPowerOff ? 1 : 0);
        EXPECT_EQ(Timers().IsArmed(TIMER_SHUTDOWN_CHECK), !c.bPowerOff)
            << "stopped before the attempt, so there is a single one";
    }
}

TEST_F(View, ManualUpdateSyncsTwiceTellsTheOperatorAndAsksForARestart) {
    struct Case {
        int nSprache;
        const char* szText;
        const char* szCaption;
    };
    const Case cases[] = {
        {1, "Manuelles Daten update, bitte starten Sie das Programm neu !",
         "Programm schliesst nun automatisch"},
        {2, "Les réglages ont été modifiés, SVP redémarrer le programme !",
         "Le programme se ferme automatiquement"},
        {0, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nSprache);
        WriteInt(setting::kSprache, c.nSprache);
        CZelvoraView& view = LoadedView();
        int nCloses = 0;
        CCloseCounter counter(view, nCloses);
        int nRestarts = 0;
        QObject::connect(&view, &CZelvoraView::RestartRequested, [&] { ++nRestarts; });
        m_seams.log.clear();
        CModalAnswerer answerer;

        view.OnCommand(command::kUpdate);
        WaitForJob(view);
        EXPECT_EQ(m_seams.log, (std::vector<std::string>{"UpdatePictureList", "UpdatePictureList",
                                                         "UpdateNeuFzPictureList"}));
        EXPECT_FALSE(Timers().IsArmed(TIMER_NEXT_SATZ));
        if (c.szText) {
            ASSERT_EQ(answerer.m_seen.size(), 1u);
            EXPECT_EQ(answerer.m_seen[0].strText, QString::fromUtf8(c.szText));
            EXPECT_EQ(answerer.m_seen[0].strTitle, QString::fromUtf8(c.szCaption));
            EXPECT_EQ(answerer.m_seen[0].buttons, QMessageBox::Ok);
        } else {
            EXPECT_TRUE(answerer.m_seen.empty()) << "no message in another language";
        }
        // The restart request is queued; the job's end came through the event loop already.
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(nRestarts, 1);
        EXPECT_EQ(nCloses, 0) << "the main window decides whether to close";

        view.OnRestartRefused();
        EXPECT_TRUE(Timers().IsArmed(TIMER_NEXT_SATZ)) << "a refused restart leaves the show on";
    }
}

TEST_F(View, VersionBoxAndDialogHostBoxes) {
    CZelvoraView& view = MakeView();
    {
        CModalAnswerer answerer;
        view.OnCommand(command::kVersion);
        ASSERT_EQ(answerer.m_seen.size(), 1u);
        EXPECT_EQ(answerer.m_seen[0].strText, QStringLiteral("Version 1.30"));
        EXPECT_EQ(answerer.m_seen[0].strTitle, QStringLiteral("Version"));
        EXPECT_EQ(answerer.m_seen[0].buttons, QMessageBox::Ok);
    }
    {
        CModalAnswerer answerer(QMessageBox::Yes);
        EXPECT_TRUE(view.AskYesNo(QStringLiteral("Frage"), QStringLiteral("Titel")));
        ASSERT_EQ(answerer.m_seen.size(), 1u);
        EXPECT_EQ(answerer.m_seen[0].strText, QStringLiteral("Frage"));
        EXPECT_EQ(answerer.m_seen[0].strTitle, QStringLiteral("Titel"));
        EXPECT_EQ(answerer.m_seen[0].buttons, QMessageBox::Yes | QMessageBox::No);
    }
    {
        CModalAnswerer answerer(QMessageBox::No);
        EXPECT_FALSE(view.AskYesNo(QStringLiteral("Frage"), QStringLiteral("Titel")));
    }
    {
        CModalAnswerer answerer;
        QDialog dialog;
        dialog.setWindowTitle(QStringLiteral("Probe"));
        EXPECT_EQ(view.RunModal(dialog), QDialog::Rejected);
        ASSERT_EQ(answerer.m_seen.size(), 1u);
        EXPECT_EQ(answerer.m_seen[0].strTitle, QStringLiteral("Probe"));
    }
    EXPECT_EQ(view.DialogParent(), &view);
    EXPECT_EQ(&view.PowerOff(), &m_seams.powerOff);
    EXPECT_EQ(&view.Clock(), &m_seams.clock);
}

TEST_F(View, DialogCommandsOpenTheirDialogs) {
    SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    CZelvoraView& view = MakeView();
    view.OnInitialUpdate();
    const std::pair<int, const char*> commands[] = {
        {command::kAuthorisation, "Authorization"},
        {command::kEinstellungen, "Einstellungen"},
        {command::kProxyServer, "Proxy Server"},
    };
    for (const auto& [nID, szTitle] : commands) {
        CModalAnswerer answerer;
        view.OnCommand(nID);
        ASSERT_EQ(answerer.m_seen.size(), 1u) << nID;
        EXPECT_EQ(answerer.m_seen[0].strTitle, QString::fromLatin1(szTitle));
    }
    EXPECT_EQ(m_seams.powerOff.m_nCalls, 0);
}

TEST_F(View, PaintShowsTheSlideAndPrefetchKeepsTheCurrentSlide) {
    SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    WriteRecord(1, Qt::red);
    WriteRecord(2, Qt::green);
    CZelvoraView& view = MakeView();
    view.OnInitialUpdate();
    view.resize(1366, 768);
    EXPECT_EQ(view.grab().toImage().pixelColor(10, 10), QColor(Qt::black))
        << "the waiting message on black";

    view.OnTimer(TIMER_START_LOAD);
    ASSERT_EQ(Current(), 1) << "a cached catalogue shows at once";
    const QImage shown = view.grab().toImage();
    EXPECT_TRUE(Near(shown.pixelColor(400, 400), Qt::green)) << "the main photo of slide 1";
    QCoreApplication::processEvents();
    EXPECT_EQ(Current(), 1) << "looking ahead does not move the show";
}

TEST_F(View, ASlideWhosePhotoDoesNotDecodeIsSkippedWhenDrawnOrLookedAhead) {
    SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
    for (int n = 1; n <= 4; ++n)
        WriteRecord(n, n == 3 ? Qt::green : Qt::red);
    const QByteArray photo = MakePhoto(800, 600);
    for (int n : {2, 4}) // whole headers, cut-off pictures
        CTempWorkDir::WriteFile(QStringLiteral("Bilder/foto_%1.jpg").arg(n), photo.left(800));
    CZelvoraView& view = MakeView();
    view.OnInitialUpdate();
    view.resize(1366, 768);
    view.OnTimer(TIMER_START_LOAD);
    ASSERT_EQ(view.Store().m_nSatzCount, 4) << "taken at load: their headers read";
    ASSERT_EQ(Current(), 1);

    const QImage shown = view.grab().toImage();
    EXPECT_EQ(Current(), 2) << "passed over when first drawn";
    EXPECT_TRUE(Near(shown.pixelColor(400, 400), Qt::green));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.Store().m_satz[3].nArt, 0) << "the look-ahead took the next one out";
    view.OnTimer(TIMER_NEXT_SATZ);
    EXPECT_EQ(Current(), 0);
}

TEST_F(View, FillsALargerScreenUnlessFitScreenIsOff) {
    WriteInt(setting::kScrRes, 3);
    CZelvoraView& view = LoadedView(2);
    view.resize(3840, 2160);
    QImage shown = view.grab().toImage();
    // The main photo at (40, 180) of the 1680 x 1050 layout, scaled by 2160 / 1050 and centred.
    EXPECT_TRUE(Near(shown.pixelColor(280, 380), Qt::darkCyan));
    EXPECT_EQ(shown.pixelColor(270, 380), QColor(Qt::black));
    QCoreApplication::processEvents(); // the look-ahead at the drawn size
    view.OnTimer(TIMER_NEXT_SATZ);
    EXPECT_TRUE(Near(view.grab().toImage().pixelColor(1900, 1590), Qt::darkCyan));

    WriteInt(setting::kFitScreen, 0);
    view.OnInitialUpdate();
    view.OnTimer(TIMER_START_LOAD);
    shown = view.grab().toImage();
    EXPECT_TRUE(Near(shown.pixelColor(45, 185), Qt::darkCyan));
    EXPECT_EQ(shown.pixelColor(845, 785), QColor(Qt::black));
}

TEST_F(View, ALargeScreenShowsTheSlideComposedAheadOnlyWhileItsSourceIsUnchanged) {
    WriteInt(setting::kScrRes, 3);
    CZelvoraView& view = LoadedView(2);
    view.resize(3840, 2160);
    view.grab();
    QCoreApplication::processEvents(); // composes the next slide
    view.OnTimer(TIMER_NEXT_SATZ);
    const QImage served = view.grab().toImage();
    view.OnCommand(0); // drops it: the same slide is composed afresh
    EXPECT_TRUE(view.grab().toImage() == served);

    // Reloaded with other photos under the same names while the next slide was composed.
    view.OnTimer(TIMER_NEXT_SATZ);
    view.grab();
    QCoreApplication::processEvents();
    WriteRecord(1, Qt::darkRed);
    WriteRecord(2, Qt::darkRed);
    view.OnInitialUpdate();
    view.OnTimer(TIMER_START_LOAD);
    view.OnTimer(TIMER_NEXT_SATZ);
    EXPECT_TRUE(Near(view.grab().toImage().pixelColor(1900, 1590), Qt::darkRed));
}

// No network on a first start: the waiting screen says why and when the next try comes, and a
// manual update through the same failure says it failed, in either language, and restarts
// nothing.
TEST_F(View, SyncsThatBringNothingAreToldOnTheWaitingScreenAndAfterTheUpdate) {
    struct Case {
        int nSprache;
        const char* szNotice;
        const char* szFailed;
    };
    const Case cases[] = {
        {1,
         "Portal nicht erreichbar – Fehler: Servername nicht gefunden – nächster Versuch um "
         "15:00 Uhr",
         "Manuelles Daten update fehlgeschlagen (Fehler: Servername nicht gefunden)."},
        {2, "Portail injoignable – échec : nom du serveur introuvable – prochain essai à 15:00",
         "Échec de la mise à jour manuelle (échec : nom du serveur introuvable)."},
    };
    m_seams.onUsed = [this] {
        WriteSyncOutcome(SyncKind::Used,
                         {.time = m_seams.clock.m_now, .failure = SyncFailure::NameLookup});
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nSprache);
        WriteInt(setting::kSprache, c.nSprache);
        WriteInt(setting::kManuellUpdate, 1);
        CZelvoraView& view = LoadedView(0);
        EXPECT_EQ(view.WaitingNoticeText(), QString::fromUtf8(c.szNotice));
        EXPECT_EQ(Timers().Interval(TIMER_ONLINE_UPDATE), kOnlineUpdatePeriod);
        m_seams.log.clear();
        view.OnTimer(TIMER_ONLINE_UPDATE);
        WaitForJob(view);
        EXPECT_FALSE(m_seams.log.empty()) << "nothing to show: the tick tries again";

        int nRestarts = 0;
        QObject::connect(&view, &CZelvoraView::RestartRequested, [&] { ++nRestarts; });
        CModalAnswerer answerer;
        view.OnCommand(command::kUpdate);
        WaitForJob(view);
        QCoreApplication::sendPostedEvents();
        ASSERT_EQ(answerer.m_seen.size(), 1u);
        EXPECT_TRUE(answerer.m_seen[0].strText.startsWith(QString::fromUtf8(c.szFailed)))
            << answerer.m_seen[0].strText.toStdString();
        EXPECT_EQ(nRestarts, 0);
    }
}

TEST_F(View, WatchdogFedWhileTheSlidesStepOrTheShowIsStillOnPurposeAndPaints) {
    constexpr int kTick = 50;
    constexpr int kFirstFrameMs = 10000;
    const int kLate = 3000 + kStepMarginMs + 1000;
    const int kLong = 10 * 60 * 1000;
    struct CPaintEater final : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            return event->type() == QEvent::Paint;
        }
    } paintsLost;
    const auto open = [](QWidget* popup) {
        popup->setWindowModality(Qt::ApplicationModal);
        popup->show();
    };
    const struct {
        const char* szCase;
        int nRecords; // -1: no credentials
        std::function<void(CZelvoraView&)> before;
        int nPassMs;
        bool bStep; // the slide timer steps at the end
        bool bFed;
    } rows[] = {
        {"waiting for credentials", -1, {}, kLong, false, true},
        {"an empty catalogue", 0, {}, kLong, false, true},
        {"the slides step", 3, {}, kLate - 2000, true, true},
        {"the slides stop stepping", 3, {}, kLate, false, false},
        {"stopped by the operator", 3, [](CZelvoraView& v) { v.StartStop(); }, kLong, false, true},
        {"stopped, then settings applied", 3,
         [](CZelvoraView& v) {
             v.StartStop();
             v.OnTimer(TIMER_SETTINGS_CHANGED);
         },
         kLong, false, true},
        {"a dialog open", 3, [&](CZelvoraView& v) { open(new QDialog(&v)); }, kLong, false, true},
        {"a menu open", 3, [](CZelvoraView& v) { (new QMenu(&v))->popup({}); }, kLong, false, true},
        {"the status page shown", 3,
         [](CZelvoraView& v) {
             QKeyEvent press(QEvent::KeyPress, Qt::Key_I, Qt::NoModifier, QStringLiteral("i"));
             QCoreApplication::sendEvent(&v, &press);
         },
         kLong, false, true},
        {"still, but no longer painting", 3,
         [&](CZelvoraView& v) {
             v.StartStop();
             v.installEventFilter(&paintsLost);
         },
         kPaintedWithinMs + 1000, false, false},
    };
    SyncOutcome last;
    last.time = LocalTime(2026, 3, 10, 10, 3, 0);
    WriteSyncOutcome(SyncKind::Used, last);
    CNotifySocket manager;
    const auto has = [](const std::vector<std::string>& messages, const std::string& text) {
        return std::find(messages.begin(), messages.end(), text) != messages.end();
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.szCase);
        if (row.nRecords >= 0)
            SaveCredentials(QStringLiteral("4711"), QStringLiteral("geheim"));
        for (int n = 1; n <= row.nRecords; ++n)
            WriteRecord(n);
        CServiceNotifier notifier(kTick);
        CZelvoraView& view = MakeView();
        QObject::connect(&view, &CZelvoraView::FirstFramePainted, &notifier,
                         [&] { notifier.Ready([&view] { return view.CheckProgress(); }); });
        QObject::connect(&view, &CZelvoraView::ServiceStatus, &notifier, &CServiceNotifier::Status);
        view.OnInitialUpdate();
        if (row.nRecords >= 0)
            view.OnTimer(TIMER_START_LOAD);
        WaitForJob(view);
        view.OnCommand(command::kSpeed3s);
        const std::vector<std::string> unseen = manager.During(kTick);
        EXPECT_FALSE(has(unseen, "READY=1")) << "not before the first frame";
        EXPECT_EQ(has(unseen, "STATUS=Fahrzeug 2 von 3 · Abgleich 10:03 ok"), row.nRecords == 3)
            << "when the job ends";
        view.show();
        // However long the first frame takes on a loaded machine.
        ASSERT_TRUE(manager.Awaits("READY=1", kFirstFrameMs));
        if (row.before)
            row.before(view);
        // Time passes with the event loop turning, but the slide timer does not step.
        for (int nDone = 0; nDone < row.nPassMs; nDone += 3000) {
            m_seams.clock.m_nSteadyMs += std::min(3000, row.nPassMs - nDone);
            QCoreApplication::processEvents();
        }
        if (row.bStep)
            view.OnTimer(TIMER_NEXT_SATZ);
        manager.Drain();
        EXPECT_EQ(has(manager.During(4 * kTick), "WATCHDOG=1"), row.bFed);
    }
}
