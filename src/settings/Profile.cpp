#include "settings/Profile.h"

#include <QSettings>

namespace {
QString Key(const char* section, const char* name) {
    return QString::fromLatin1(section) + QLatin1Char('/') + QString::fromLatin1(name);
}
QSettings Store() { return QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")); }
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
    Store().setValue(Key(section, name), nValue);
}

void WriteProfileString(const char* section, const char* name, const QString& strValue) {
    Store().setValue(Key(section, name), strValue);
}
