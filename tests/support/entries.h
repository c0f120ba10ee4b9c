// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmtable.h"

#include <initializer_list>
#include <optional>

class TempCurrentDir;

// One entry of a data file a test writes. Its message is "slot N" unless
// one is given.
struct TestEntry
{
    TestEntry(int slot, QString date, QString time, qint16 daily = 0, qint16 weekly = 0,
              qint16 monthly = 0, qint16 fired = 0, std::optional<QString> message = {})
        : slot(slot), date(std::move(date)), time(std::move(time)), daily(daily), weekly(weekly),
          monthly(monthly), fired(fired), message(std::move(message))
    {
    }

    int slot;
    QString date;
    QString time;
    qint16 daily;
    qint16 weekly;
    qint16 monthly;
    qint16 fired;
    std::optional<QString> message;
};

// Puts the entry into its slot of `contents`.
void setEntry(FileContents &contents, const TestEntry &entry);

// The program's banners, "Message" chosen, the given entries, and every
// other slot cleared.
FileContents contentsWith(std::initializer_list<TestEntry> entries);

// Writes Tikor.dat into the directory.
void writeEntries(const TempCurrentDir &dir, std::initializer_list<TestEntry> entries);

// What Tikor.dat in the directory holds now (banner 1 "<unreadable>" when
// it cannot be read whole).
FileContents readContents(const TempCurrentDir &dir);
