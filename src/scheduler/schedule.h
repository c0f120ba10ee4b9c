// SPDX-License-Identifier: MIT
#pragma once

#include "scheduler/duetest.h"
#include "scheduler/repetition.h"
#include "store/programstate.h"

#include <QDateTime>

#include <functional>

class Clock;

// What a clock tick and an acknowledgement do to the shared state, apart
// from any window: the alert windows run these, and so can a test.
namespace Schedule {

// Reads the clock once and sets nowDate and nowTime from that one reading,
// so the date and the time of day always belong together, even at midnight.
QDateTime readClock(ProgramState &state, const Clock &clock);

// Raises every due slot in slot order through `fire`, which gets the slot
// found due (the loop keeps its own index, so a tick that runs inside a
// message box raised from here cannot make this one raise the wrong slot).
// An entry without a date counts as dated 01/01/07; its date stays empty in
// the table. `fire` returns false when the tick must stop (its window is
// gone). The due test of each slot's date is kept from tick to tick.
void raiseDueSlots(ProgramState &state, const QDateTime &now, DueTest::SlotTester &tester,
                   const std::function<bool(int slot)> &fire);

// Moves every fired, repeating entry that is due on, from the day of `now`:
// dates in the table, `moved` tells the caller (who keeps the working copy)
// each new date. The repeat boxes come from `boxes`.
void moveRepeatingEntries(ProgramState &state, const QDateTime &now,
                          const std::function<RepeatBoxes(int slot)> &boxes,
                          const std::function<void(int slot, const QString &date)> &moved);

} // namespace Schedule
