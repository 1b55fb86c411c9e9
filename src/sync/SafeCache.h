#pragma once
// How the sync touches the cache folders: only names that stay inside Daten/ or Bilder/, and
// only whole files.

#include <QByteArrayView>
#include <QFileDevice>
#include <QString>

// Whether a name the portal sent may name a file directly inside a cache folder: not empty,
// no "/" or "\", no "..", no ":" (drive letters, alternate streams), no control byte, and not
// ".". Everything the sync requests, writes or deletes by a portal name passes this first.
bool IsSafeCacheName(QByteArrayView name);

// Replaces the file at path with bytes as one step: the bytes go to a temporary file in the
// same folder, reach the disk, and only then take the old file's name. A crash or a power
// cut leaves the old file or the new one, never a part. False, leaving the old file, when
// the file cannot be written. With permissions, the new file has them from its first byte.
bool ReplaceCacheFile(const QString& path, QByteArrayView bytes,
                      QFileDevice::Permissions permissions = {});
