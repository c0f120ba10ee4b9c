// SPDX-License-Identifier: MIT
#include "scheduler/repetition.h"

#include "scheduler/duetest.h"
#include "store/datetext.h"

#include <algorithm>

namespace Repetition {

QDate sameDayNextMonth(const QDate &today)
{
    const QDate first = QDate(today.year(), today.month(), 1).addMonths(1);
    return QDate(first.year(), first.month(), std::min(today.day(), first.daysInMonth()));
}

QDate nextDate(Repeat repeat, const QDate &today, bool timeStillAheadToday)
{
    switch (repeat) {
    case Repeat::Weekly:
        return today.addDays(7);
    case Repeat::Daily:
        return timeStillAheadToday ? today : today.addDays(1);
    case Repeat::Monthly:
        return sameDayNextMonth(today);
    case Repeat::None:
        break;
    }
    return today;
}

std::optional<QString> moveOnAcknowledge(qint16 fired, const RepeatBoxes &boxes,
                                         const QString &date, const QString &time,
                                         const QDate &today, const QString &nowTime)
{
    if (fired != 1)
        return std::nullopt;
    const Repeat repeat = boxes.repeat();
    if (repeat == Repeat::None)
        return std::nullopt;

    const bool timeReached = DueTest::timeReached(time, nowTime);
    const bool datedToday = !date.isEmpty() && !DueTest::dateReached(date, today.addDays(-1));
    if (DueTest::dateReached(date, today) && (timeReached || !datedToday))
        return DateText::formatDate(nextDate(repeat, today, !timeReached));

    // Still ahead of the clock, though it fired: the clock was set back
    // since (by hand, or the hour that repeats when summer time ends). It
    // moves on from its own date, or it would never ring again.
    const std::optional<DateText::Value> value = DateText::parse(date, today);
    if (!value)
        return std::nullopt;
    return DateText::formatDate(nextDate(repeat, value->date, false));
}

} // namespace Repetition
