// SPDX-License-Identifier: MIT
#pragma once

#include "engine/alarmengine.h"
#include "store/datafile.h"
#include "support/engineinternals.h"
#include "support/entries.h"
#include "support/fakeclock.h"
#include "support/fulldevice.h"
#include "support/recordingalerts.h"
#include "support/recordingservices.h"
#include "support/tempdir.h"

#include <optional>

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

// An engine in a fresh current directory, the clock at 10 March 2009 09:00,
// its working copy loaded from the given file (none: no file).
struct EngineTest : TestEngine
{
    TempCurrentDir dir;

    explicit EngineTest(const std::optional<FileContents> &contents = {})
    {
        clock.setLocal(QDate(2009, 3, 10), QTime(9, 0));
        if (contents)
            dir.write(AlarmStore::FileName, DataFile::encode(*contents));
        engine.ensureLoaded();
    }

    FileContents saved() const { return readContents(dir); }
    // A tick of a window that stays and shows nothing.
    void tick() { engine.tick(); }
    // Every save from now on fails as on a full disk.
    void failSaves()
    {
        EngineInternals::store(engine).setDeviceFactory(
            [](const QString &) { return std::make_unique<FullDevice>(); });
    }
};
