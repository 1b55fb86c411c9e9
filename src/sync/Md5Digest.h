#pragma once
// The MD5 message digest of RFC 1321, over exactly the given bytes.

#include <QByteArray>
#include <QByteArrayView>

// The 16 digest bytes.
QByteArray Md5Digest(QByteArrayView bytes);
