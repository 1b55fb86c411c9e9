#include "sync/Md5Digest.h"

#include <QCryptographicHash>

QByteArray Md5Digest(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
}
