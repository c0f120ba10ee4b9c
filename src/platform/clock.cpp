// SPDX-License-Identifier: MIT
#include "platform/clock.h"

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}
