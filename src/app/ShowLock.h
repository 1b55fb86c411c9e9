#pragma once
// One show per working folder: two shows on one cache would delete each other's files. The
// lock lives in the working folder for as long as the show runs; one left behind by a crash
// names a process that no longer runs and is taken over.

#include <QLockFile>

// The process of this machine that holds the lock of the show on folder, without taking it;
// 0 when none does.
qint64 ShowLockHolder(const QString& folder);

class CShowLock {
public:
    CShowLock();

    bool IsHeld() const { return m_bHeld; }
    // The process that holds it when IsHeld() is false; 0 when unknown.
    qint64 HolderPid() const;
    // The one-line refusal for the operator.
    QString RefusalText() const;

private:
    QLockFile m_lock;
    bool m_bHeld = false;
};
