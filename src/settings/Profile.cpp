#include "settings/Profile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

namespace {
// What QSettings writes besides the new file: a lock file holding a process number and names.
constexpr qint64 kLockFileBytes = 256;
// Room for the new value however QSettings escapes it, and for its section line.
constexpr qint64 kEscapeFactor = 4;
constexpr qint64 kLineBytes = 64;

QString Key(const char* section, const char* name) {
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(name);
}
QSettings Store() {
    return QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora"));
}

bool Fill(QTemporaryFile& probe, qint64 nBytes) {
    if (!probe.open())
        return false;
    const QByteArray bytes(nBytes, '\0');
    return probe.write(bytes) == nBytes && probe.flush();
}

// QSettings writes the whole file anew through a save file whose commit misses a write that
// fails while the buffer is flushed: on a nearly full disk it would put a cut or empty file,
// credentials and all, in place of the whole one. So a value is written only when the disk
// has just taken a lock file and a file of the new size at once; otherwise it is not stored.
bool RoomToWrite(const QSettings& store, const QString& key, qint64 nValueBytes) {
    const QFileInfo file(store.fileName());
    if (!QDir().mkpath(file.path()))
        return false;
    const QString probeName = QDir(file.path()).filePath(QStringLiteral(".room-XXXXXX"));
    QTemporaryFile lock(probeName);
    QTemporaryFile next(probeName);
    const qint64 nNextBytes = file.size() + kEscapeFactor * (key.size() + nValueBytes) + kLineBytes;
    return Fill(lock, kLockFileBytes) && Fill(next, nNextBytes);
}
} // namespace

int GetProfileInt(const char* section, const char* name, int nDefault) {
    const QVariant value = Store().value(Key(section, name));
    if (!value.isValid())
        return nDefault;
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok ? n : 0;
}

QString GetProfileString(const char* section, const char* name, const QString& strDefault) {
    const QVariant value = Store().value(Key(section, name));
    return value.isValid() ? value.toString() : strDefault;
}

void WriteProfileInt(const char* section, const char* name, int nValue) {
    QSettings store = Store();
    const QString key = Key(section, name);
    if (RoomToWrite(store, key, QString::number(nValue).size()))
        store.setValue(key, nValue);
}

void WriteProfileString(const char* section, const char* name, const QString& strValue) {
    QSettings store = Store();
    const QString key = Key(section, name);
    if (RoomToWrite(store, key, strValue.toUtf8().size()))
        store.setValue(key, strValue);
}

QString ProfileFileName() {
    return Store().fileName();
}
