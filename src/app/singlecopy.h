#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One running copy per folder: a lock beside the data file. The lock of a
// copy that died is taken over; a folder where no lock can be made does
// not count as "already running", and that copy runs without one.
class SingleCopy
{
public:
    static inline const QString LockName = QStringLiteral("Tikor.dat.lock");
    static inline const QString AlreadyRunningText =
        QStringLiteral("Tikora is already running in this folder.");

    enum Outcome { Locked, AlreadyRunning, NoLock };

    // Tries to take the lock in the current directory.
    Outcome acquire();
    void release();

private:
    std::unique_ptr<QLockFile> m_lock;
};
