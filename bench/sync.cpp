// The used-vehicle sync against the demo portal in this process on loopback: a first sync
// into an empty cache of a dealer with 200 used vehicles of five photos each, then a sync with
// nothing changed, then one after a single record changed. Prints wall time, requests and
// bytes for each; a sync with nothing changed must make exactly one request.
//
// Usage: sync [vehicles]   (default 200)

#include "PortalServer.h"
#include "PortalStock.h"
#include "catalogue/SatzStore.h"
#include "sync/CredentialStore.h"
#include "sync/PortalSyncSteps.h"
#include "sync/SyncStatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace benchstock;

constexpr int kDefaultVehicles = 200;

struct Figures {
    double dSeconds = 0;
    int nRequests = 0;
    SyncOutcome outcome;
};

Figures Run(CSatzStore& store, const demoportal::CPortalServer& portal) {
    const qsizetype nBefore = portal.Requests().size();
    QElapsedTimer timer;
    timer.start();
    CPortalSync(store).UpdatePictureList();
    Figures figures;
    figures.dSeconds = timer.nsecsElapsed() / 1e9;
    figures.nRequests = static_cast<int>(portal.Requests().size() - nBefore);
    figures.outcome = ReadSyncOutcome(SyncKind::Used);
    return figures;
}

void Print(const char* name, const Figures& figures) {
    std::printf("%-22s %8.3f s  %5d requests  %9.1f KB received  %7.2f ms per request\n", name,
                figures.dSeconds, figures.nRequests, figures.outcome.nBytes / 1024.0,
                figures.nRequests > 0 ? 1000 * figures.dSeconds / figures.nRequests : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    // Never the user's settings: the credentials and the status go to a folder of our own.
    QTemporaryDir work;
    QTemporaryDir data;
    if (!work.isValid() || !data.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QDir(work.path()).filePath(QStringLiteral("config")).toLocal8Bit());
    QCoreApplication app(argc, argv);
    const int nVehicles =
        argc > 1 ? std::clamp(QByteArray(argv[1]).toInt(), 1, 999) : kDefaultVehicles;

    std::printf("generating %d used vehicles with %d photos each ...\n", nVehicles,
                kPhotosPerVehicle);
    if (!WritePortalData(data.path(), nVehicles) || !QDir(work.path()).mkpath("Daten") ||
        !QDir(work.path()).mkpath("Bilder") || !QDir::setCurrent(work.path()))
        return 1;
    SaveCredentials(QString::number(kKundenNr), QString::fromLatin1(kPasswort));

    demoportal::CPortalServer portal(data.path());
    if (!portal.Start())
        return 1;
    CSatzStore store;
    store.m_nSprache = 1;
    store.m_nResMode = 1;
    store.SetConnectionTarget("127.0.0.1", portal.Port());

    const Figures first = Run(store, portal);
    Print("first sync (empty)", first);
    const Figures unchanged = Run(store, portal);
    Print("nothing changed", unchanged);
    WriteOccasion(data.path(), kFirstSatzNr, QStringLiteral("2024-06-01 08:30:00"));
    const Figures oneChanged = Run(store, portal);
    Print("one record changed", oneChanged);

    const int nExpected = 1 + nVehicles * (1 + kPhotosPerVehicle);
    if (first.nRequests != nExpected || first.outcome.failure != SyncFailure::None) {
        std::printf("FAILED: the first sync made %d requests, %d expected\n", first.nRequests,
                    nExpected);
        return 1;
    }
    if (unchanged.nRequests != 1 || oneChanged.nRequests != 2) {
        std::printf("FAILED: a sync with nothing changed must make exactly one request\n");
        return 1;
    }
    return 0;
}
