#include "catalogue/PictureLoader.h"

#include "catalogue/CacheFile.h"
#include "catalogue/CatalogueLimits.h"
#include "catalogue/SatzStore.h"
#include "settings/Trace.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace {

// Where a JPEG's first scan begins, found by walking its segments from the start, so that a
// thumbnail inside an application segment is passed over; -1 when it has none.
qsizetype FirstScan(const QByteArray& bytes) {
    qsizetype i = 2; // after the start marker
    while (i + 4 <= bytes.size()) {
        if (uchar(bytes[i]) != 0xFF)
            return -1;
        const uchar marker = uchar(bytes[i + 1]);
        if (marker == 0xDA)
            return i;
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // markers without a length
            i += 2;
            continue;
        }
        i += 2 + ((uchar(bytes[i + 2]) << 8) | uchar(bytes[i + 3]));
    }
    return -1;
}

// libjpeg fills a cut-off JPEG up with grey and calls it read: a whole one has the end marker
// somewhere after its first scan. Whatever follows that marker is no concern.
bool IsWholeJpeg(const QByteArray& bytes) {
    const QByteArrayView end("\xFF\xD9", 2);
    const qsizetype scan = FirstScan(bytes);
    // Most end with the marker: no need to search the scans for it.
    return scan >= 0 && (bytes.endsWith(end) || bytes.indexOf(end, scan) >= 0);
}

// The reader refuses pictures above its allocation limit (in MB); four bytes per pixel is
// the most a photo decodes to.
bool FitsAllocationLimit(const QSize& size) {
    const qint64 limit = QImageReader::allocationLimit();
    return limit <= 0 || qint64(size.width()) * size.height() * 4 <= limit * 1024 * 1024;
}

// The size a JPEG of that full size is decoded at to be drawn at drawn: an eighth step that
// covers it, or an invalid size for a full decode. Rounded down, so that the decoder's choice
// of step, which rounds up, is that same step.
QSize JpegDecodeSize(const QSize& full, const QSize& drawn) {
    for (const int nNumerator : kJpegScaleNumerators) {
        const QSize step(full.width() * nNumerator / kJpegScaleDenominator,
                         full.height() * nNumerator / kJpegScaleDenominator);
        if (step.width() >= drawn.width() && step.height() >= drawn.height())
            return step;
    }
    return {};
}

bool Refuse(const QString& path, const QString& reason) {
    TraceF("Foto abgelehnt %s: %s", qUtf8Printable(path), qUtf8Printable(reason));
    return false;
}

} // namespace

bool CPictureLoader::CreatePictureFromMemory(const QByteArray& bytes, QImage& picture, int& nWidth,
                                             int& nHeight, const QByteArray& format,
                                             const QSize& drawn) const {
    picture = QImage();
    nWidth = nHeight = 0;
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer, format);
    // Otherwise a failing named decoder falls back to guessing from the content.
    reader.setAutoDetectImageFormat(format.isEmpty());
    const bool bScaled = drawn.isValid() && !drawn.isEmpty();
    if (bScaled && reader.format() == "jpeg")
        reader.setScaledSize(JpegDecodeSize(reader.size(), drawn));
    if (!reader.read(&picture)) {
        TraceF("Foto nicht lesbar: %s", qUtf8Printable(reader.errorString()));
        picture = QImage();
        return false;
    }
    if (reader.format() == "jpeg" && !IsWholeJpeg(bytes)) {
        Trace(QStringLiteral("Foto nicht lesbar: JPEG unvollständig"));
        picture = QImage();
        return false;
    }
    if (bScaled && picture.size() != drawn)
        picture = picture.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Pixel photos carry their size in pixels already; no device resolution applies.
    nWidth = picture.width();
    nHeight = picture.height();
    return true;
}

bool CPictureLoader::IsWholePicture(const QByteArray& bytes) const {
    if (bytes.isEmpty() || bytes.size() > kMaxPictureFileSize)
        return false;
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (reader.format().isEmpty() || size.isEmpty() || !FitsAllocationLimit(size))
        return false;
    if (reader.format() == "jpeg")
        return IsWholeJpeg(bytes);
    QImage picture;
    return reader.read(&picture);
}

