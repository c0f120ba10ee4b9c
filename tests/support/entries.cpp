// SPDX-License-Identifier: MIT
#include "support/entries.h"

#include "store/alarmstore.h"
#include "store/datafile.h"
#include "support/tempdir.h"

void setEntry(FileContents &c, const TestEntry &e)
{
    c.table[e.slot].date = e.date;
    c.table[e.slot].message = e.message.value_or(QStringLiteral("slot %1").arg(e.slot));
    c.table[e.slot].time = e.time;
    c.table[e.slot].repeat.daily = e.daily;
    c.table[e.slot].repeat.weekly = e.weekly;
    c.table[e.slot].repeat.monthly = e.monthly;
    c.table[e.slot].fired = e.fired;
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
