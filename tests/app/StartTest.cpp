// What is decided before the window exists: the command line, the lock of the working folder,
// and the guard against a restart loop.

#include "app/CommandLine.h"
#include "app/RestartGuard.h"
#include "app/ShowLock.h"
#include "support/TempWorkDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

TEST(StartMode, HelpVersionAndTheMissingDisplayEndBeforeQtStarts) {
    const DisplayEnvironment x11{":0", "", ""};
    EXPECT_EQ(StartMode({"zelvora"}, x11), EStartMode::Show);
    EXPECT_EQ(StartMode({"zelvora", "--help"}, x11), EStartMode::Help);
    EXPECT_EQ(StartMode({"zelvora", "-h"}, {}), EStartMode::Help) << "also without a display";
    EXPECT_EQ(StartMode({"zelvora", "--version"}, {}), EStartMode::Version);
    EXPECT_EQ(StartMode({"zelvora", "--status", "--json", "--dir", "/srv/show"}, {}),
              EStartMode::Status);
    EXPECT_EQ(StatusRequestOf({"zelvora", "--status", "--dir", "/srv/show"}).strDir, "/srv/show");

    EXPECT_EQ(StartMode({"zelvora"}, {}), EStartMode::NoDisplay);
    EXPECT_EQ(StartMode({"zelvora"}, {"", "wayland-0", ""}), EStartMode::Show);
    EXPECT_EQ(StartMode({"zelvora"}, {"", "", "offscreen"}), EStartMode::Show);
    EXPECT_EQ(StartMode({"zelvora", "-platform", "offscreen"}, {}), EStartMode::Show);
    EXPECT_EQ(StartMode({"zelvora"}, {"", "wayland-0", "xcb"}), EStartMode::NoDisplay)
        << "X11 asked for, but only Wayland there";
    EXPECT_EQ(StartMode({"zelvora", "-platform", "xcb:nograb"}, {":1", "", "offscreen"}),
              EStartMode::Show);
    EXPECT_EQ(StartMode({"zelvora", "--screenshot", "a.png"}, {}), EStartMode::Screenshot)
        << "asks the running show: no display needed";
    EXPECT_EQ(ScreenshotArgumentsOf({"zelvora", "--screenshot", "a.png"}).strDir, ".");
    EXPECT_EQ(
        ScreenshotArgumentsOf({"zelvora", "--dir", "/srv/show", "--screenshot", "a.png"}).strDir,
        "/srv/show");

    const std::string noDisplay = NoDisplayText();
    EXPECT_EQ(noDisplay.find('\n'), noDisplay.size() - 1) << "one line";
    EXPECT_EQ(VersionText(), "zelvora 1.30\n");
}

TEST(StartMode, AnArgumentNeitherOursNorQtsIsRefusedInOneLine) {
    const DisplayEnvironment x11{":0", "", ""};
    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"zelvora", "--verison"}, "zelvora: Unknown option 'verison'.\n"},
        {{"zelvora", "-x", "--help"}, "zelvora: Unknown option 'x'.\n"},
        {{"zelvora", "Zelvora.doc"}, "zelvora: unexpected argument Zelvora.doc\n"},
        {{"zelvora", "-platform"}, "zelvora: Missing value after '-platform'.\n"},
        {{"zelvora", "--dir", "/srv/show"}, "zelvora: --dir goes with --status or --screenshot\n"},
        {{"zelvora", "--screenshot="}, "zelvora: --screenshot needs a file name\n"},
        {{"zelvora", "--json"}, "zelvora: --json goes with --status only\n"},
        {{"zelvora", "--status", "--screenshot", "a.png"},
         "zelvora: --status and --screenshot go one at a time\n"},
    };
    for (const auto& [args, szText] : refused) {
        EXPECT_EQ(StartMode(args, x11), EStartMode::BadArgument) << args[1];
        EXPECT_EQ(BadArgumentText(args), szText);
    }
    EXPECT_EQ(StartMode({"zelvora", "--platform", "offscreen", "-reverse", "-style=fusion",
                         "-session", "1234", "-nograb"},
                        x11),
              EStartMode::Show)
        << "Qt's own options";
}

TEST(ShowLock, ASecondShowOnTheFolderIsRefusedAndACrashedOnesLockTakenOver) {
    CTempWorkDir dir;
    {
        const CShowLock first;
        ASSERT_TRUE(first.IsHeld());
        const CShowLock second;
        EXPECT_FALSE(second.IsHeld());
        EXPECT_EQ(second.HolderPid(), QCoreApplication::applicationPid());
        EXPECT_TRUE(second.RefusalText().startsWith(
            QStringLiteral("zelvora: a show already runs on the working folder ")))
            << qPrintable(second.RefusalText());
    }
    EXPECT_TRUE(CShowLock().IsHeld()) << "released at the end of the show";

    // A lock of a process that has ended, as a crash leaves it.
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    {
        QFile file(QStringLiteral("zelvora.lock"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(child) + "\nzelvora\n" +
                   QSysInfo::machineHostName().toUtf8() + '\n');
    }
    EXPECT_TRUE(CShowLock().IsHeld());
}

TEST(RestartGuard, AllowsThreeWithinFiveMinutesAndReadsOnlyWhatItWrote) {
    CRestartGuard guard;
    const std::time_t t = 1'800'000'000;
    EXPECT_TRUE(guard.Allow(t));
    EXPECT_TRUE(guard.Allow(t + 100));
    EXPECT_TRUE(guard.Allow(t + 200));
    EXPECT_FALSE(guard.Allow(t + 299));
    EXPECT_EQ(guard.History(), QByteArray("1800000000,1800000100,1800000200"))
        << "a refusal records nothing";
    EXPECT_TRUE(guard.Allow(t + 300)) << "the first has left the window";
    EXPECT_FALSE(CRestartGuard(guard.History()).Allow(t + 301)) << "carried across the exec";

    EXPECT_EQ(guard.RestartsWithinDay(t + 301), 4) << "the day's are kept for the status";
    EXPECT_EQ(CRestartGuard(guard.History()).RestartsWithinDay(t + 24 * 3600 + 150), 2);

    EXPECT_TRUE(CRestartGuard("junk,,-5,12x").Allow(t));
    const QByteArray now = QByteArray::number(qlonglong(t));
    EXPECT_FALSE(CRestartGuard("1,2,3,4,5," + now + ',' + now + ',' + now).Allow(t))
        << "a long list keeps its latest entries";
}
