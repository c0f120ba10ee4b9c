// SPDX-License-Identifier: MIT
#pragma once

#include "engine/services.h"

// Wake-ups the test sends itself.
class FakeWakeUps : public WakeUps
{
public:
    bool seesFileChanges() const override { return sees; }
    bool fileChanging() const override { return changing; }
    void wake() { Q_EMIT woken(); }

    bool sees = true;
    bool changing = false;
};
