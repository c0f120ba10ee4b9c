// SPDX-License-Identifier: MIT
#pragma once

#include "app/commandline.h"
#include "platform/handover.h"
#include "store/entrytexts.h"

#include <QDate>

#include <functional>

class AlarmEngine;
class QTextStream;

// `tikora --add` and `tikora --list`: through the copy that runs in the data
// folder when there is one (its working copy is what it saves, so a file
// written beside it would be overwritten), else on the file itself, with the
// folder locked meanwhile. Neither needs a display.
namespace EntryCommands {

// The typed entry of the command line.
EntryTexts::Typed typed(const QStringList &entry, const QString &repeat);

// `--add` on an engine, the running copy's or one of the command's own: the
// entry checked by the editor's rules against `today` and added to the first
// empty row, saved at once. Exit 0 and the new row's line; 2 for a bad date,
// time or message; 1 when no row is empty or the save failed. Nothing is
// saved unless it is 0. A failed save is also given to `tellSaveFailure`,
// when there is one, in the words the editor's OK shows.
HandOver::Reply add(AlarmEngine &engine, const EntryTexts::Typed &typed, const QDate &today,
                    const std::function<void(const QString &text)> &tellSaveFailure = {});

// `--list` on an engine: the rows that hold something, a line each.
HandOver::Reply list(const AlarmEngine &engine);

// Runs the command of `outcome` (Add or List) in the current folder and
// prints what it says; returns the exit code. `mustEndAtOnce` is set when a
// session bus that never answered still holds a thread: the process must
// then end without its exit handlers.
int run(const CommandLine::Outcome &outcome, QTextStream &out, QTextStream &err,
        bool &mustEndAtOnce);

} // namespace EntryCommands
