#include "FuzzWorkDir.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz work folder: %s\n", what);
    std::abort();
}

// TMPDIR when set; otherwise memory where there is some: every input rewrites files, and on a
// disk their flushes would take most of the run.
QString TempBase() {
    const QFileInfo memory(QStringLiteral("/dev/shm"));
    if (qEnvironmentVariableIsEmpty("TMPDIR") && memory.isDir() && memory.isWritable())
        return memory.filePath();
    return QDir::tempPath();
}
} // namespace

void EnterFuzzWorkDir() {
    static QTemporaryDir dir(TempBase() + QStringLiteral("/zelvora-fuzz-XXXXXX"));
    if (!dir.isValid())
        Fail("no temporary folder");
    const QDir root(dir.path());
    for (const char* folder : {"Daten", "Bilder", "config"})
        if (!root.mkpath(QString::fromLatin1(folder)))
            Fail("cannot create its folders");
    const QString config = root.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, config);
    if (!QDir::setCurrent(dir.path()))
        Fail("cannot enter it");
}

void WriteFuzzPhotos() {
    QImage photo(800, 600, QImage::Format_RGB32);
    photo.fill(QColor(30, 60, 90));
    QImage small(40, 30, QImage::Format_RGB32);
    small.fill(Qt::white);
    if (!photo.save(QStringLiteral("Bilder/p.jpg"), "JPEG") ||
        !small.save(QStringLiteral("Bilder/q.png"), "PNG"))
        Fail("cannot write its photos");
}

void WriteFuzzFile(const char* path, const std::uint8_t* data, std::size_t size) {
    QFile file(QString::fromLatin1(path));
    const auto length = static_cast<qint64>(size);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), length) != length)
        Fail("cannot write the input");
}
