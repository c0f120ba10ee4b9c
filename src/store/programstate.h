// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmtable.h"

// The state the engine keeps of the file and the clock.
struct ProgramState
{
    // The table, the banners and the sound choice as the clock last read them.
    FileContents file;

    // "mm/dd/yy" and "hh:mm:ss" of the last clock reading; empty until then.
    QString nowDate;
    QString nowTime;

    AlarmTable &table() { return file.table; }
    const AlarmTable &table() const { return file.table; }
};
