// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

#include <memory>

class MessageBoxes;

// One running copy per data file: a lock beside it, or where none can be
// made there (a read-only folder), one in the user's runtime folder named
// after the data file's path. The lock of a copy that died is taken over; a
// copy that can make no lock at all does not count as "already running",
// and runs without one.
class SingleCopy
{
public:
    static inline const QString LockName = QStringLiteral("Tikor.dat.lock");
    static inline const QString AlreadyRunningText =
        QStringLiteral("Tikora is already running in this folder.");

    enum Outcome { Locked, AlreadyRunning, NoLock };

    // Tries to take the lock for Tikor.dat in the current directory.
    Outcome acquire();
    void release();

    // Where the lock held now is (empty when none is held).
    QString lockPath() const;

    // The lock in the runtime folder for the data file at this path.
    static QString runtimeLockPath(const QString &dataFilePath);

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_path;
};

// Start-up's first step, before anything is read or written: the folder and
// Tikor.dat must be the user's own, then this copy takes the lock, then the
// leftovers of saves cut short are removed. Whether the program may run;
// if not, it has said why in a message box.
bool claimDataFolder(SingleCopy &copy, MessageBoxes &boxes);

// What the user is told when the folder or the file is unsafe.
QString unsafePlaceText(const QString &problem);
