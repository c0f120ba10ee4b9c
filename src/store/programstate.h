// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmtable.h"

// The program-wide state every window shares. The application owns one and
// hands it to each window; tests make a fresh one.
struct ProgramState
{
    // The table, the banners and the sound choice as the clock last read them.
    FileContents file;

    // "mm/dd/yy" and "hh:mm:ss" of the last clock reading; empty until then.
    QString nowDate;
    QString nowTime;

    // The scheduler's slot index and the editor's row index: two separate
    // loop counters, so a tick inside an editor message box cannot disturb
    // the editor's loop.
    qint16 currentSlot = 0;
    qint16 editorRow = 0;

    AlarmTable &table() { return file.table; }
    const AlarmTable &table() const { return file.table; }
};
