#include "app/AppConstants.h"
#include "app/CommandLine.h"
#include "app/PlatformStart.h"
#include "app/ProcessImage.h"
#include "app/ScreenshotClient.h"
#include "app/ShowLock.h"
#include "app/StatusCommand.h"
#include "app/ZelvoraApp.h"
#include "settings/Journal.h"
#include "settings/Trace.h"
#include "sync/PortalSyncSteps.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
} // namespace

int main(int argc, char** argv) {
    // Taken before Qt removes its own arguments: a restart passes them all on.
    const std::vector<std::string> args(argv, argv + argc);
    switch (StartMode(args, ReadDisplayEnvironment())) {
    case EStartMode::Help:
        std::fputs(HelpText().c_str(), stdout);
        return EXIT_SUCCESS;
    case EStartMode::Version:
        std::fputs(VersionText().c_str(), stdout);
        return EXIT_SUCCESS;
    case EStartMode::Status: {
        // No display: the settings store is all it needs of Qt.
        QCoreApplication core(argc, argv);
        QCoreApplication::setOrganizationName(QString::fromLatin1(app::kOrganization));
        QCoreApplication::setApplicationName(QString::fromLatin1(app::kApplication));
        const StatusAnswer answer = StatusCommand(StatusRequestOf(args), std::time(nullptr));
        std::fputs(answer.strOut.c_str(), stdout);
        std::fputs(answer.strErr.c_str(), stderr);
        return answer.nExit;
    }
    case EStartMode::NoDisplay:
        std::fputs(NoDisplayText().c_str(), stderr);
        return kExitRefused;
    case EStartMode::BadArgument:
        std::fputs(BadArgumentText(args).c_str(), stderr);
        return kExitUsage;
    case EStartMode::Screenshot: {
        const ScreenshotArguments shot = ScreenshotArgumentsOf(args);
        const QString error = FetchScreenshot(QString::fromStdString(shot.strDir),
                                              QString::fromStdString(shot.strFile));
        if (error.isEmpty())
            return EXIT_SUCCESS;
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return kExitRefused;
    }
    case EStartMode::Show:
        break;
    }

    EnableTraceByEnvironment();
    int nExitCode = EXIT_SUCCESS;
    QByteArray restartHistory;
    {
        CPlatformStartGuard platformStart(RequestedPlatform(args, ReadDisplayEnvironment()));
        auto app = std::make_unique<CZelvoraApp>(
            argc, argv, [](CSatzStore& store, const SyncOptions& options) {
                return std::make_unique<CPortalSync>(store, options);
            });
        // Held until the application is gone, and with it the view and its sync job: no other
        // show may start on the folder while this one's job can still write there. Released
        // at the end of this block, before a restart takes it again.
        const CShowLock lock;
        if (!lock.IsHeld()) {
            std::fprintf(stderr, "%s\n", qPrintable(lock.RefusalText()));
            return kExitRefused;
        }
        app->InitInstance(qgetenv(app::kRestartHistoryVariable));
        platformStart.Release();
        // Once the platform has started: a show that cannot ends with its one line alone.
        Journal(QStringLiteral("start version=%1 pid=%2 folder=%3")
                    .arg(QLatin1String(ZELVORA_VERSION))
                    .arg(QCoreApplication::applicationPid())
                    .arg(QDir::currentPath()));
        nExitCode = app->exec();
        const bool bRestart = app->IsRestartPending();
        restartHistory = app->RestartHistory();
        app.reset();
        if (!bRestart)
            return nExitCode;
    }
    qputenv(app::kRestartHistoryVariable, restartHistory);
    const std::string error = ReplaceProcess(args);
    std::fprintf(stderr, "zelvora: cannot start again: %s\n", error.c_str());
    return EXIT_FAILURE;
}
