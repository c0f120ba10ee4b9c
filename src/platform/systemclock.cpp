// SPDX-License-Identifier: MIT
#include "platform/systemclock.h"

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}
