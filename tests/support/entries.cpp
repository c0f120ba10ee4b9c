// SPDX-License-Identifier: MIT
#include "support/entries.h"

#include "store/alarmstore.h"
#include "store/datafile.h"
#include "support/tempdir.h"

void setEntry(FileContents &c, const TestEntry &e)
{
    c.table.AlarmDate[e.slot] = e.date;
    c.table.AlarmMessage[e.slot] = e.message.value_or(QStringLiteral("slot %1").arg(e.slot));
    c.table.AlarmTime[e.slot] = e.time;
    c.table.AlarmDaily[e.slot] = e.daily;
    c.table.AlarmWeekly[e.slot] = e.weekly;
    c.table.AlarmMonthly[e.slot] = e.monthly;
    c.table.AlarmFired[e.slot] = e.fired;
}

FileContents contentsWith(std::initializer_list<TestEntry> entries)
{
    FileContents c;
    c.banner1 = DefaultBanner1;
    c.banner2 = DefaultBanner2;
    for (const TestEntry &e : entries)
        setEntry(c, e);
    return c;
}

void writeEntries(const TempCurrentDir &dir, std::initializer_list<TestEntry> entries)
{
    dir.write(AlarmStore::FileName, DataFile::encode(contentsWith(entries)));
}

FileContents readContents(const TempCurrentDir &dir)
{
    FileContents c;
    if (!DataFile::decode(dir.read(AlarmStore::FileName), c))
        c.banner1 = QStringLiteral("<unreadable>");
    return c;
}
