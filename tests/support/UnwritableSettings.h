#pragma once
// Points the settings store below a plain file, where no folder can be made, so that every
// write is skipped even for root; the previous place is restored afterwards.

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <stdexcept>

class CUnwritableSettings {
public:
    CUnwritableSettings() : m_previous(StoreHome()) {
        if (!m_blocker.open())
            throw std::runtime_error("cannot create the file that blocks the settings folder");
        SetHome(m_blocker.fileName() + QStringLiteral("/config"));
    }
    ~CUnwritableSettings() { SetHome(m_previous); }
    CUnwritableSettings(const CUnwritableSettings&) = delete;
    CUnwritableSettings& operator=(const CUnwritableSettings&) = delete;

private:
    // The store's file is <home>/TarrelZelvora/Zelvora.conf.
    static QString StoreHome() {
        QDir dir =
            QFileInfo(
                QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")).fileName())
                .dir();
        dir.cdUp();
        return dir.path();
    }
    static void SetHome(const QString& path) {
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, path);
    }

    QTemporaryFile m_blocker;
    QString m_previous;
};
