// SPDX-License-Identifier: MIT
#include "store/wholefile.h"

#include "store/systemfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Writes all of `size` bytes, or says why not: a device on a full disk (or
// past the file-size limit) takes part of them and names no error.
bool writeAll(QIODevice &device, const char *data, qint64 size, QString &reason)
{
    const qint64 written = device.write(data, size);
    if (written == size)
        return true;
    reason = written < 0 ? device.errorString()
                         : QStringLiteral("only %1 of %2 bytes could be written (the disk is full "
                                          "or the file too large)")
                               .arg(written)
                               .arg(size);
    return false;
}

// Opens the device for `path`, lets `fill` write it, and makes it the file.
// `inPlace` writes the file in place where no temporary file can be made
// beside it; it is not given when that cannot be done.
QString writeThrough(const QString &path, const WholeFile::DeviceFactory &factory,
                     const std::function<bool(QIODevice &device, QString &reason)> &fill,
                     const std::function<QString()> &inPlace)
{
    std::unique_ptr<QIODevice> device = factory(path);
    auto *saveFile = qobject_cast<QSaveFile *>(device.get());
    const auto orUnknown = [](const QString &reason) {
        return reason.isEmpty() ? QStringLiteral("unknown error") : reason;
    };
    if (!device->open(QIODevice::WriteOnly)) {
        // A folder we may not create files in, holding a file we may write.
        if (saveFile && inPlace && QFileInfo(path).isFile())
            return inPlace();
        return orUnknown(device->errorString());
    }
    QString reason;
    if (!fill(*device, reason))
        reason = orUnknown(reason);
    auto *file = qobject_cast<QFileDevice *>(device.get());
    if (reason.isEmpty() && file && !file->flush())
        reason = orUnknown(file->errorString());
    // commit() flushes the new file to disk before it takes the name.
    if (reason.isEmpty() && saveFile && !saveFile->commit())
        reason = orUnknown(saveFile->errorString());
    if (!reason.isEmpty()) {
        if (saveFile)
            saveFile->cancelWriting();
        return reason;
    }
    if (saveFile) {
        // The new name, in the folder of the file a link points to.
        SystemFiles::syncFolder(QFileInfo(QFileInfo(path).canonicalFilePath()).absolutePath());
    } else {
        device->close();
    }
    return {};
}

} // namespace

std::unique_ptr<QIODevice> WholeFile::openSaveFile(const QString &path)
{
    // QSaveFile's own fallback for a folder it cannot create its temporary
    // file in empties the file before writing it; the in-place write here
    // never does.
    return std::make_unique<QSaveFile>(path);
}

QString WholeFile::replace(const QString &path, const QByteArray &bytes,
                           const DeviceFactory &factory)
{
    return writeThrough(
        path, factory,
        [&bytes](QIODevice &device, QString &reason) {
            return writeAll(device, bytes.constData(), bytes.size(), reason);
        },
        [&path, &bytes] { return SystemFiles::writeInPlace(path, bytes); });
}

QString WholeFile::copy(const QString &from, const QString &path, const DeviceFactory &factory)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    return writeThrough(path, factory,
                        [&source](QIODevice &device, QString &reason) {
                            QByteArray piece(64 * 1024, Qt::Uninitialized);
                            for (;;) {
                                const qint64 n = source.read(piece.data(), piece.size());
                                if (n == 0)
                                    return true;
                                if (n < 0) {
                                    reason = source.errorString();
                                    return false;
                                }
                                if (device.write(piece.constData(), n) != n) {
                                    reason = device.errorString();
                                    return false;
                                }
                            }
                        },
                        {});
}
