// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// What the store needs of the system that Qt has no portable word for: who
// owns a folder or a file, writing a file in place, flushing a folder, and
// a write past the file-size limit. Built into the core for the system it
// runs on (platform/posix/systemfiles_posix.cpp; elsewhere
// platform/systemfiles_qt.cpp, where the checks pass and the calls do what
// Qt can), chosen by CMake.
namespace SystemFiles {

// Why the folder is no place to keep the user's alarms (it belongs to
// another user, or other users can write in it), as a clause naming it; empty
// when it is fine or cannot be looked at (a save there fails by itself).
QString folderProblem(const QString &folder);

// Why the file must not be read or replaced as the user's data file, as a
// clause naming it; empty when it is fine or absent. Fine is a regular file
// of the user's, or a link of the user's to such a file in a folder that is
// fine (one link, not a chain).
QString fileProblem(const QString &path);

// Writes `bytes` over the existing regular file at `path` without ever making
// it shorter before they are all in: room for the new length first (nothing
// is overwritten if there is none), then the bytes, then the cut to the new
// length, then a flush to disk. Empty, or why it failed.
QString writeInPlace(const QString &path, const QByteArray &bytes);

// Flushes the folder's names to disk, so that a file just renamed into it
// keeps its new name through a power cut.
void syncFolder(const QString &folder);

// A write past the file-size limit fails with an error instead of ending the
// process. The program calls it first thing.
void ignoreFileSizeSignal();

} // namespace SystemFiles
