// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmtable.h"
#include "store/repeatboxes.h"

#include <QDate>
#include <QString>

#include <optional>
#include <variant>

// An entry as the command line gives it and shows it: `tikora --add` and
// `tikora --list`.
namespace EntryTexts {

// What the user typed for a new entry.
struct Typed
{
    QString date;
    QString time;
    QString message;
    Repeat repeat = Repeat::None;
};

// Why a typed entry cannot be stored; the texts are the user's.
struct Problem
{
    QString text;
};

// The typed entry as the file holds it, armed: the date read by the rules
// of the editor's OK and written "mm/dd/yy", the time of day "hh:mm:ss".
// A date must be a day alone, one the two-digit year of the file still
// names (the window around today); a time must be a time of day alone; the
// message is one line. Otherwise why not.
std::variant<Entry, Problem> check(const Typed &typed, const QDate &today);

// A row that holds nothing: no date, no message and no time.
bool isEmpty(const QString &date, const QString &message, const QString &time);
inline bool isEmpty(const Entry &entry)
{
    return isEmpty(entry.date, entry.message, entry.time);
}

// The first slot that holds nothing, if any.
std::optional<int> firstEmptySlot(const AlarmTable &table);

// One line of the list, fields apart by tabs: the slot (1 to 32), the date,
// the time, the repeat (daily, weekly, monthly or once, as the
// acknowledgement reads the boxes), armed or fired, the message.
QString line(int slot, const Entry &entry);

// The repeat's name in the list, and in the running copy's requests.
QString repeatName(Repeat repeat);
// The repeat a name stands for (nothing for an unknown one).
std::optional<Repeat> repeatNamed(const QString &name);

} // namespace EntryTexts
