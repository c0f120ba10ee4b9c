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
bool decode(QByteArrayView bytes, FileContents &contents);

// Whether a text (of characters the file can hold) reads back exactly as it
// was written. Only a text with a double quote may not: when its first quote
// is followed, after any spaces, by a comma, its line reads like a hand-made
// line of two fields ("a","b"), cut at that quote with the rest of the line
// as the next field; and a line break after its first quote cuts it too.
bool readsBack(QStringView text);

} // namespace DataFile
