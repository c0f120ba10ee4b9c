// SPDX-License-Identifier: MIT
#pragma once

#include "engine/alarmengine.h"
#include "support/fakeclock.h"
#include "support/recordingalerts.h"
#include "support/recordingservices.h"

// The program's engine with a fake clock, recording services and recorded
// alert windows: the whole program's logic without a widget.
struct TestEngine
{
    FakeClock clock;
    RecordingMessageBoxes boxes;
    RecordingProblems problems;
    RecordingSound sound;
    RecordingAlerts windows;
    AlarmEngine engine{clock, boxes, problems, sound};

    TestEngine() { engine.setAlertWindows(&windows); }
    TestEngine(const TestEngine &) = delete;
    TestEngine &operator=(const TestEngine &) = delete;
};
