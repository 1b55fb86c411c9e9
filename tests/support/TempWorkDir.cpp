#include "support/TempWorkDir.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <stdexcept>

CTempWorkDir::CTempWorkDir() : m_previous(QDir::currentPath()) {
    if (!m_dir.isValid() || !QDir(m_dir.path()).mkpath(QStringLiteral("Daten")) ||
        !QDir(m_dir.path()).mkpath(QStringLiteral("Bilder")) || !QDir::setCurrent(m_dir.path()))
        throw std::runtime_error("cannot prepare the temporary working folder");
    QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")).clear();
}

CTempWorkDir::~CTempWorkDir() {
    QDir::setCurrent(m_previous);
    QSettings(QStringLiteral("TarrelZelvora"), QStringLiteral("Zelvora")).clear();
}

void CTempWorkDir::WriteFile(const QString& relativePath, const QByteArray& bytes) {
    QFile file(relativePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray CTempWorkDir::ReadFile(const QString& relativePath) {
    QFile file(relativePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
