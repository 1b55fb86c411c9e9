#include "app/MainFrame.h"

#include "app/KioskMenuBar.h"

#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "show/ViewConstants.h"
#include "show/ViewFakes.h"
#include "support/TempWorkDir.h"
#include "sync/Portal.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class MainFrame : public ::testing::Test {
protected:
    CMainFrame& MakeFrame(const QByteArray& restartHistory = {}) {
        m_frame = std::make_unique<CMainFrame>(
            [this](QWidget* parent) { return m_seams.NewView(parent); }, restartHistory);
        return *m_frame;
    }

    CTempWorkDir m_dir;
    ViewSeams m_seams;
    std::unique_ptr<CMainFrame> m_frame;
};

} // namespace

TEST_F(MainFrame, RestoredSizeFollowsScrResAndTheWindowIsMaximisedWithoutFrame) {
    WriteProfileInt(setting::kSection, setting::kKiosk, 0);
    const std::pair<int, QSize> sizes[] = {{0, QSize(1366, 768)},
                                           {1, QSize(1680, 1050)},
                                           {2, QSize(1980, 1080)},
                                           {3, QSize(1920, 1080)}};
    for (const auto& [nScrRes, size] : sizes) {
        WriteProfileInt(setting::kSection, setting::kScrRes, nScrRes);
        CMainFrame& frame = MakeFrame();
        EXPECT_EQ(frame.normalGeometry(), QRect(QPoint(0, 0), size)) << "ScrRes " << nScrRes;
        EXPECT_TRUE(frame.windowState() & Qt::WindowMaximized);
        EXPECT_TRUE(frame.windowFlags() & Qt::FramelessWindowHint);
    }
    WriteProfileInt(setting::kSection, setting::kScrRes, 4);
    CMainFrame& frame = MakeFrame();
    for (const auto& [nScrRes, size] : sizes)
        EXPECT_NE(frame.normalGeometry().size(), size) << "any other value: Qt's default";
    EXPECT_TRUE(frame.windowState() & Qt::WindowMaximized);

    QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")).clear();
    EXPECT_TRUE(MakeFrame().windowState() & Qt::WindowFullScreen) << "a kiosk by default";
    EXPECT_EQ(m_frame->geometry(), m_frame->screen()->geometry())
        << "covering its screen by itself, whatever a window manager does with the request";
}

TEST_F(MainFrame, AltF4ClosesTheKioskWindow) {
    CMainFrame& frame = MakeFrame();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QTest::keyClick(&frame.View(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(frame.isVisible());
    EXPECT_FALSE(frame.IsRestartPending());
}

TEST_F(MainFrame, WritesGermanBeforeTheViewReadsItAndShowsTheGermanTitle) {
    WriteProfileInt(setting::kSection, setting::kSprache, 2);
    CMainFrame& frame = MakeFrame();
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kSprache, 0), 1);
    frame.View().OnInitialUpdate();
    EXPECT_EQ(frame.View().Store().m_nSprache, 1);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("   Unsere Fahrzeuge im ") +
                                       QString::fromLatin1(portal::kWebAddressDe));
    EXPECT_EQ(frame.centralWidget(), &frame.View());

    frame.show();
    EXPECT_EQ(frame.focusWidget(), &frame.View()) << "the keys go to the show";
    frame.View().OnCommand(command::kSpeed3s);
    frame.View().OnKeyDown(key::kSpace, 1);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("   Unsere Fahrzeuge im ") +
                                       QString::fromLatin1(portal::kWebAddressDe))
        << "the title never changes";
}

