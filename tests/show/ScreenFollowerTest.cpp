// The kiosk window on two outputs of the offscreen platform: it covers the one chosen, falls
// back to the primary one, moves when its screen goes away and back when it returns, and
// follows a change of size; the chrome grows with the screen beyond full HD.

#include "show/ScreenFollower.h"
#include "dialogs/ChromeScale.h"
#include "settings/Profile.h"
#include "settings/SettingNames.h"
#include "support/TempWorkDir.h"

#include <QApplication>
#include <QFontInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>

TEST(ChooseScreen, TheNamedOutputElseThePrimaryOne) {
    const QStringList names{QStringLiteral("HDMI-1"), QStringLiteral("HDMI-2")};
    const struct {
        QStringList names;
        int nPrimary;
        const char* szWanted;
        int nIndex;
        bool bFallback;
    } cases[] = {
        {names, 0, "", 0, false},       {names, 1, "", 1, false},    {names, 0, "HDMI-2", 1, false},
        {names, 1, "HDMI-1", 0, false}, {names, 1, "DP-1", 1, true}, {names, -1, "", 0, false},
        {{}, 0, "HDMI-1", -1, false},
    };
    for (const auto& c : cases) {
        const ScreenChoice choice =
            ChooseScreen(c.names, c.nPrimary, QString::fromLatin1(c.szWanted));
        EXPECT_EQ(choice.nIndex, c.nIndex) << c.szWanted << " primary " << c.nPrimary;
        EXPECT_EQ(choice.bFallback, c.bFallback) << c.szWanted;
    }
}

TEST(ScreenFollower, CoversTheChosenScreenAndMovesWhenItGoesAndComesBack) {
    CTempWorkDir dir;
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2) << "the offscreen platform's two outputs";
    QScreen* second = screens[1];

    WriteProfileString(setting::kSection, setting::kBildschirm, second->name());
    // Frameless as the show's window: the platform adds no frame to the geometry.
    QWidget window(nullptr, Qt::FramelessWindowHint);
    CScreenFollower follower(window, second->name(), true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(follower.Screen(), second);
    EXPECT_EQ(window.geometry(), second->geometry());
    EXPECT_TRUE(ScreenStateOf(window).strMissing.isEmpty());

    // Qt announces the removal while the screen is still listed.
    emit qGuiApp->screenRemoved(second);
    EXPECT_EQ(follower.Screen(), QGuiApplication::primaryScreen());
    EXPECT_EQ(window.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(window.isVisible());
    emit qGuiApp->screenAdded(second);
    EXPECT_EQ(window.geometry(), second->geometry()) << "back on the chosen one";

    window.hide();
    emit second->geometryChanged(second->geometry());
    EXPECT_TRUE(window.isVisible()) << "a window Qt hid with its screen comes back";

    // An output that is not there: the primary screen, and the status page names the missing.
    WriteProfileString(setting::kSection, setting::kBildschirm, QStringLiteral("DP-9"));
    QWidget other(nullptr, Qt::FramelessWindowHint);
    CScreenFollower fallback(other, QStringLiteral("DP-9"), true);
    other.show();
    EXPECT_EQ(other.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(ScreenStateOf(other).strMissing, QStringLiteral("DP-9"));
    EXPECT_EQ(ScreenStateOf(other).size, QGuiApplication::primaryScreen()->geometry().size());
}

TEST(ChromeScale, TheMenuBarAndDialogsGrowWithTheScreenBeyondFullHdOnly) {
    // The smaller side's ratio counts: a portrait 4K screen is only a little wider than full HD.
    EXPECT_DOUBLE_EQ(ChromeScale(QSize(2160, 3840)), 1.125);
    EXPECT_DOUBLE_EQ(ChromeScale(QSize(1366, 768)), 1.0);

    CTempWorkDir dir;
    const QFont base = QApplication::font();
    const int nBasePixels = QFontInfo(QApplication::font("QMenuBar")).pixelSize();
    QMainWindow window(nullptr, Qt::FramelessWindowHint);
    window.menuBar()->addMenu(QStringLiteral("&Speed"));
    auto* dialogOwner = new QWidget;
    window.setCentralWidget(dialogOwner);
    QScreen* tv = QGuiApplication::screens()[1];
    std::optional<CChromeFonts> earlier(std::in_place);
    earlier->Apply(tv);
    earlier.reset();
    CChromeFonts fonts; // measures the fonts its predecessor left unscaled
    CScreenFollower follower(window, tv->name(), true);
    QObject::connect(&follower, &CScreenFollower::ScreenFollowed, &window,
                     [&fonts](QScreen* screen) { fonts.Apply(screen); });
    fonts.Apply(follower.Screen());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    // The 4K TV, and the smaller primary screen it falls back to.
    const struct {
        bool bTvPresent;
        double dScale;
    } steps[] = {{true, 2.0}, {false, 1.0}};
    for (const auto& step : steps) {
        if (step.bTvPresent)
            emit qGuiApp->screenAdded(tv);
        else
            emit qGuiApp->screenRemoved(tv);
        SCOPED_TRACE(qPrintable(follower.Screen()->name()));
        // The widgets take the application's new fonts from the event loop.
        QCoreApplication::processEvents();
        EXPECT_EQ(fonts.Scale(), step.dScale);
        EXPECT_NEAR(QFontInfo(window.menuBar()->font()).pixelSize(), nBasePixels * step.dScale, 1);
        // A dialog being built is not shown yet: its sizes follow its owner's screen.
        QWidget dialog(dialogOwner, Qt::Dialog);
        EXPECT_EQ(ChromePixels(&dialog, 240), qRound(240 * step.dScale));
    }
    EXPECT_EQ(QApplication::font(), base) << "full HD and below keep the fonts untouched";
}
