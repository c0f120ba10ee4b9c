// SPDX-License-Identifier: MIT
#pragma once

#include "scheduler/clock.h"

#include <functional>

// A clock that stands still until the test moves it.
class FakeClock : public Clock
{
public:
    QDateTime now() const override
    {
        ++reads;
        if (onRead)
            onRead();
        return m_now;
    }
    void setUtc(const QDateTime &utc) { m_now = utc.toUTC(); }
    // Sets the clock to a local date and time, through the real time zone.
    void setLocal(const QDate &date, const QTime &time);
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advanceMSecs(qint64 msecs) { m_now = m_now.addMSecs(msecs); }

    // How often the clock was read, and a hook that runs at every reading.
    mutable int reads = 0;
    std::function<void()> onRead;

private:
    QDateTime m_now = QDateTime(QDate(2009, 3, 10), QTime(12, 0), Qt::UTC);
};
