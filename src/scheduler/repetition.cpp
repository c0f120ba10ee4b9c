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

QDate nextDate(Rule rule, const QDate &today, bool timeStillAheadToday)
{
    switch (rule) {
    case Rule::Weekly:
        return today.addDays(7);
    case Rule::Daily:
        return timeStillAheadToday ? today : today.addDays(1);
    case Rule::Monthly:
        return sameDayNextMonth(today);
    }
    return today;
}

std::optional<QString> moveOnAcknowledge(qint16 fired, const RepeatBoxes &boxes,
                                         const QString &date, const QString &time,
                                         const QDate &today, const QString &nowTime)
{
    if (fired != 1)
        return std::nullopt;
    std::optional<Rule> rule;
    if (boxes.weekly == 1)
        rule = Rule::Weekly;
    else if (boxes.daily == 1)
        rule = Rule::Daily;
    else if (boxes.monthly == 1)
        rule = Rule::Monthly;
    if (!rule)
        return std::nullopt;

    const bool timeReached = DueTest::timeReached(time, nowTime);
    const bool datedToday = !date.isEmpty() && !DueTest::dateReached(date, today.addDays(-1));
    if (DueTest::dateReached(date, today) && (timeReached || !datedToday))
        return DateText::formatDate(nextDate(*rule, today, !timeReached));

    // Still ahead of the clock, though it fired: the clock was set back
    // since (by hand, or the hour that repeats when summer time ends). It
    // moves on from its own date, or it would never ring again.
    const std::optional<DateText::Value> value = DateText::parse(date, today);
    if (!value)
        return std::nullopt;
    return DateText::formatDate(nextDate(*rule, value->date, false));
}

} // namespace Repetition
