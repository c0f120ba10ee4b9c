// SPDX-License-Identifier: MIT
// The store's calls to the system where there is no POSIX: what Qt can do.
#include "store/systemfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString fileName(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

// No ownership to check: only a file that is not a regular one is refused.
QString SystemFiles::folderProblem(const QString &)
{
    return {};
}

QString SystemFiles::fileProblem(const QString &path)
{
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && !info.isFile())
        return QStringLiteral("%1 is not a regular file").arg(fileName(path));
    return {};
}

QString SystemFiles::writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return file.errorString();
    const qint64 oldSize = file.size();
    const qint64 newSize = bytes.size();
    if (newSize > oldSize) {
        if (!file.seek(oldSize) ||
            file.write(bytes.constData() + oldSize, newSize - oldSize) != newSize - oldSize ||
            !file.flush()) {
            const QString error = file.errorString();
            file.resize(oldSize);
            return error;
        }
    }
    const qint64 head = std::min(oldSize, newSize);
    if (!file.seek(0) || file.write(bytes.constData(), head) != head || !file.flush())
        return file.errorString();
    if (newSize < oldSize && !file.resize(newSize))
        return file.errorString();
    return {};
}

void SystemFiles::syncFolder(const QString &)
{
}

void SystemFiles::ignoreFileSizeSignal()
{
}
