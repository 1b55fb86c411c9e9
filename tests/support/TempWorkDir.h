#pragma once
// A fresh working folder with empty Daten/ and Bilder/ and an empty settings store for one
// test; the previous working folder is restored afterwards.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class CTempWorkDir {
public:
    CTempWorkDir();
    ~CTempWorkDir();
    CTempWorkDir(const CTempWorkDir&) = delete;
    CTempWorkDir& operator=(const CTempWorkDir&) = delete;

    QString Path() const { return m_dir.path(); }
    // Writes bytes to a file relative to the working folder (e.g. "Daten/satz_1_2.txt").
    static void WriteFile(const QString& relativePath, const QByteArray& bytes);
    static QByteArray ReadFile(const QString& relativePath);

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
