// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmtable.h"

#include <QByteArray>
#include <QStringView>

// The text format of Tikor.dat: 227 lines, every one ended by CR LF, in
// Windows-1252. Lines 1 and 2 are the banners, line 3 the four sound flags,
// then seven lines for each of the 32 slots: date, message, time (quoted
// texts), daily, weekly, monthly and fired (integers).
namespace DataFile {

inline constexpr int LineCount = 227;

// The bytes of the file for the given contents.
QByteArray encode(const FileContents &contents);

// Reads the file's fields into `contents` in file order. Every field read
// before a failure (a missing field, or a value a number cannot take) keeps
// its new value and everything after it keeps its old one; the result tells
// whether all fields were read. Anything after the last field is ignored.
// Every text the writer wrote reads back exactly (any one line of
// characters the file can hold, quotes and commas included); a file made by
// hand in another shape reads field by field.
bool decode(QByteArrayView bytes, FileContents &contents);

} // namespace DataFile
