// SPDX-License-Identifier: MIT
// Systems without POSIX locks: the lock file alone, through QLockFile.
#include "platform/folderlock.h"

#include <QDir>
#include <QLockFile>

struct FolderLock::Held
{
    QLockFile file;
    explicit Held(const QString &path) : file(path) {}
};

void FolderLock::LetGo::operator()(Held *held) const
{
    held->file.unlock();
    delete held;
}

FolderLock::Outcome FolderLock::lock(const QString &folder, const QString &fallbackFile)
{
    return lockFile(QDir(folder).filePath(fallbackFile));
}

FolderLock::Outcome FolderLock::lockFile(const QString &path)
{
    unlock();
    m_error.clear();
    std::unique_ptr<Held, LetGo> held(new Held(path));
    held->file.setStaleLockTime(0);
    if (held->file.tryLock(100)) {
        m_held = std::move(held);
        return Locked;
    }
    if (held->file.error() == QLockFile::LockFailedError)
        return Busy;
    m_error = QStringLiteral("the lock file %1 cannot be made")
                  .arg(QDir::toNativeSeparators(QDir(path).absolutePath()));
    return Failed;
}
