// The used-vehicle sync against the demo portal in this process on loopback: a first sync
// into an empty cache of a dealer with 200 used vehicles of five photos each, then a sync with
// nothing changed, then one after a single record changed. Prints wall time, requests and
// bytes for each; a sync with nothing changed must make exactly one request.
//
// Usage: sync [vehicles]   (default 200)

#include "PortalData.h"
#include "PortalServer.h"
#include "catalogue/SatzStore.h"
#include "sync/CredentialStore.h"
#include "sync/PortalSyncSteps.h"
#include "sync/SyncStatus.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDefaultVehicles = 200;
constexpr int kPhotosPerVehicle = 5;
constexpr int kKundenNr = 12345;
constexpr char kPasswort[] = "demo";
constexpr int kFirstSatzNr = 40001;
// Photo contents repeat: the sync moves bytes, it does not look at them.
constexpr int kDistinctPhotos = 10;

// Gradients and grain, so the JPEG has the size of a real photo.
QByteArray PhotoLikeJpeg(int nSeed, QSize size) {
    QRandomGenerator random(static_cast<quint32>(nSeed + 1));
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int wave = static_cast<int>(40 * std::sin((x + nSeed * 37) / 23.0));
            const int grain = static_cast<int>(random.bounded(24)) - 12;
            line[x] = qRgb(std::clamp(x * 255 / size.width() + wave + grain, 0, 255),
                           std::clamp(y * 255 / size.height() + grain, 0, 255),
                           std::clamp(128 + wave - grain, 0, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool WriteOccasion(const QString& root, int nSatzNr, const QString& stand) {
    namespace key = demoportal::key;
    demoportal::CDataFile record;
    record.Add(QLatin1String(key::kTitel), QStringLiteral("AUREX Strada %1").arg(nSatzNr));
    record.Add(QLatin1String(key::kPreis), QString::number(5000 + nSatzNr % 1000 * 10));
    record.Add(QLatin1String(key::kStand), stand);
    record.Add(QLatin1String(key::kKm), QStringLiteral("12500"));
    record.Add(QLatin1String(key::kMarke), QStringLiteral("AUREX"));
    for (int k = 1; k <= kPhotosPerVehicle; ++k)
        record.Add(QLatin1String(key::kBild), QStringLiteral("%1_%2").arg(nSatzNr).arg(k));
    return WriteFile(
        QStringLiteral("%1/occasionen/%2/%3.txt").arg(root).arg(kKundenNr).arg(nSatzNr),
        record.ToUtf8());
}

bool WritePortalData(const QString& root, int nVehicles) {
    demoportal::CDataFile dealer;
    dealer.Add(QLatin1String(demoportal::key::kPasswort), QString::fromLatin1(kPasswort));
    dealer.Add(QLatin1String(demoportal::key::kAdresse),
               QStringLiteral("Muster Motos AG, Hauptstrasse 1, 8000 Zuerich"));
    if (!WriteFile(QStringLiteral("%1/haendler/%2.txt").arg(root).arg(kKundenNr), dealer.ToUtf8()))
        return false;
    std::vector<QByteArray> photos;
    for (int i = 0; i < kDistinctPhotos; ++i)
        photos.push_back(
            PhotoLikeJpeg(i, i % kPhotosPerVehicle == 0 ? QSize(800, 600) : QSize(320, 240)));
    for (int n = 0; n < nVehicles; ++n) {
        const int nSatzNr = kFirstSatzNr + n;
        if (!WriteOccasion(root, nSatzNr, QStringLiteral("2024-05-01 10:00:00")))
            return false;
        for (int k = 1; k <= kPhotosPerVehicle; ++k)
            if (!WriteFile(QStringLiteral("%1/kunden_occasionen/%2/%3_%4.jpg")
                               .arg(root)
                               .arg(kKundenNr)
                               .arg(nSatzNr)
                               .arg(k),
                           photos[(n * kPhotosPerVehicle + k - 1) % kDistinctPhotos]))
                return false;
    }
    return true;
}

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
