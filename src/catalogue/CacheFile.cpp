#include "catalogue/CacheFile.h"

#include "catalogue/CacheText.h"

#include <QFile>

namespace cache {

std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 nMaxSize) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    if (size > nMaxSize)
        return std::nullopt;
    QByteArray bytes = file.read(size);
    if (bytes.size() != size)
        return std::nullopt;
    return bytes;
}

QString PhotoPath(QByteArrayView name) {
    if (name.contains('/'))
        return {};
    return CachePath(kBilder, name);
}

bool NaturalLess(QStringView a, QStringView b) {
    const auto isDigit = [](QChar c) {
        return c >= u'0' && c <= u'9';
    };
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            while (i < a.size() && a[i] == u'0')
                ++i;
            while (j < b.size() && b[j] == u'0')
                ++j;
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            // Without leading zeros the longer run is the larger number.
            if (endA - i != endB - j)
                return endA - i < endB - j;
            if (const int order = a.sliced(i, endA - i).compare(b.sliced(j, endB - j)); order)
                return order < 0;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    if ((a.size() - i) != (b.size() - j))
        return a.size() - i < b.size() - j;
    // Equal but for leading zeros: keep a total order.
    return a < b;
}

} // namespace cache
