// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmtable.h"

#include <QDateTime>

// When the clock must next run its tick while no alert window shows the
// time: the tick itself stays the same, only its moment is chosen.
namespace NextCheck {

// The pace of the clock while an alert window is visible, or when in
// doubt.
inline constexpr int PollMs = 500;
// The longest the clock ever sleeps.
inline constexpr int LongestWaitMs = 60 * 1000;

// The first instant after `now` at which a tick could find what a tick at
// `now` does not: the first whole second at which the due test (exactly as
// the tick runs it, on the local date and the "hh:mm:ss" text of that
// second) passes for an armed entry, or at which the local date changes.
// Looked for up to `horizonSeconds` ahead; an invalid QDateTime when
// nothing happens within that. `now` itself when an armed entry is due
// already (the tick did not raise it: it is held back, or being raised).
QDateTime firstChange(const AlarmTable &table, const QDateTime &now, int horizonSeconds);

// How long the clock may sleep after a tick at `now`: until firstChange,
// at most LongestWaitMs, and PollMs while an entry is due already.
int waitMs(const AlarmTable &table, const QDateTime &now);

} // namespace NextCheck
