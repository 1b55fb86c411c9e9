#include "settings/Journal.h"

#include <cstdio>

void Journal(const QString& line) {
    const QByteArray text = "zelvora: " + line.toUtf8() + '\n';
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
    std::fflush(stderr);
}
