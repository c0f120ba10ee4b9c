// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

// How an entry repeats: not at all, or by the one box that counts.
enum class Repeat { None, Daily, Weekly, Monthly };

// The three repeat boxes of an entry, as the data file, the editor's working
// copy and the acknowledgement hold them: 0 unchecked, 1 checked, 2 grey
// (shown, but not a repeat).
struct RepeatBoxes
{
    qint16 daily = 0;
    qint16 weekly = 0;
    qint16 monthly = 0;

    // A stored value as a check box can hold it: anything but 1 or 2 (a file
    // edited by hand) is unchecked.
    static qint16 boxValue(qint16 stored) { return stored == 1 || stored == 2 ? stored : 0; }

    // The boxes of a new entry that repeats by `repeat`: its box checked alone.
    static RepeatBoxes of(Repeat repeat)
    {
        return {qint16(repeat == Repeat::Daily), qint16(repeat == Repeat::Weekly),
                qint16(repeat == Repeat::Monthly)};
    }

    // The repeat an acknowledgement moves the entry by: only a box at exactly
    // 1 counts, and weekly wins over daily over monthly.
    Repeat repeat() const
    {
        if (weekly == 1)
            return Repeat::Weekly;
        if (daily == 1)
            return Repeat::Daily;
        return monthly == 1 ? Repeat::Monthly : Repeat::None;
    }

    // The box of `repeat`; none for Repeat::None.
    qint16 *box(Repeat repeat)
    {
        switch (repeat) {
        case Repeat::Daily:
            return &daily;
        case Repeat::Weekly:
            return &weekly;
        case Repeat::Monthly:
            return &monthly;
        case Repeat::None:
            break;
        }
        return nullptr;
    }

    friend bool operator==(const RepeatBoxes &, const RepeatBoxes &) = default;
};
