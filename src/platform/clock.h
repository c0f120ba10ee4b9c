// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>

// Everything reads the current instant through a Clock, so tests can set it.
class Clock
{
public:
    virtual ~Clock() = default;
    // The current instant, in UTC.
    virtual QDateTime now() const = 0;
    // The current instant as local date and time, through the real time zone.
    QDateTime localNow() const { return now().toLocalTime(); }
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override;
};
