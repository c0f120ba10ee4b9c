// SPDX-License-Identifier: MIT
#include "scheduler/schedule.h"

#include "scheduler/clock.h"
#include "scheduler/duetest.h"
#include "store/datetext.h"

namespace Schedule {

QDateTime readClock(ProgramState &state, const Clock &clock)
{
    const QDateTime now = clock.localNow();
    state.nowTime = DateText::formatTime(now.time());
    state.nowDate = DateText::formatDate(now.date());
    return now;
}

void raiseDueSlots(ProgramState &state, const QDateTime &now, DueTest::SlotTester &tester,
                   const std::function<bool(int slot)> &fire)
{
    const QString nowTime = DateText::formatTime(now.time());
    for (int slot = 0; slot < SlotCount; ++slot) {
        const AlarmTable &table = state.table();
        // An empty date counts as the default date for the test only; it is
        // not written into the table, where a load that does not reach this
        // slot (a broken or missing file) would leave it for the editor to
        // pick up and a save to write.
        if (tester.isDue(slot, table[slot].date, table[slot].time, table[slot].fired, now.date(),
                         nowTime) &&
            !fire(slot))
            return;
    }
}

void moveRepeatingEntries(ProgramState &state, const QDateTime &now,
                          const std::function<RepeatBoxes(int slot)> &boxes,
                          const std::function<void(int slot, const QString &date)> &moved)
{
    const QString nowTime = DateText::formatTime(now.time());
    AlarmTable &table = state.table();
    for (int slot = 0; slot < SlotCount; ++slot) {
        const std::optional<QString> date =
            Repetition::moveOnAcknowledge(table[slot].fired, boxes(slot), table[slot].date,
                                          table[slot].time, now.date(), nowTime);
        if (date) {
            table[slot].date = *date;
            table[slot].fired = 0;
            moved(slot, *date);
        }
    }
}

} // namespace Schedule
