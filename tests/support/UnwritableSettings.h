#pragma once
// While it lives, the settings store lies below a plain file, where no folder can be made: every
// write is skipped, even for root. The test environment's place is restored afterwards.

#include <QSettings>
#include <QTemporaryFile>
#include <stdexcept>

class CUnwritableSettings {
public:
    CUnwritableSettings() {
        if (!m_blocker.open())
            throw std::runtime_error("cannot create the file that blocks the settings folder");
        SetHome(m_blocker.fileName() + QStringLiteral("/config"));
    }
    ~CUnwritableSettings() { SetHome(qEnvironmentVariable("XDG_CONFIG_HOME")); }

private:
    static void SetHome(const QString& path) {
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, path);
    }

    QTemporaryFile m_blocker;
};
