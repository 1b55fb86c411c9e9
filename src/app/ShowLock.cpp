#include "app/ShowLock.h"

#include "app/AppConstants.h"

#include <QDir>
#include <QSysInfo>
#include <cerrno>
#include <csignal>

qint64 ShowLockHolder(const QString& folder) {
    const QLockFile lock(QDir(folder).filePath(QString::fromLatin1(app::kLockFile)));
    qint64 nPid = 0;
    QString host;
    QString appName;
    if (!lock.getLockInfo(&nPid, &host, &appName) || nPid <= 0 ||
        (!host.isEmpty() && host != QSysInfo::machineHostName()))
        return 0;
    // A crash leaves the lock behind, naming a process that has ended.
    return kill(static_cast<pid_t>(nPid), 0) == 0 || errno == EPERM ? nPid : 0;
}

CShowLock::CShowLock() : m_lock(QString::fromLatin1(app::kLockFile)) {
    // A show runs for weeks: its lock never goes stale by age, only by its process's end.
    m_lock.setStaleLockTime(0);
    m_bHeld = m_lock.tryLock(0);
}

qint64 CShowLock::HolderPid() const {
    qint64 nPid = 0;
    QString host;
    QString appName;
    return m_lock.getLockInfo(&nPid, &host, &appName) ? nPid : 0;
}

QString CShowLock::RefusalText() const {
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    const qint64 nPid = HolderPid();
    if (m_lock.error() == QLockFile::LockFailedError)
        return QStringLiteral("zelvora: a show already runs on the working folder %1%2")
            .arg(folder, nPid > 0 ? QStringLiteral(" (process %1)").arg(nPid) : QString());
    return QStringLiteral("zelvora: cannot create the lock file %1 in the working folder %2")
        .arg(QString::fromLatin1(app::kLockFile), folder);
}
