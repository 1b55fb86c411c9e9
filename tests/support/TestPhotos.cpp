#include "support/TestPhotos.h"

#include "support/TempWorkDir.h"

#include <QBuffer>
#include <QImage>
#include <stdexcept>

QByteArray MakePhoto(int width, int height, const QColor& colour, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        throw std::runtime_error("cannot encode test photo");
    return bytes;
}

void WritePhoto(const QString& relativePath, int width, int height, const QColor& colour,
                const char* format) {
    CTempWorkDir::WriteFile(relativePath, MakePhoto(width, height, colour, format));
}
