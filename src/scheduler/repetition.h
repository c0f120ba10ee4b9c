// SPDX-License-Identifier: MIT
#pragma once

#include "store/repeatboxes.h"

#include <QDate>
#include <QString>

#include <optional>

// How an acknowledgement moves a fired, repeating entry on: plain functions
// of the entry and of "today".
namespace Repetition {

// The same day next month, or its last day when the next month is shorter.
QDate sameDayNextMonth(const QDate &today);

// The date an entry moved by `repeat` gets, counted from today. A daily entry
// whose time of day is still ahead today moves to today; one that does not
// repeat stays on today.
QDate nextDate(Repeat repeat, const QDate &today, bool timeStillAheadToday);

// The new "mm/dd/yy" date of an entry at an acknowledgement, or nothing when
// it stays as it is. It moves when it is fired (exactly 1) and a repeat box
// is checked (as RepeatBoxes::repeat() reads them), counted from
// today when its date is today or before and, when dated today, its time
// has come; an entry left behind on an earlier day moves whatever its time.
// An entry still ahead of the clock (set back since it fired) moves on from
// its own date. An entry whose date cannot be read stays.
std::optional<QString> moveOnAcknowledge(qint16 fired, const RepeatBoxes &boxes,
                                         const QString &date, const QString &time,
                                         const QDate &today, const QString &nowTime);

} // namespace Repetition
