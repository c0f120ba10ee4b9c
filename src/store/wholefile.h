// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

// Writing a whole file so that no reader ever finds half of it: a temporary
// file beside it, flushed to disk and renamed over the old one; where no
// temporary file can be made there (a folder the user may not create files
// in, holding a file they may write), the file is written in place, never
// made shorter before all the new bytes are in.
namespace WholeFile {

// Opens the device a write goes through. The real one is a QSaveFile on the
// given path; tests give a device that fails.
using DeviceFactory = std::function<std::unique_ptr<QIODevice>(const QString &path)>;
std::unique_ptr<QIODevice> openSaveFile(const QString &path);

// Replaces the file at `path` with `bytes`. Empty, or why it failed: the old
// file, if any, is then whole as it was.
QString replace(const QString &path, const QByteArray &bytes, const DeviceFactory &factory);

// Copies the file at `from` to `path` in the same way, a piece at a time (a
// file too large to hold in memory). Empty, or why it failed.
QString copy(const QString &from, const QString &path, const DeviceFactory &factory);

} // namespace WholeFile
