// SPDX-License-Identifier: MIT
// The store's calls to the system on POSIX: ownership and modes from
// stat, the in-place write with pwrite, ftruncate and fsync.
#include "store/systemfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fileName(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString folderName(const QString &folder)
{
    return QDir::toNativeSeparators(QDir(folder).absolutePath());
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool othersMayWrite(mode_t mode)
{
    return (mode & (S_IWGRP | S_IWOTH)) != 0;
}

// Writes all of `size` bytes at `offset`, through short writes and
// interruptions; false with errno set when the file takes no more.
bool writeAll(int fd, const char *data, qint64 size, off_t offset)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size_t(size), offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
        offset += written;
    }
    return true;
}

} // namespace

QString SystemFiles::folderProblem(const QString &folder)
{
    struct stat info
    {
    };
    if (::stat(native(folder).constData(), &info) != 0)
        return {};
    if (info.st_uid != ::geteuid())
        return QStringLiteral("the folder %1 belongs to another user").arg(folderName(folder));
    if (othersMayWrite(info.st_mode))
        return QStringLiteral("other users can write to the folder %1").arg(folderName(folder));
    return {};
}

QString SystemFiles::fileProblem(const QString &path)
{
    struct stat link
    {
    };
    if (::lstat(native(path).constData(), &link) != 0)
        return {};
    const QString name = fileName(path);
    if (S_ISREG(link.st_mode)) {
        if (link.st_uid != ::geteuid())
            return QStringLiteral("%1 belongs to another user").arg(name);
        return {};
    }
    if (!S_ISLNK(link.st_mode))
        return QStringLiteral("%1 is not a regular file").arg(name);
    if (link.st_uid != ::geteuid())
        return QStringLiteral("%1 is a link that belongs to another user").arg(name);

    const QString target = QFileInfo(path).symLinkTarget();
    const QString shownTarget = QDir::toNativeSeparators(target);
    struct stat file
    {
    };
    if (target.isEmpty() || ::lstat(native(target).constData(), &file) != 0)
        return QStringLiteral("%1 is a link to %2, which does not exist").arg(name, shownTarget);
    if (!S_ISREG(file.st_mode))
        return QStringLiteral("%1 is a link to %2, which is not a regular file")
            .arg(name, shownTarget);
    if (file.st_uid != ::geteuid())
        return QStringLiteral("%1 is a link to %2, which belongs to another user")
            .arg(name, shownTarget);
    const QString folder = folderProblem(QFileInfo(target).absolutePath());
    if (!folder.isEmpty())
        return QStringLiteral("%1 is a link to %2, and %3").arg(name, shownTarget, folder);
    return {};
}

QString SystemFiles::writeInPlace(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    const auto fail = [fd](int error) {
        ::close(fd);
        return qt_error_string(error);
    };
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0)
        return fail(errno);
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return QStringLiteral("%1 is not a regular file").arg(fileName(path));
    }
    const qint64 oldSize = info.st_size;
    const qint64 newSize = bytes.size();

    // Room first: what goes beyond the old end is written there while the
    // old bytes still stand (the reader stops at the last line of a whole
    // file). If it does not fit, the file goes back to its old length.
    if (newSize > oldSize &&
        !writeAll(fd, bytes.constData() + oldSize, newSize - oldSize, off_t(oldSize))) {
        const int error = errno;
        if (::ftruncate(fd, off_t(oldSize)) != 0) {
            // Still the whole old file, with part of the new end after it.
        }
        return fail(error);
    }
    if (!writeAll(fd, bytes.constData(), std::min(oldSize, newSize), 0))
        return fail(errno);
    if (newSize < oldSize && ::ftruncate(fd, off_t(newSize)) != 0)
        return fail(errno);
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0)
        return qt_error_string(errno);
    return {};
}

void SystemFiles::syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // A folder whose names cannot be flushed still holds the new file.
    ::fsync(fd);
    ::close(fd);
}

void SystemFiles::ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}
