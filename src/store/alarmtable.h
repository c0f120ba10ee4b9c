// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>

// The 32 alarm entries, as parallel arrays: one index across them is one entry.
inline constexpr int SlotCount = 32;

struct AlarmTable
{
    std::array<QString, SlotCount> AlarmDate;
    std::array<QString, SlotCount> AlarmMessage;
    std::array<QString, SlotCount> AlarmTime;
    // Repeat boxes: 0 unchecked, 1 checked, 2 grey (counts as not checked).
    std::array<qint16, SlotCount> AlarmDaily{};
    std::array<qint16, SlotCount> AlarmWeekly{};
    std::array<qint16, SlotCount> AlarmMonthly{};
    // 0 armed, 1 fired or cleared. The spare index 32 is never read or stored.
    std::array<qint16, SlotCount + 1> AlarmFired{};

    friend bool operator==(const AlarmTable &, const AlarmTable &) = default;

    // Every slot empty and fired, so nothing is due before a file is read.
    static AlarmTable cleared()
    {
        AlarmTable table;
        table.AlarmFired.fill(1);
        return table;
    }
};

// The alert sound that holds for every entry: at most one is true in a table
// written by the program, though a file may say otherwise.
struct SoundChoice
{
    bool Message = true;
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
