// zelvora-portal: the demo portal gateway. Serves a data folder until SIGINT or SIGTERM, or
// writes the sample data set.

#include "OffscreenTool.h"
#include "PortalOptions.h"
#include "PortalServer.h"
#include "SampleData.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <pthread.h>

using namespace demoportal;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Fail(int nCode, const QString& reason) {
    std::fprintf(stderr, "zelvora-portal: %s\n", qPrintable(reason));
    return nCode;
}

} // namespace

int main(int argc, char** argv) {
    // The sample photos carry text, which needs a platform; no screen is needed.
    const auto runtime = PrepareOffscreenTool();
    // The stop signals are taken by sigwait; blocked before any thread starts, so every
    // thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("zelvora-portal"));
    QGuiApplication::setApplicationVersion(QStringLiteral(ZELVORA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The demo portal gateway: serves a data folder over HTTP. The sample "
                       "data's demo dealer is customer number %1 with password \"%2\".")
            .arg(kDemoKundenNr)
            .arg(QLatin1String(kDemoPasswort)));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    AddPortalOptions(parser);
    // Not process(): it ends a wrong command line with 1, which here means a failed run.
    if (!parser.parse(app.arguments()))
        return Fail(kExitUsage, parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QGuiApplication::applicationName()),
                    qPrintable(QGuiApplication::applicationVersion()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return Fail(kExitUsage, QStringLiteral("unexpected argument %1")
                                    .arg(parser.positionalArguments().constFirst()));

    QString error;
    const auto options = ReadPortalOptions(parser, &error);
    if (!options)
        return Fail(kExitUsage, error);

    if (!options->strGenerate.isEmpty()) {
        const auto summary = GenerateSampleData(options->strGenerate, &error);
        if (!summary)
            return Fail(kExitFailure, error);
        std::printf("wrote %d dealers, %d used vehicles, %d new vehicles and %d photos to %s\n",
                    summary->nDealers, summary->nOccasionen, summary->nNeuFahrzeuge,
                    summary->nPhotos, qPrintable(options->strGenerate));
        return 0;
    }

    // Nothing here reads the requests in memory: only the log file keeps them.
    PortalConfig config = options->config;
    config.bKeepRequests = false;
    CPortalServer server(options->strData, std::move(config));
    if (!server.Start(options->strBind, options->nPort))
        return Fail(
            kExitFailure,
            QStringLiteral("cannot listen on %1:%2").arg(options->strBind).arg(options->nPort));
    std::printf("listening on %s:%d\n", qPrintable(options->strBind), server.Port());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
