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

bool isDue(const QString &date, const QString &time, qint16 fired, const QDate &today,
           const QString &nowTime)
{
    return fired == 0 && dateReached(date, today) && timeReached(time, nowTime);
}

} // namespace DueTest