TEST_F(MainFrame, MenusCarryTheirTextsAndCommandNumbers) {
    CMainFrame& frame = MakeFrame();
    struct Item {
        const char* szText;
        int nCommand;
        bool bCheckable;
    };
    const std::vector<std::pair<QString, std::vector<Item>>> expected{
        {QStringLiteral("&Speed"),
         {{"Start", 32771, true},
          {"3s", 32772, true},
          {"5s", 32773, true},
          {"10s", 32774, true},
          {"30s", 32775, true},
          {"60s", 32776, true}}},
        {QStringLiteral("&Einstellungen"),
         {{"&Authorisation", 32777, false},
          {"Einstellungen", 32779, false},
          {"Update", 32778, false},
          {"Proxy Server", 32780, false}}},
        {QStringLiteral("?"), {{"Version", 32781, false}}},
    };
    const QList<QAction*> menus = frame.menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expected.size()));
    for (size_t m = 0; m < expected.size(); ++m) {
        EXPECT_EQ(menus[m]->text(), expected[m].first);
        const QList<QAction*> items = menus[m]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[m].second.size()));
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item& item = expected[m].second[static_cast<size_t>(i)];
            EXPECT_EQ(items[i]->text(), QString::fromLatin1(item.szText));
            EXPECT_EQ(items[i]->data().toInt(), item.nCommand);
            EXPECT_EQ(items[i]->objectName(), QString::number(item.nCommand));
            EXPECT_EQ(items[i]->isCheckable(), item.bCheckable);
            EXPECT_EQ(frame.CommandAction(item.nCommand), items[i]);
        }
    }
    EXPECT_EQ(frame.CommandAction(0), nullptr);
}

TEST_F(MainFrame, CheckMarksFollowTheShowAfterEachChangeAndWhenAMenuOpens) {
    CMainFrame& frame = MakeFrame();
    CZelvoraView& view = frame.View();
    view.OnInitialUpdate();
    const auto checked = [&](int nCommand) {
        return frame.CommandAction(nCommand)->isChecked();
    };
    EXPECT_FALSE(checked(command::kStart));
    EXPECT_TRUE(checked(command::kSpeed10s)) << "10 s is the interval of a first start";

    frame.CommandAction(command::kSpeed3s)->trigger();
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kSpeed, 0), 3000);
    EXPECT_TRUE(checked(command::kSpeed3s));
    EXPECT_FALSE(checked(command::kSpeed10s));
    EXPECT_FALSE(checked(command::kStart)) << "a speed command does not start the show";

    frame.CommandAction(command::kSpeed3s)->trigger();
    EXPECT_TRUE(checked(command::kSpeed3s)) << "choosing it again keeps its mark";

    frame.CommandAction(command::kStart)->trigger();
    EXPECT_TRUE(view.IsRunning());
    EXPECT_TRUE(checked(command::kStart));
    view.OnKeyDown(key::kDown, 1);
    EXPECT_FALSE(checked(command::kStart));

    // A mark a user clicked away comes back when the menu opens.
    frame.CommandAction(command::kSpeed60s)->setChecked(true);
    QMenu* speedMenu = frame.menuBar()->actions().at(0)->menu();
    emit speedMenu->aboutToShow();
    EXPECT_FALSE(checked(command::kSpeed60s));
    EXPECT_TRUE(checked(command::kSpeed3s));
}

TEST_F(MainFrame, UpdateItemClosesTheWindow) {
    CMainFrame& frame = MakeFrame();
    frame.View().OnInitialUpdate();
    frame.show();
    CModalAnswerer answerer;
    frame.CommandAction(command::kUpdate)->trigger();
    WaitForJob(frame.View());
    ASSERT_EQ(answerer.m_seen.size(), 1u);
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(frame.isVisible()) << "the main window, not only the view, is closed";
    EXPECT_EQ(m_seams.powerOff.m_nCalls, 0);
}

TEST_F(MainFrame, AusgabeChoosesTheLanguageWrittenAtStartAndTheTitle) {
    WriteProfileInt(setting::kSection, setting::kAusgabe, 2);
    CMainFrame& frame = MakeFrame();
    EXPECT_EQ(GetProfileInt(setting::kSection, setting::kSprache, 0), 2);
    frame.View().OnInitialUpdate();
    EXPECT_EQ(frame.View().Store().m_nSprache, 2);
    EXPECT_EQ(frame.windowTitle(), QString::fromUtf8("   Nos véhicules sur ") +
                                       QString::fromLatin1(portal::kWebAddressFr));
    for (const int nAusgabe : {1, 0, 3}) {
        WriteProfileInt(setting::kSection, setting::kAusgabe, nAusgabe);
        MakeFrame();
        EXPECT_EQ(GetProfileInt(setting::kSection, setting::kSprache, 0), 1) << nAusgabe;
    }
}

