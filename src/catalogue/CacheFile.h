#pragma once
// Reading cache files whole, and the order in which the loaders take them.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace cache {

// The whole file; nothing when it cannot be opened or read, or is larger than nMaxSize.
std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 nMaxSize);

// Bilder/ followed by a photo name from a cache file; empty, so that nothing opens, when the
// name would lead out of Bilder/.
QString PhotoPath(QByteArrayView name);

// Names compared with runs of digits taken as numbers, so satz_12_2 comes before satz_12_10.
// Locale-free, so every machine shows the slides in the same order.
bool NaturalLess(QStringView a, QStringView b);

} // namespace cache
