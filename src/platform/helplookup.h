// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where the help page the program ships is.
namespace HelpLookup {

// A local file holding the page: the installed one (share/tikora/help beside
// the program's folder), else a private copy of the one built into the
// program, made once and removed when the program ends. Empty if neither
// can be had.
QString page();

} // namespace HelpLookup
