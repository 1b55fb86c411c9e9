#include "app/ScreenshotClient.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QSaveFile>
#include <QtEndian>

namespace {

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

// Reads exactly nBytes, unless the connection ends or the deadline passes first.
QByteArray ReadExactly(QLocalSocket& socket, qint64 nBytes, const QDeadlineTimer& deadline) {
    QByteArray bytes;
    while (bytes.size() < nBytes) {
        if (socket.bytesAvailable() == 0 &&
            (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime()))))
            break;
        bytes += socket.read(nBytes - bytes.size());
    }
    return bytes;
}

} // namespace

QString FetchScreenshot(const QString& folder, const QString& file, int nWaitMs) {
    const QString dir = QDir::toNativeSeparators(QDir(folder).absolutePath());
    const QDeadlineTimer deadline(nWaitMs);
    QLocalSocket socket;
    socket.connectToServer(
        QDir(folder).absoluteFilePath(QString::fromLatin1(app::kScreenshotSocket)));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return QStringLiteral("zelvora: no show runs on the working folder %1").arg(dir);
    const QString late =
        QStringLiteral("zelvora: the show on the working folder %1 gave no screenshot within %2 s")
            .arg(dir)
            .arg(nWaitMs / 1000);
    socket.write(app::kScreenshotRequest);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return late;
    const QByteArray header = ReadExactly(socket, 4, deadline);
    if (header.size() < 4)
        return late;
    const quint32 nLength = qFromBigEndian<quint32>(header.constData());
    const QString none =
        QStringLiteral("zelvora: the show on the working folder %1 has no frame to give").arg(dir);
    if (nLength == 0 || nLength > quint32(app::kMaxScreenshotBytes))
        return none;
    const QByteArray png = ReadExactly(socket, nLength, deadline);
    if (png.size() < qsizetype(nLength))
        return late;
    if (!png.startsWith(kPngSignature))
        return none;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(png) != png.size() || !out.commit())
        return QStringLiteral("zelvora: cannot write %1: %2")
            .arg(QDir::toNativeSeparators(file), out.errorString());
    return {};
}
