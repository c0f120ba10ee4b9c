// SPDX-License-Identifier: MIT
#pragma once

#include "engine/clockface.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <map>
#include <vector>

class AlarmEngine;
class Clock;
class WakeUps;

// The one owner of time. Every loaded alert window is a face of this clock,
// switched on and off as the windows come and go and the editor opens and
// closes; the clock ticks them, paces the main face and wakes it early, and
// runs each tick through the engine.
//
// - A face's clock ticks every 500 ms. The tick is a posted call, not run
//   inside the timer's own event: a timer does not fire again while its
//   event is handled, so a message box opened by the tick would stop that
//   clock until dismissed.
// - The exact clock (with wake-ups): the main face alone checks the alarms;
//   a further face only shows the time. The main face then sleeps until a
//   tick can find something new (NextCheck::firstChange), at most a minute,
//   or until a wake-up. While one of its ticks runs (in its message boxes),
//   while it is shown, while alerts left open by the last run wait, and
//   where the file's changes cannot be seen, it keeps the 500 ms pace.
// - A tick inside another operation: ticks nest (a message box runs them),
//   each keeps its own slot index (Schedule::raiseDueSlots), and a face that
//   goes meanwhile cancels the ticks it was running.
// - Wake-ups at a wall-clock instant (wakeAt): reached at that instant, or
//   at the first tick or wake-up after it, so a suspend, a clock set
//   forward or a main face asleep never makes one late. The first snoozed
//   alert's end is one: it runs the main face's tick, which raises it.
// - Start-up's completion, once, a moment after the program starts.
class AlarmClock : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Main, Further };
    using WakeId = int;

    AlarmClock(AlarmEngine &engine, const Clock &clock, QObject *parent = nullptr);
    ~AlarmClock() override;

    // A face comes and goes; a face added is switched off.
    void add(ClockFace &face, Kind kind);
    void remove(ClockFace &face);

    // Switches a face's clock on or off. It starts at the 500 ms pace
    // until its first tick.
    void start(ClockFace &face);
    void stop(ClockFace &face);
    bool running(const ClockFace &face) const;
    // The wait before the face's next tick, and whether its timer keeps
    // to the millisecond (the main face with the exact clock).
    int waitMs(const ClockFace &face) const;
    bool precise(const ClockFace &face) const;

    // Runs the face's tick now: the same as its timer's.
    void tick(ClockFace &face);
    // Shows the time on the face without a tick.
    void showNow(ClockFace &face);
    // The face was shown or hidden.
    void shownChanged(ClockFace &face);

    // The exact clock, woken by `wakeUps`; without, every face ticks every
    // 500 ms and checks the alarms.
    void useWakeUps(WakeUps *wakeUps);
    bool exact() const { return m_wakeUps != nullptr; }

    // Start-up completes once, `ms` after it began: startUpDue, then the
    // alerts the last run left open come back, now or, while they must
    // wait, at the 500 ms ticks after.
    void completeStartUpAfter(int ms);
    // Completes it now: the same as its timer's.
    void completeStartUp();
    // The program ends before start-up is complete.
    void cancelStartUp();

    // wakeReached(id) once the wall clock reaches `at`; never early.
    WakeId wakeAt(const QDateTime &at);
    void cancelWake(WakeId id);
    // The wait before the clock looks at its wake-ups again (-1: none).
    int waitForWakeMs() const;

Q_SIGNALS:
    void wakeReached(AlarmClock::WakeId id);
    // Start-up's wait is over: what the program does to complete it (the
    // unattended accept) runs before the left alerts come back.
    void startUpDue();

private:
    struct Face;
    Face *find(const ClockFace &face) const;
    Face *mainFace() const;
    void post(Face &face);
    void run(Face &face);
    void pace();
    void checkWakes();
    // The wake-up at the end of the first snooze.
    void wakeForSnoozes();

    AlarmEngine &m_engine;
    const Clock &m_clock;
    WakeUps *m_wakeUps = nullptr;
    std::vector<Face *> m_faces;   // children of the clock
    std::vector<TickRun *> m_runs; // the ticks running now, innermost last
    int m_mainTicking = 0;         // of them, the main face's
    std::map<WakeId, QDateTime> m_wakes;
    WakeId m_lastWake = 0;
    WakeId m_snoozeWake = 0;
    QTimer m_wakeTimer;
    QTimer m_startUpTimer;
};
