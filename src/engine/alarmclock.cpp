// SPDX-License-Identifier: MIT
#include "engine/alarmclock.h"

#include "engine/alarmengine.h"
#include "engine/services.h"
#include "scheduler/clock.h"
#include "scheduler/nextcheck.h"

#include <QScopeGuard>

#include <algorithm>

// A face's own timer. A tick posted to a face that goes before it runs is
// dropped with it.
struct AlarmClock::Face : QObject
{
    Face(ClockFace &face, Kind kind, QObject *parent) : QObject(parent), face(&face), kind(kind)
    {
        timer.setObjectName(kind == Kind::Main ? QStringLiteral("mainClock")
                                               : QStringLiteral("alertClock"));
        timer.setParent(this);
        timer.setInterval(NextCheck::PollMs);
    }

    ClockFace *face; // none once removed
    Kind kind;
    bool ticked = false;
    QTimer timer{};
};

AlarmClock::AlarmClock(AlarmEngine &engine, const Clock &clock, QObject *parent)
    : QObject(parent), m_engine(engine), m_clock(clock)
{
    m_wakeTimer.setObjectName(QStringLiteral("wakeClock"));
    // A child, as the faces' timers are, so that a test finds it by name.
    m_wakeTimer.setParent(this);
    m_wakeTimer.setSingleShot(true);
    m_wakeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_wakeTimer, &QTimer::timeout, this, &AlarmClock::checkWakes);
    m_startUpTimer.setObjectName(QStringLiteral("startUpClock"));
    m_startUpTimer.setParent(this);
    m_startUpTimer.setSingleShot(true);
    connect(&m_startUpTimer, &QTimer::timeout, this, &AlarmClock::completeStartUp);
    connect(&engine, &AlarmEngine::snoozesChanged, this, &AlarmClock::wakeForSnoozes);
    connect(this, &AlarmClock::wakeReached, this, [this](WakeId id) {
        if (id != m_snoozeWake)
            return;
        m_snoozeWake = 0;
        // Switched off (the editor is open), the main face raises it at its
        // first tick once switched on again.
        if (Face *main = mainFace(); main && main->timer.isActive())
            post(*main);
    });
}

AlarmClock::~AlarmClock()
{
    // The ticks still on the stack (an exit from a nested loop ends the
    // process instead) show on nothing more.
    for (TickRun *run : m_runs) {
        run->face = nullptr;
        run->cancelled = true;
    }
}

AlarmClock::Face *AlarmClock::find(const ClockFace &face) const
{
    const auto it = std::find_if(m_faces.begin(), m_faces.end(),
                                 [&face](const Face *f) { return f->face == &face; });
    return it == m_faces.end() ? nullptr : *it;
}

AlarmClock::Face *AlarmClock::mainFace() const
{
    const auto it = std::find_if(m_faces.begin(), m_faces.end(),
                                 [](const Face *f) { return f->kind == Kind::Main; });
    return it == m_faces.end() ? nullptr : *it;
}

void AlarmClock::add(ClockFace &face, Kind kind)
{
    if (find(face))
        return;
    auto *f = new Face(face, kind, this);
    if (kind == Kind::Main && m_wakeUps)
        f->timer.setTimerType(Qt::PreciseTimer);
    connect(
        &f->timer, &QTimer::timeout, f, [this, f] { run(*f); }, Qt::QueuedConnection);
    m_faces.push_back(f);
}

void AlarmClock::remove(ClockFace &face)
{
    Face *f = find(face);
    if (!f)
        return;
    m_faces.erase(std::find(m_faces.begin(), m_faces.end(), f));
    // The ticks it runs stop where they are (a nested loop deleted the
    // window): the outer operation goes no further.
    for (TickRun *run : m_runs) {
        if (run->face == &face) {
            run->face = nullptr;
            run->cancelled = true;
        }
    }
    f->face = nullptr;
    f->timer.stop();
    f->deleteLater();
}

void AlarmClock::start(ClockFace &face)
{
    Face *f = find(face);
    if (!f)
        return;
    f->timer.start();
    // A face's first tick reads the file and sets the pace from then on.
    if (f->kind == Kind::Main && f->ticked)
        pace();
}

void AlarmClock::stop(ClockFace &face)
{
    if (Face *f = find(face))
        f->timer.stop();
}

bool AlarmClock::running(const ClockFace &face) const
{
    const Face *f = find(face);
    return f && f->timer.isActive();
}

int AlarmClock::waitMs(const ClockFace &face) const
{
    const Face *f = find(face);
    return f ? f->timer.interval() : -1;
}

bool AlarmClock::precise(const ClockFace &face) const
{
    const Face *f = find(face);
    return f && f->timer.timerType() == Qt::PreciseTimer;
}

void AlarmClock::tick(ClockFace &face)
{
    if (Face *f = find(face))
        run(*f);
}

void AlarmClock::post(Face &face)
{
    QMetaObject::invokeMethod(
        &face, [this, f = &face] { run(*f); }, Qt::QueuedConnection);
}

