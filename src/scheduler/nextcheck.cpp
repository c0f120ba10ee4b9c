// SPDX-License-Identifier: MIT
#include "scheduler/nextcheck.h"

#include "scheduler/duetest.h"
#include "store/datetext.h"

#include <QTimeZone>

#include <algorithm>
#include <optional>

namespace NextCheck {

namespace {

constexpr qint64 DaySeconds = 24 * 60 * 60;

// The smallest time text of the armed entries whose day has come on `day`:
// the due test passes at a second of that day exactly when its "hh:mm:ss"
// text is not below it (texts are compared as texts). None when no entry
// can be due that day.
std::optional<QString> earliestTimeText(const AlarmTable &table, const QDate &day)
{
    std::optional<QString> earliest;
    for (const Entry &entry : table) {
        if (entry.fired != 0 || !DueTest::dateReached(entry.date, day))
            continue;
        if (!earliest || QString::compare(entry.time, *earliest, Qt::CaseSensitive) < 0)
            earliest = entry.time;
    }
    return earliest;
}

QString timeText(qint64 secondOfDay)
{
    return DateText::formatTime(QTime::fromMSecsSinceStartOfDay(int(secondOfDay * 1000)));
}

// The first second of a day whose "hh:mm:ss" text passes the time test
// against `text`, if one does. The texts of a day's seconds rise with the
// seconds, so the passing ones are the seconds from that one on: halving
// finds it ("9:30" and "24:00:00" sort after every second, a leading space
// before every one, "09:29:59x" between 09:29:59 and 09:30:00).
std::optional<qint64> firstSecondReaching(const QString &text)
{
    const auto reached = [&text](qint64 second) {
        return DueTest::timeReached(text, timeText(second));
    };
    qint64 low = 0, high = DaySeconds - 1;
    if (!reached(high))
        return std::nullopt;
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        if (reached(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

// The local date and second of the day at a UTC second, for an offset.
struct Local
{
    QDate date;
    qint64 second = 0;
};

Local localAt(qint64 utcSecond, int offset)
{
    const qint64 local = utcSecond + offset;
    const qint64 days = local >= 0 ? local / DaySeconds : (local - DaySeconds + 1) / DaySeconds;
    return {QDate(1970, 1, 1).addDays(days), local - days * DaySeconds};
}

QDateTime instant(qint64 utcSecond)
{
    return QDateTime::fromSecsSinceEpoch(utcSecond, Qt::UTC);
}

// The offset from UTC of the local time the tick reads at that second.
int offsetAt(qint64 utcSecond)
{
    return QDateTime::fromSecsSinceEpoch(utcSecond, Qt::LocalTime).offsetFromUtc();
}

// The first second after `from`, up to `to`, with the offset `after`, where
// `from` has the offset `before`: the time zone's next transition, when the
// local time the tick reads agrees with it there (a TZ rule that the time
// zone database does not read may differ), else halved out second by
// second of the local time itself.
qint64 offsetChange(qint64 from, qint64 to, int before, int after)
{
    const QTimeZone::OffsetData next = QTimeZone::systemTimeZone().nextTransition(instant(from));
    if (next.atUtc.isValid()) {
        const qint64 at = next.atUtc.toSecsSinceEpoch();
        if (at > from && at <= to && offsetAt(at) == after && offsetAt(at - 1) == before)
            return at;
    }
    while (to - from > 1) {
        const qint64 middle = from + (to - from) / 2;
        if (offsetAt(middle) == before)
            from = middle;
        else
            to = middle;
    }
    return to;
}

// Whether an armed entry is due at the first second of a new local date.
bool dueAt(const AlarmTable &table, const Local &local)
{
    const std::optional<QString> earliest = earliestTimeText(table, local.date);
    return earliest && DueTest::timeReached(*earliest, timeText(local.second));
}

} // namespace

Change firstChange(const AlarmTable &table, const QDateTime &now, int horizonSeconds)
{
    const QDateTime localNow = now.toLocalTime();
    const QDate today = localNow.date();
    const std::optional<QString> earliest = earliestTimeText(table, today);
    if (earliest && DueTest::timeReached(*earliest, DateText::formatTime(localNow.time())))
        return {now, true};
    const std::optional<qint64> dueSecond =
        earliest ? firstSecondReaching(*earliest) : std::optional<qint64>();

    const qint64 nowMs = now.toMSecsSinceEpoch();
    const qint64 nowSecond = nowMs >= 0 ? nowMs / 1000 : (nowMs - 999) / 1000;
    const qint64 last = nowSecond + horizonSeconds;
    // The seconds looked at, in at most two stretches of one offset each.
    const int offset = localNow.offsetFromUtc();
    const int lastOffset = offsetAt(last);
    const qint64 change =
        lastOffset == offset ? last + 1 : offsetChange(nowSecond, last, offset, lastOffset);
    struct Stretch
    {
        qint64 from, to; // to: the first second after it
        int offset;
    };
    for (const Stretch &stretch :
         {Stretch{nowSecond + 1, change, offset}, Stretch{change, last + 1, lastOffset}}) {
        if (stretch.from >= stretch.to)
            continue;
        const Local start = localAt(stretch.from, stretch.offset);
        // Another date from its first second (a change of offset at midnight).
        if (start.date != today)
            return {instant(stretch.from), dueAt(table, start)};
        qint64 at = stretch.from + DaySeconds - start.second; // the next midnight
        bool due = false;
        if (dueSecond && stretch.from + std::max<qint64>(0, *dueSecond - start.second) < at) {
            at = stretch.from + std::max<qint64>(0, *dueSecond - start.second);
            due = true;
        }
        if (at < stretch.to)
            return {instant(at), due || dueAt(table, localAt(at, stretch.offset))};
    }
    return {};
}

int waitMs(const Change &change, const QDateTime &now)
{
    if (!change.at.isValid())
        return LongestWaitMs;
    const qint64 wait = now.msecsTo(change.at);
    if (wait <= 0)
        return PollMs;
    return int(std::min<qint64>(wait, LongestWaitMs));
}

int waitMs(const AlarmTable &table, const QDateTime &now)
{
    return waitMs(firstChange(table, now, LongestWaitMs / 1000), now);
}

} // namespace NextCheck
