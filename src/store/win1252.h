// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The data file's character set, coded by hand so it works the same on every
// platform. A character it cannot hold is written as '?'.
namespace Win1252 {
QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);
} // namespace Win1252
