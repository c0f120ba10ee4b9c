// SPDX-License-Identifier: MIT
#include "platform/folderlock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

struct FolderLock::Held
{
    int fd = -1;
};

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(QDir(path).absolutePath());
}

} // namespace

void FolderLock::LetGo::operator()(Held *held) const
{
    ::close(held->fd); // the lock goes with the last descriptor
    delete held;
}

FolderLock::Outcome FolderLock::lock(const QString &folder, const QString &fallbackFile)
{
    unlock();
    m_error.clear();
    // Never handed to a program this one starts (the help viewer): it would
    // hold the lock after this copy ended.
    const int fd = ::open(QFile::encodeName(folder).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        m_error = QStringLiteral("the folder %1 cannot be opened (%2)")
                      .arg(shown(folder), qt_error_string(errno));
        return Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_held.reset(new Held{fd});
        return Locked;
    }
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK)
        return Busy;
    if (error == ENOLCK || error == EOPNOTSUPP || error == EBADF || error == EINVAL)
        return lockFile(QDir(folder).filePath(fallbackFile));
    m_error = QStringLiteral("the folder %1 cannot be locked (%2)")
                  .arg(shown(folder), qt_error_string(error));
    return Failed;
}

FolderLock::Outcome FolderLock::lockFile(const QString &path)
{
    unlock();
    m_error.clear();
    // No link is followed and nothing blocks: a named pipe put there must
    // not hold the start for ever.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_error = QStringLiteral("the lock file %1 cannot be opened (%2)")
                      .arg(shown(path), qt_error_string(errno));
        return Failed;
    }
    const auto fail = [this, fd](const QString &error) {
        ::close(fd);
        m_error = error;
        return Failed;
    };
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0)
        return fail(QStringLiteral("the lock file %1 cannot be read (%2)")
                        .arg(shown(path), qt_error_string(errno)));
    if (!S_ISREG(info.st_mode))
        return fail(QStringLiteral("%1 is not a regular file").arg(shown(path)));
    if (info.st_uid != ::geteuid())
        return fail(QStringLiteral("the lock file %1 belongs to another user").arg(shown(path)));
    struct flock whole
    {
    };
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_SETLK, &whole) != 0) {
        const int error = errno;
        if (error == EAGAIN || error == EACCES) {
            ::close(fd);
            return Busy;
        }
        return fail(QStringLiteral("the lock file %1 cannot be locked (%2)")
                        .arg(shown(path), qt_error_string(error)));
    }
    m_held.reset(new Held{fd});
    return Locked;
}
