#include "settings/Profile.h"

#include "settings/Trace.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSettings>
#include <QTemporaryFile>

namespace {
// What QSettings writes besides the new file: a lock file holding a process number and names.
constexpr qint64 kLockFileBytes = 256;
// Room for the new value however QSettings escapes it, and for its section line.
constexpr qint64 kEscapeFactor = 4;
constexpr qint64 kLineBytes = 64;

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

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

// The file holds the login: only its owner may read it, whatever the umask. QSettings saves
// through a file that takes the permissions of the one it replaces, so the file is made
// private before the save, and once more after it in case the save created it anew.
bool MakeOwnerOnly(const QString& fileName) {
    QFile file(fileName);
    // Another process may make the file meanwhile: then its permissions are set below.
    if (!file.exists())
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerOnly);
    file.close();
    return file.setPermissions(kOwnerOnly);
}

// Writes from any thread note here whether the last one was stored.
QMutex& SkippedMutex() {
    static QMutex mutex;
    return mutex;
}
QString& SkippedName() {
    static QString name;
    return name;
}

void Write(const char* section, const char* name, const QVariant& value, qint64 nValueBytes) {
    QSettings store = Store();
    const QString key = Key(section, name);
    bool bStored = RoomToWrite(store, key, nValueBytes) && MakeOwnerOnly(store.fileName());
    if (bStored) {
        store.setValue(key, value);
        store.sync();
        bStored = store.status() == QSettings::NoError && MakeOwnerOnly(store.fileName());
    }
    const QMutexLocker lock(&SkippedMutex());
    if (bStored) {
        SkippedName().clear();
        return;
    }
    SkippedName() = QString::fromLatin1(name);
    TraceF("Einstellung %s nicht gespeichert", name);
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
    Write(section, name, nValue, QString::number(nValue).size());
}

void WriteProfileString(const char* section, const char* name, const QString& strValue) {
    Write(section, name, strValue, strValue.toUtf8().size());
}

QString SkippedProfileWrite() {
    const QMutexLocker lock(&SkippedMutex());
    return SkippedName();
}

QString ProfileFileName() {
    return Store().fileName();
}
