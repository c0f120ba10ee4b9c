// SPDX-License-Identifier: MIT
#include "support/fakeclock.h"

void FakeClock::setLocal(const QDate &date, const QTime &time)
{
    m_now = QDateTime(date, time, Qt::LocalTime).toUTC();
}
