// SPDX-License-Identifier: MIT
#pragma once

#include "scheduler/clock.h"

// The operating system's clock.
class SystemClock : public Clock
{
public:
    QDateTime now() const override;
};
