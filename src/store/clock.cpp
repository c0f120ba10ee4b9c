// SPDX-License-Identifier: MIT
#include "store/clock.h"

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}
