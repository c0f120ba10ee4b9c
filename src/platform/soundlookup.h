// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

// Where a sound named without a directory is found: in the current
// directory, then in the program's data folder, then among the default
// sounds built into the program. Nothing is found for other names.
namespace SoundLookup {
QUrl find(const QString &fileName);
} // namespace SoundLookup
