#pragma once
// Folders made read-only for this process for the life of an object, also when it runs as root.

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Makes folders read-only for this process, and undoes it however the test ends. Permissions
// do not stop root, so as root the folders get the immutable attribute instead.
class CReadOnlyFolders {
public:
    explicit CReadOnlyFolders(const QStringList& folders) {
        for (const QString& folder : folders) {
            const QByteArray path = QFile::encodeName(folder);
            struct stat st {};
            if (::stat(path.constData(), &st) != 0) {
                m_strWhy = QStringLiteral("no folder %1").arg(folder);
                return;
            }
            const bool bRoot = ::geteuid() == 0;
            if (bRoot ? !SetImmutable(path, true) : ::chmod(path.constData(), 0555) != 0) {
                m_strWhy = bRoot ? QStringLiteral("the immutable attribute cannot be set on %1 "
                                                  "(no CAP_LINUX_IMMUTABLE, or a file system "
                                                  "without it)")
                                       .arg(folder)
                                 : QStringLiteral("cannot change the mode of %1").arg(folder);
                return;
            }
            m_held.push_back({path, bRoot, st.st_mode & 07777});
            // Probed, not assumed: a file system may accept the attribute and ignore it.
            QFile probe(QDir(folder).filePath(QStringLiteral(".drill-probe")));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.close();
                probe.remove();
                m_strWhy = QStringLiteral("%1 can still be written").arg(folder);
                return;
            }
        }
    }
    ~CReadOnlyFolders() {
        for (auto it = m_held.rbegin(); it != m_held.rend(); ++it) {
            if (it->bImmutable)
                SetImmutable(it->path, false);
            else
                ::chmod(it->path.constData(), it->mode);
        }
    }
    CReadOnlyFolders(const CReadOnlyFolders&) = delete;
    CReadOnlyFolders& operator=(const CReadOnlyFolders&) = delete;

    // Empty when every folder is read-only.
    QString WhyNot() const { return m_strWhy; }

private:
    static bool SetImmutable(const QByteArray& path, bool bOn) {
        const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool bOk = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (bOk) {
            flags = bOn ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            bOk = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return bOk;
    }

    struct Held {
        QByteArray path;
        bool bImmutable;
        mode_t mode;
    };
    std::vector<Held> m_held;
    QString m_strWhy;
};