bool CPictureLoader::IsWholePictureFile(const QString& path) const {
    const auto bytes = cache::ReadWholeFile(path, kMaxPictureFileSize);
    return bytes && IsWholePicture(*bytes);
}

QSize CPictureLoader::TableSize(const PictureSize& size, int nPercent, const QSize& room) {
    const auto scaled = [nPercent](int n) {
        return static_cast<int>(qint64(n) * nPercent / 100);
    };
    const QSize table(scaled(size.nWidth), scaled(size.nHeight));
    if (!room.isValid() || (table.width() <= room.width() && table.height() <= room.height()))
        return table;
    // The side that overshoots more fills its room, the other keeps the proportions.
    const qint64 nWidth = table.width();
    const qint64 nHeight = table.height();
    if (nWidth * room.height() >= nHeight * room.width())
        return {room.width(), std::max(1, static_cast<int>(nHeight * room.width() / nWidth))};
    return {std::max(1, static_cast<int>(nWidth * room.height() / nHeight)), room.height()};
}

QSize CPictureLoader::DrawnSize(const PictureSize& size, int nPercent, const QSize& room,
                                const QTransform& device) {
    const QSize table = TableSize(size, nPercent, room);
    if (!device.isScaling()) {
        // Only a photo shrunk into its room is scaled ahead; the rest is drawn as it always was.
        return table == TableSize(size, nPercent, {}) ? QSize() : table;
    }
    return {std::max(1, qRound(table.width() * std::abs(device.m11()))),
            std::max(1, qRound(table.height() * std::abs(device.m22())))};
}

bool CPictureLoader::RenderPicture(QPainter& dc, int x, int y, CSatzStore& store, int nSlot,
                                   int nPercent, const QSize& room) const {
    if (!dc.isActive() || nSlot < 0 || nSlot >= kMaxPictures)
        return false;
    const PictureSize& size = store.m_pictureSize[nSlot];
    const QRect table(QPoint(x, y), TableSize(size, nPercent, room));
    const QTransform device = dc.deviceTransform();
    const QSize drawn = DrawnSize(size, nPercent, room, device);
    const QImage picture = store.Picture(nSlot, drawn);
    if (picture.isNull())
        return false;
    if (!drawn.isValid()) {
        dc.drawImage(table, picture);
        return true;
    }
    // Drawn in device pixels, so the picture scaled ahead is copied, not scaled again.
    const QPoint at = device.map(QPointF(table.topLeft())).toPoint();
    dc.save();
    dc.setWorldTransform(device.inverted() * dc.worldTransform());
    dc.drawImage(QRect(at, drawn), picture);
    dc.restore();
    return true;
}

QRect CPictureLoader::PictureRect(const CSatzStore& store, int x, int y, int nSlot, int nPercent,
                                  const QSize& room) const {
    if (nSlot < 0 || nSlot >= kMaxPictures)
        return {};
    return QRect(QPoint(x, y), TableSize(store.m_pictureSize[nSlot], nPercent, room));
}

bool CPictureLoader::ProbePictureFile(const QString& path, QByteArray& format, QSize& size) const {
    format.clear();
    size = QSize();
    if (path.isEmpty())
        return Refuse(path, QStringLiteral("kein Dateiname"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(path, file.errorString());
    const qint64 length = file.size();
    if (length == 0)
        return Refuse(path, QStringLiteral("leere Datei"));
    if (length > kMaxPictureFileSize)
        return Refuse(path, QStringLiteral("Datei zu gross"));

    QImageReader reader(&file);
    format = reader.format();
    if (format.isEmpty())
        return Refuse(path, reader.errorString());
    // Only the header is read: the photo is decoded when a slide first needs it, and one
    // that does not decode then takes its slide out of the show.
    size = reader.size();
    if (size.isEmpty())
        return Refuse(path, reader.errorString());
    if (!FitsAllocationLimit(size))
        return Refuse(path, QStringLiteral("Bild zu gross zum Dekodieren"));
    return true;
}
