// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>

// Everything reads the current instant through a Clock, so tests can set it.
// The system's clock is in platform/systemclock.h.
class Clock
{
public:
    virtual ~Clock() = default;
    // The current instant, in UTC.
    virtual QDateTime now() const = 0;
    // The current instant as local date and time, through the real time zone.
    QDateTime localNow() const { return now().toLocalTime(); }
};
