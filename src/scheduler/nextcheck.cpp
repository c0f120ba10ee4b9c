// SPDX-License-Identifier: MIT
#include "scheduler/nextcheck.h"

#include "scheduler/duetest.h"
#include "store/datetext.h"

#include <optional>

namespace NextCheck {

namespace {

// The smallest time text of the armed entries whose day has come: the due
// test passes at a second exactly when its "hh:mm:ss" text is not below it
// (texts are compared as texts). None when no entry can be due today.
std::optional<QString> earliestTimeText(const AlarmTable &table, const QDate &today)
{
    std::optional<QString> earliest;
    for (const Entry &entry : table) {
        if (entry.fired != 0 || !DueTest::dateReached(entry.date, today))
            continue;
        if (!earliest || QString::compare(entry.time, *earliest, Qt::CaseSensitive) < 0)
            earliest = entry.time;
    }
    return earliest;
}

} // namespace

QDateTime firstChange(const AlarmTable &table, const QDateTime &now, int horizonSeconds)
{
    const QDateTime utcNow = now.toUTC();
    const QDateTime localNow = utcNow.toLocalTime();
    const QDate today = localNow.date();
    const std::optional<QString> earliest = earliestTimeText(table, today);
    if (earliest && DueTest::timeReached(*earliest, DateText::formatTime(localNow.time())))
        return now;

    // Second by second, as the tick would see each: the local time is read
    // through the real time zone, so a skipped or repeated hour is what the
    // tick sees too.
    const qint64 firstSecond = utcNow.toMSecsSinceEpoch() / 1000 + 1;
    for (qint64 second = firstSecond; second <= firstSecond + horizonSeconds - 1; ++second) {
        const QDateTime instant = QDateTime::fromSecsSinceEpoch(second, Qt::UTC);
        const QDateTime local = instant.toLocalTime();
        if (local.date() != today)
            return instant;
        if (earliest && DueTest::timeReached(*earliest, DateText::formatTime(local.time())))
            return instant;
    }
    return {};
}

int waitMs(const AlarmTable &table, const QDateTime &now)
{
    const QDateTime next = firstChange(table, now, LongestWaitMs / 1000);
    if (!next.isValid())
        return LongestWaitMs;
    const qint64 wait = now.msecsTo(next);
    if (wait <= 0)
        return PollMs;
    return int(std::min<qint64>(wait, LongestWaitMs));
}

} // namespace NextCheck
