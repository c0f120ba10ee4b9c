// SPDX-License-Identifier: MIT
#pragma once

#include "store/repeatboxes.h"

#include <QString>

#include <array>

inline constexpr int SlotCount = 32;

// One alarm entry, as a line block of the data file holds it.
struct Entry
{
    QString date; // "mm/dd/yy" as the program writes it; empty: no date
    QString message;
    QString time; // "hh:mm:ss" as the program writes it; empty: no time
    RepeatBoxes repeat;
    // 0 armed, 1 fired or cleared.
    qint16 fired = 0;

    friend bool operator==(const Entry &, const Entry &) = default;
};

// Calls `f` on each field of an entry, in the order of the data file.
template <typename E, typename F> void forEachField(E &entry, F &&f)
{
    f(entry.date);
    f(entry.message);
    f(entry.time);
    f(entry.repeat.daily);
    f(entry.repeat.weekly);
    f(entry.repeat.monthly);
    f(entry.fired);
}

// The 32 alarm entries; the slot is the index.
struct AlarmTable : std::array<Entry, SlotCount>
{
    // Every slot empty and fired, so nothing is due before a file is read.
    static AlarmTable cleared()
    {
        AlarmTable table;
        for (Entry &entry : table)
            entry.fired = 1;
        return table;
    }
};

// The alert sound that holds for every entry: at most one is true in a table
// written by the program, though a file may say otherwise.
struct SoundChoice
{
    bool MessageSound = true; // the "Message" option
    bool Alert1 = false;
    bool Alert2 = false;
    bool Alert3 = false;

    friend bool operator==(const SoundChoice &, const SoundChoice &) = default;
};

// What the data file holds: two banner lines, the sound choice and the table.
struct FileContents
{
    QString banner1;
    QString banner2;
    SoundChoice sound;
    AlarmTable table = AlarmTable::cleared();

    friend bool operator==(const FileContents &, const FileContents &) = default;
};

inline const QString DefaultBanner1 =
    QStringLiteral("THIS IS A SELF UPDATING FILE AND WILL CRASH IF TAMPERED WITH.");
inline const QString DefaultBanner2 = QStringLiteral("DELETE FILE COMPLETELY IF PROBLEM ARISES.");
