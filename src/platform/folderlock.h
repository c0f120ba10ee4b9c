// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>

// An exclusive lock on a folder, held for as long as the object holds it,
// and let go by the system when the process ends however it ends. It is a
// lock on the folder itself (an advisory lock on an open descriptor of it):
// no file in the folder is the lock, so deleting, replacing or planting a
// file there cannot take it away or fake it. Where the file system has no
// such locks (some network file systems), a lock file in the folder stands
// in for it, taken only when it is a regular file of the user's own.
class FolderLock
{
public:
    enum Outcome {
        Locked,
        Busy,   // another process holds it
        Failed, // it cannot be had safely; error() says why
    };

    FolderLock();
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Locks the folder; `fallbackFile` is the lock file's name in it for a
    // file system without folder locks.
    Outcome lock(const QString &folder, const QString &fallbackFile);
    // Locks the file at `path` (made, for the user alone, if missing).
    Outcome lockFile(const QString &path);
    void unlock();

    bool locked() const;
    QString error() const { return m_error; }

private:
    // What the system holds the lock by, let go by its deleter: the common
    // part is folderlock.cpp, the system's part folderlock_posix.cpp or
    // folderlock_qt.cpp.
    struct Held;
    struct LetGo
    {
        void operator()(Held *held) const;
    };
    std::unique_ptr<Held, LetGo> m_held;
    QString m_error;
};
