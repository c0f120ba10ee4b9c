#pragma once

#include "store/clock.h"

// A clock that stands still until the test moves it.
class FakeClock : public Clock
{
public:
    QDateTime now() const override { return m_now; }
    void setUtc(const QDateTime &utc) { m_now = utc.toUTC(); }
    // Sets the clock to a local date and time, through the real time zone.
    void setLocal(const QDate &date, const QTime &time);
    void advanceSeconds(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advanceMSecs(qint64 msecs) { m_now = m_now.addMSecs(msecs); }

private:
    QDateTime m_now = QDateTime(QDate(2009, 3, 10), QTime(12, 0), Qt::UTC);
};
