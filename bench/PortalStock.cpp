#include "PortalStock.h"

#include "PortalData.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <vector>

namespace benchstock {

namespace {
// Photo contents repeat: the sync moves bytes, it does not look at them.
constexpr int kDistinctPhotos = 10;
} // namespace

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

} // namespace benchstock