TEST_F(MainFrame, KioskMenuBarComesBackByKeyboardAndPointerAndHidesWhenUnused) {
    CMainFrame& frame = MakeFrame();
    CZelvoraView& view = frame.View();
    view.OnInitialUpdate();
    frame.show();
    QApplication::setActiveWindow(&frame);
    ASSERT_NE(frame.Kiosk(), nullptr);
    QMenuBar* bar = frame.menuBar();
    EXPECT_TRUE(bar->isHidden());
    QMenu* speed = bar->actions().at(0)->menu();
    QMenu* settings = bar->actions().at(1)->menu();

    // The accelerators of a hidden bar open their menu, and the bar shows while it is open.
    QTest::keyClick(&view, Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(settings->isVisible());
    frame.Kiosk()->HideUnlessInUse();
    EXPECT_TRUE(bar->isVisible()) << "not while a menu is open";
    settings->hide();
    EXPECT_TRUE(frame.Kiosk()->HideTimer().isActive());
    EXPECT_EQ(frame.Kiosk()->HideTimer().interval(), 10000);
    frame.Kiosk()->HideUnlessInUse();
    EXPECT_TRUE(bar->isHidden());

    QTest::keyClick(&view, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(speed->isVisible());
    speed->hide();
    frame.Kiosk()->HideUnlessInUse();

    QTest::keyClick(&view, Qt::Key_F10);
    EXPECT_TRUE(bar->isVisible());
    frame.Kiosk()->HideUnlessInUse();
    QTest::keyClick(&view, Qt::Key_Alt);
    EXPECT_TRUE(bar->isVisible());
    frame.Kiosk()->HideUnlessInUse();
    // at: from the window's top left corner, which is the screen's.
    const auto moveTo = [&](QPoint at) {
        const QPoint global = frame.mapToGlobal(at);
        QMouseEvent move(QEvent::MouseMove, view.mapFromGlobal(global), global, Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
    };
    moveTo(QPoint(300, 200));
    EXPECT_TRUE(bar->isHidden());
    moveTo(QPoint(300, 0));
    EXPECT_TRUE(bar->isVisible()) << "the pointer at the top edge";

    WriteProfileInt(setting::kSection, setting::kKiosk, 0);
    CMainFrame& plain = MakeFrame();
    plain.show();
    EXPECT_EQ(plain.Kiosk(), nullptr);
    EXPECT_TRUE(plain.windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(plain.menuBar()->isVisible());
}

TEST_F(MainFrame, RestartsInPlaceAtMostThreeTimesInFiveMinutes) {
    const std::time_t now = m_seams.clock.m_now;
    const auto update = [](CMainFrame& frame) {
        frame.View().OnInitialUpdate();
        frame.View().StartStop();
        frame.show();
        CModalAnswerer answerer;
        frame.CommandAction(command::kUpdate)->trigger();
        WaitForJob(frame.View());
        QCoreApplication::sendPostedEvents();
    };
    // Two restarts a moment ago, carried across the exec: the third is allowed.
    CMainFrame& third = MakeFrame(QByteArray::number(qlonglong(now - 100)) + ',' +
                                  QByteArray::number(qlonglong(now - 50)));
    update(third);
    EXPECT_FALSE(third.isVisible());
    EXPECT_TRUE(third.IsRestartPending());
    const QByteArray history = third.RestartHistory();

    CMainFrame& fourth = MakeFrame(history);
    update(fourth);
    EXPECT_TRUE(fourth.isVisible()) << "the fourth in five minutes is refused";
    EXPECT_FALSE(fourth.IsRestartPending());
    EXPECT_TRUE(fourth.View().Timers().IsArmed(view::TIMER_NEXT_SATZ)) << "and the show goes on";

    m_seams.clock.m_now = now + 200; // the oldest lies 300 s back
    CMainFrame& later = MakeFrame(history);
    update(later);
    EXPECT_TRUE(later.IsRestartPending());

    CMainFrame& closed = MakeFrame();
    closed.show();
    closed.close();
    EXPECT_FALSE(closed.IsRestartPending()) << "the operator's close ends the program";
}
