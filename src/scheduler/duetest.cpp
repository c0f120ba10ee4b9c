// SPDX-License-Identifier: MIT
#include "scheduler/duetest.h"

#include "store/datetext.h"

namespace DueTest {

bool dateReached(const QString &date, const QDate &today)
{
    if (date.isEmpty())
        return EmptyDateDefault <= today;
    const std::optional<DateText::Value> value = DateText::parse(date, today);
    return value && *value <= DateText::Value{today, QTime(0, 0)};
}

bool timeReached(const QString &time, const QString &nowTime)
{
    return QString::compare(time, nowTime, Qt::CaseSensitive) <= 0;
}

bool SlotTester::isDue(int slot, const QString &date, const QString &time, qint16 fired,
                       const QDate &today, const QString &nowTime)
{
    return fired == 0 && dateReached(slot, date, today) && timeReached(time, nowTime);
}

bool SlotTester::dateReached(int slot, const QString &date, const QDate &today)
{
    std::optional<Known> &known = m_known.at(slot);
    if (!known || known->today != today || known->date != date)
        known = Known{date, today, DueTest::dateReached(date, today)};
    return known->reached;
}

} // namespace DueTest
