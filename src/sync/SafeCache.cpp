#include "sync/SafeCache.h"

#include <QSaveFile>

bool IsSafeCacheName(QByteArrayView name) {
    if (name.isEmpty() || name == "." || name.contains(".."))
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == ':')
            return false;
    }
    return true;
}

bool ReplaceCacheFile(const QString& path, QByteArrayView bytes,
                      QFileDevice::Permissions permissions) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        (permissions != QFileDevice::Permissions() && !file.setPermissions(permissions)))
        return false;
    // commit() does not see a write that fails while it empties the buffer (a full disk): it
    // would put a cut or empty file in the old one's place. Flushed here, the failure shows.
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