void AlarmClock::run(Face &f)
{
    if (!f.face)
        return;
    // With the exact clock the main face alone checks the alarms, at their
    // very second; a further face shows the time.
    if (m_wakeUps && f.kind == Kind::Further) {
        f.face->showTime(m_clock.localNow());
        checkWakes();
        return;
    }
    f.ticked = true;
    TickRun tick{f.face};
    m_runs.push_back(&tick);
    // Inside its tick (in its message boxes) the main face keeps the 500 ms
    // pace, and afterwards it sets its wait again.
    const bool main = f.kind == Kind::Main;
    if (main) {
        ++m_mainTicking;
        pace();
    }
    const auto ended = qScopeGuard([this, &tick, main] {
        m_runs.erase(std::find(m_runs.begin(), m_runs.end(), &tick));
        if (main) {
            --m_mainTicking;
            pace();
        }
    });
    m_engine.tick(&tick);
    if (!tick.cancelled)
        checkWakes();
}

void AlarmClock::showNow(ClockFace &face)
{
    face.showTime(m_clock.localNow());
}

void AlarmClock::shownChanged(ClockFace &face)
{
    Face *f = find(face);
    if (!f || f->kind != Kind::Main)
        return;
    pace();
    // Its labels were last set by a tick that may be a minute old: a tick
    // brings them up to date as soon as it shows.
    if (m_wakeUps && face.shown())
        post(*f);
}

void AlarmClock::useWakeUps(WakeUps *wakeUps)
{
    m_wakeUps = wakeUps;
    if (Face *main = mainFace())
        main->timer.setTimerType(Qt::PreciseTimer);
    // A wake-up runs the main face's tick at once, if its clock is on; the
    // wall clock may have passed a wake-up's instant too.
    connect(wakeUps, &WakeUps::woken, this, [this] {
        Face *main = mainFace();
        if (m_wakeUps && main && main->timer.isActive())
            post(*main);
        checkWakes();
    });
    // A file being written is read again once it is quiet: by that tick.
    m_engine.watchFileChanges([this] { return m_wakeUps && m_wakeUps->fileChanging(); });
    pace();
}

void AlarmClock::pace()
{
    Face *main = mainFace();
    if (!m_wakeUps || !main || !main->timer.isActive())
        return;
    QTimer &timer = main->timer;
    // Every 500 ms anyway: nothing to look for. A running 500 ms clock keeps
    // its phase. Alerts left open by the last run, and snoozed ones whose
    // time has come, that wait for the editor or About to close are raised
    // by the next tick after they do.
    if (m_mainTicking > 0 || !m_wakeUps->seesFileChanges() || main->face->shown() ||
        m_engine.leftAlertsWaiting() || m_engine.snoozeEnded()) {
        if (timer.interval() != NextCheck::PollMs)
            timer.setInterval(NextCheck::PollMs);
        return;
    }
    const QDateTime now = m_clock.now();
    const NextCheck::Change next =
        NextCheck::firstChange(m_engine.table(), now, NextCheck::LongestWaitMs / 1000);
    // An entry due already but held back: it keeps its 500 ms phase too.
    const int wait = NextCheck::waitMs(next, now);
    if (wait != NextCheck::PollMs || timer.interval() != NextCheck::PollMs)
        timer.setInterval(wait);
    // Ready for that second: loading the sound and the fonts the window is
    // laid out in there would hold the window back.
    if (next.due) {
        m_engine.prepareSound();
        main->face->prepare();
    }
}

void AlarmClock::completeStartUpAfter(int ms)
{
    m_startUpTimer.start(ms);
}

void AlarmClock::completeStartUp()
{
    m_startUpTimer.stop();
    Q_EMIT startUpDue();
    // Now that the file holds what start-up made of it, the alerts the last
    // run left open come back.
    m_engine.raiseLeftAlerts();
    pace();
}

void AlarmClock::cancelStartUp()
{
    m_startUpTimer.stop();
}

AlarmClock::WakeId AlarmClock::wakeAt(const QDateTime &at)
{
    const WakeId id = ++m_lastWake;
    m_wakes.emplace(id, at.toUTC());
    checkWakes();
    return id;
}

void AlarmClock::cancelWake(WakeId id)
{
    m_wakes.erase(id);
    checkWakes();
}

int AlarmClock::waitForWakeMs() const
{
    return m_wakeTimer.isActive() ? m_wakeTimer.interval() : -1;
}

void AlarmClock::checkWakes()
{
    if (m_wakes.empty()) {
        m_wakeTimer.stop();
        return;
    }
    const QDateTime now = m_clock.now();
    std::vector<WakeId> reached;
    QDateTime first;
    for (const auto &[id, at] : m_wakes) {
        if (at <= now)
            reached.push_back(id);
        else if (!first.isValid() || at < first)
            first = at;
    }
    for (WakeId id : reached)
        m_wakes.erase(id);
    // The timer counts time the machine is awake only, and a wall clock set
    // meanwhile moves the instant: it wakes at most a minute ahead to look
    // again, and every tick and wake-up looks too.
    if (first.isValid()) {
        const qint64 wait = std::clamp<qint64>(now.msecsTo(first), 1, NextCheck::LongestWaitMs);
        m_wakeTimer.start(int(wait));
    } else {
        m_wakeTimer.stop();
    }
    for (WakeId id : reached)
        Q_EMIT wakeReached(id);
}

void AlarmClock::wakeForSnoozes()
{
    if (m_snoozeWake != 0)
        m_wakes.erase(m_snoozeWake);
    m_snoozeWake = 0;
    const QDateTime end = m_engine.firstSnoozeEnd();
    if (end.isValid()) {
        m_snoozeWake = ++m_lastWake;
        m_wakes.emplace(m_snoozeWake, end.toUTC());
    }
    checkWakes();
    pace();
}
