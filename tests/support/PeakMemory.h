#pragma once
// How far this process's resident memory rose at its peak over a stretch of a test: Linux's
// high-water mark, reset when the stretch begins.

#include <QByteArray>
#include <QFile>
#include <QtGlobal>
#include <stdexcept>

class CPeakMemory {
public:
    CPeakMemory() {
        QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
        if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
            throw std::runtime_error("cannot reset the peak resident size");
        clearRefs.close();
        m_nStartKb = StatusKb("VmHWM:");
    }

    qint64 GrowthMb() const { return (StatusKb("VmHWM:") - m_nStartKb) / 1024; }

private:
    static qint64 StatusKb(const char* name) {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read the process status");
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith(name))
                return line.mid(qstrlen(name)).trimmed().split(' ').front().toLongLong();
        throw std::runtime_error("no such process status line");
    }

    qint64 m_nStartKb = 0;
};
