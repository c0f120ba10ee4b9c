// SPDX-License-Identifier: MIT
#include "store/entrytexts.h"

#include "store/datetext.h"

namespace EntryTexts {

namespace {

const QString DateExamples = QStringLiteral("such as 03/17/09 or \"March 17, 2009\"");
const QString TimeExamples = QStringLiteral("such as 09:30 or \"3:00 PM\"");

Problem badDate(const QString &date, const QString &why)
{
    return {QStringLiteral("the date '%1' %2").arg(date, why)};
}

} // namespace

std::variant<Entry, Problem> check(const Typed &typed, const QDate &today)
{
    // The file holds one line a text: a line break would end the message
    // and shift every line after it.
    if (typed.message.contains(u'\n') || typed.message.contains(u'\r'))
        return Problem{QStringLiteral("the message must be one line")};

    if (typed.date.isEmpty())
        return Problem{QStringLiteral("the date is empty: give a day, %1").arg(DateExamples)};
    const std::optional<DateText::Value> date = DateText::parse(typed.date, today);
    if (!date || date->date == DateText::timeOnlyDate())
        return badDate(typed.date, QStringLiteral("is not a day, %1").arg(DateExamples));
    if (date->time != QTime(0, 0))
        return badDate(typed.date, QStringLiteral("holds a time of day: give the time apart"));
    // The file keeps two-digit years, read in the window around today: a
    // day outside it would come back as another century's.
    const QString stored = DateText::formatDate(date->date);
    const std::optional<DateText::Value> readBack = DateText::parse(stored, today);
    if (!readBack || readBack->date != date->date) {
        return badDate(typed.date, QStringLiteral("is too far from today: the data file holds "
                                                  "the years %1 to %2")
                                       .arg(today.year() - 49)
                                       .arg(today.year() + 50));
    }

    if (typed.time.isEmpty())
        return Problem{
            QStringLiteral("the time is empty: give a time of day, %1").arg(TimeExamples)};
    const std::optional<DateText::Value> time = DateText::parse(typed.time, today);
    if (!time || time->date != DateText::timeOnlyDate()) {
        return Problem{
            QStringLiteral("the time '%1' is not a time of day, %2").arg(typed.time, TimeExamples)};
    }

    Entry entry;
    entry.date = stored;
    entry.message = typed.message;
    entry.time = DateText::formatTime(time->time);
    entry.repeat = RepeatBoxes::of(typed.repeat);
    entry.fired = 0;
    return entry;
}

bool isEmpty(const QString &date, const QString &message, const QString &time)
{
    return date.isEmpty() && message.isEmpty() && time.isEmpty();
}

std::optional<int> firstEmptySlot(const AlarmTable &table)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (isEmpty(table[slot]))
            return slot;
    }
    return std::nullopt;
}

QString repeatName(Repeat repeat)
{
    switch (repeat) {
    case Repeat::Daily:
        return QStringLiteral("daily");
    case Repeat::Weekly:
        return QStringLiteral("weekly");
    case Repeat::Monthly:
        return QStringLiteral("monthly");
    case Repeat::None:
        break;
    }
    return QStringLiteral("once");
}

std::optional<Repeat> repeatNamed(const QString &name)
{
    for (Repeat repeat : {Repeat::None, Repeat::Daily, Repeat::Weekly, Repeat::Monthly}) {
        if (name == repeatName(repeat))
            return repeat;
    }
    return std::nullopt;
}

QString line(int slot, const Entry &entry)
{
    const QString fired = entry.fired == 0 ? QStringLiteral("armed") : QStringLiteral("fired");
    return QStringList{QString::number(slot + 1),         entry.date, entry.time,
                       repeatName(entry.repeat.repeat()), fired,      entry.message}
        .join(u'\t');
}

} // namespace EntryTexts
