// SPDX-License-Identifier: MIT
#pragma once

#include "platform/folderlock.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class MessageBoxes;

// One running copy per data file: the copy locks the data folder itself, and
// the folder of the file Tikor.dat links to, if it is a link, for as long as
// it runs (see FolderLock: no file is the lock, so none deleted, replaced or
// planted lets a second copy in). A lock that cannot be had safely refuses
// the start.
class SingleCopy
{
public:
    // Stands in for the folder lock where the file system has none.
    static inline const QString LockName = QStringLiteral("Tikor.dat.lock");
    static constexpr const char AlreadyRunningSource[] =
        QT_TRANSLATE_NOOP("SingleCopy", "Tikora is already running in this folder.");
    static inline const QString AlreadyRunningText = QString::fromLatin1(AlreadyRunningSource);

    enum Outcome { Locked, AlreadyRunning, Refused };

    // Tries to take the lock for Tikor.dat in the current directory.
    Outcome acquire();
    void release();

    // Why the lock was refused.
    QString problem() const { return m_problem; }
    // The folders this copy holds (canonical paths): the data folder, and
    // the folder a linked Tikor.dat lives in.
    QStringList lockedFolders() const { return m_lockedFolders; }
    // After AlreadyRunning: the folder another copy holds (canonical path).
    QString busyFolder() const { return m_busyFolder; }
    // When this copy took its lock: a leftover file older than that is no
    // running copy's.
    QDateTime lockedAt() const { return m_lockedAt; }

private:
    FolderLock m_folder;
    FolderLock m_linkedFolder;
    QString m_problem;
    QDateTime m_lockedAt;
    QStringList m_lockedFolders;
    QString m_busyFolder;
};

// Start-up's first step, before anything is read or written: the folder and
// Tikor.dat must be the user's own, then this copy takes the lock, then the
// leftovers of saves cut short are removed. When another copy holds the
// folder, `handOver` asks it to come forward (given the folder it holds);
// only when it does not answer is the user told that Tikora is already
// running. Whether the program may run, or has handed over; if refused, it
// has said why in a message box.
enum class Claim { Run, HandedOver, Refused };
Claim claimDataFolder(SingleCopy &copy, MessageBoxes &boxes,
                      const std::function<bool(const QString &folder)> &handOver = {});

// What the user is told when the folder or the file is unsafe.
QString unsafePlaceText(const QString &problem);
// What the user is told when the lock cannot be had safely.
QString refusedLockText(const QString &problem);
