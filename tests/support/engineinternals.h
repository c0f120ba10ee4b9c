// SPDX-License-Identifier: MIT
#pragma once

#include "engine/alarmengine.h"
#include "support/engineinternals.h"

// What a test sets up or breaks inside the engine that no window can: a
// flag fired meanwhile, a store whose saves fail. Everything a window may
// do goes through the engine's own operations.
struct EngineInternals
{
    static ProgramState &state(AlarmEngine &engine) { return engine.state; }
    static AlarmStore &store(AlarmEngine &engine) { return engine.store; }
};
