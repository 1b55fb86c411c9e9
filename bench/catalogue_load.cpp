// Loads a generated cache the size of the catalogue's capacity, and a typical one, and prints
// the time and memory LadeBilderUndDaten takes, and what drawing a picture costs cold and
// cached.

#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kPhotoWidth = 1024;
constexpr int kPhotoHeight = 768;
constexpr int kDistinctPhotos = 8;
constexpr int kTypicalRecords = 100;
constexpr int kPictureSamples = 50;

// Gradients, waves and grain: compresses like a photo, not like a flat test card.
QByteArray PhotoLikeJpeg(int nSeed) {
    QRandomGenerator random(static_cast<quint32>(nSeed + 1));
    QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
    for (int y = 0; y < kPhotoHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kPhotoWidth; ++x) {
            const double wave = 40 * std::sin((x + nSeed * 37) / 23.0) * std::cos(y / 31.0);
            const int grain = static_cast<int>(random.bounded(24)) - 12;
            line[x] =
                qRgb(std::clamp(x * 255 / kPhotoWidth + static_cast<int>(wave) + grain, 0, 255),
                     std::clamp(y * 255 / kPhotoHeight + grain, 0, 255),
                     std::clamp(128 + static_cast<int>(wave) - grain + nSeed * 10, 0, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

QByteArray RecordFile(int nSatz) {
    QByteArrayList lines = {"HONDA CBR 600 F " + QByteArray::number(nSatz),
                            "",
                            QByteArray::number(5000 + nSatz * 10),
                            "2024-01-01 12:00:00",
                            "05.2019",
                            QByteArray::number(1000 + nSatz * 7),
                            ""};
    for (int k = 0; k < kBilderProSatz; ++k)
        lines << "p" + QByteArray::number(nSatz) + "_" + QByteArray::number(k) + ".jpg";
    lines += QByteArrayList{"",           "Service neu",  "98",          "1",          "189.50",
                            "8",          "HONDA",        "<parameter>", "<zubehoer>", "Koffer",
                            "Heizgriffe", "Tankrucksack", "<ende>"};
    return lines.join('\n') + '\n';
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool GenerateCache(const QString& root, int nRecords, const std::vector<QByteArray>& photos) {
    if (!QDir(root).mkpath("Daten") || !QDir(root).mkpath("Bilder"))
        return false;
    for (int n = 0; n < nRecords; ++n) {
        if (!WriteFile(QStringLiteral("%1/Daten/satz_1_%2.txt").arg(root).arg(n + 1),
                       RecordFile(n)))
            return false;
        for (int k = 0; k < kBilderProSatz; ++k)
            if (!WriteFile(QStringLiteral("%1/Bilder/p%2_%3.jpg").arg(root).arg(n).arg(k),
                           photos[(n * kBilderProSatz + k) % photos.size()]))
                return false;
    }
    return true;
}

long PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void TimeLoad(const char* title, const QString& root, bool bTimePictures) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(root);
    auto store = std::make_unique<CSatzStore>();
    QElapsedTimer timer;
    timer.start();
    store->LadeBilderUndDaten();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%s\n  LadeBilderUndDaten: %.3f s, peak RSS %ld MB, %d slides, %d picture slots\n",
                title, seconds, PeakRssMb(), store->m_nSatzCount, store->m_nPictureCount);

    if (bTimePictures) {
        const int nSamples = std::min(kPictureSamples, store->m_nPictureCount);
        timer.restart();
        for (int nSlot = 0; nSlot < nSamples; ++nSlot)
            store->Picture(nSlot);
        const double cold = timer.nsecsElapsed() / 1e6 / nSamples;
        // The cache keeps only the most recent ones; time those again.
        const int nFirstCached = nSamples - 10;
        timer.restart();
        for (int nSlot = nFirstCached; nSlot < nSamples; ++nSlot)
            store->Picture(nSlot);
        const double cached = timer.nsecsElapsed() / 1e6 / (nSamples - nFirstCached);
        std::printf("  Picture(slot): cold %.2f ms, cached %.4f ms (%dx%d JPEG), peak RSS %ld MB\n",
                    cold, cached, kPhotoWidth, kPhotoHeight, PeakRssMb());
    }
    store.reset();
    QDir::setCurrent(previous);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    if (!root.isValid())
        return 1;

    std::vector<QByteArray> photos;
    qint64 nPhotoBytes = 0;
    for (int i = 0; i < kDistinctPhotos; ++i) {
        photos.push_back(PhotoLikeJpeg(i));
        nPhotoBytes += photos.back().size();
    }
    const QString typical = root.filePath("typical");
    const QString full = root.filePath("full");
    if (!GenerateCache(typical, kTypicalRecords, photos) || !GenerateCache(full, kMaxSatz, photos))
        return 1;
    std::printf("Generated caches in %s, photos of about %lld KB\n", qPrintable(root.path()),
                nPhotoBytes / kDistinctPhotos / 1024);

    TimeLoad("Typical cache (100 records, 500 photos)", typical, false);
    TimeLoad("Full capacity (1000 records, 5000 photos)", full, true);
    return 0;
}
