// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>

// What shows the alarm clock's time: an alert window's date and time. The
// clock decides when a face ticks; the face only shows what it is told.
class ClockFace
{
public:
    virtual ~ClockFace() = default;
    // The local date and time the tick read.
    virtual void showTime(const QDateTime &localNow) = 0;
    // Whether the user sees it: a main face in view keeps the 500 ms pace.
    virtual bool shown() const = 0;
    // An alarm can be due before the clock wakes again: whatever showing it
    // needs is got ready now, so that it shows at its second.
    virtual void prepare() {}
};

// One tick as the clock runs it: the face it shows on, until that face goes
// (in a nested loop), which cancels what is left of the tick.
struct TickRun
{
    ClockFace *face = nullptr;
    bool cancelled = false;
};
