// zelvora-portal: the demo portal gateway. Serves a data folder until SIGINT or SIGTERM, or
// writes the sample data set.

#include "PortalOptions.h"
#include "PortalServer.h"
#include "SampleData.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <pthread.h>

using namespace demoportal;

namespace {

int Fail(const QString& reason) {
    std::fprintf(stderr, "zelvora-portal: %s\n", qPrintable(reason));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // The sample photos carry text, which needs a platform; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    parser.addHelpOption();
    parser.addVersionOption();
    AddPortalOptions(parser);
    parser.process(app);

    QString error;
    const auto options = ReadPortalOptions(parser, &error);
    if (!options)
        return Fail(error);

    if (!options->strGenerate.isEmpty()) {
        const auto summary = GenerateSampleData(options->strGenerate, &error);
        if (!summary)
            return Fail(error);
        std::printf("wrote %d dealers, %d used vehicles, %d new vehicles and %d photos to %s\n",
                    summary->nDealers, summary->nOccasionen, summary->nNeuFahrzeuge,
                    summary->nPhotos, qPrintable(options->strGenerate));
        return 0;
    }

    CPortalServer server(options->strData, options->config);
    if (!server.Start(options->strBind, options->nPort))
        return Fail(
            QStringLiteral("cannot listen on %1:%2").arg(options->strBind).arg(options->nPort));
    std::printf("listening on %s:%d\n", qPrintable(options->strBind), server.Port());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
