// SPDX-License-Identifier: MIT
// The exact clock against the 500 ms clock: seeded random traces of days of
// use in America/New_York around the daylight-saving changes of 2009, with
// entries of every kind, another program editing the file, the wall clock
// set forward and back, suspends and acknowledgements, run through the
// program's own engine twice: once ticked every 500 ms, the main clock and
// every open alert window's clock alike; once as the exact clock runs it,
// the main clock alone ticking when NextCheck says and on every wake-up (a
// change of the file, its own saves included, once the file has been quiet
// for 50 ms; a change of the wall clock, the end of a suspend), the alert
// windows' clocks only showing the time. Some traces keep a dozen and more
// alert windows open for most of an hour. Both must raise the same alerts
// in the same order and minute, save the same files and show the same
// boxes, and the exact clock never raises an alert later than the 500 ms
// clock.
//
// Moments within a second, the same in both runs: the 500 ms clock ticks at
// .25-.30 and .75-.80, edits land at .600 (both runs have read them before
// the next second), the wall clock is set at .950, a suspend starts at .450
// and ends at .550, acknowledgements come at .900, counted from the minute
// after the alert.

#include "scheduler/nextcheck.h"
#include "store/datafile.h"
#include "store/datetext.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testengine.h"

#include <QtTest>

#include <ctime>
#include <map>
#include <random>

namespace {

using Ms = qint64;

enum class Kind { Edit, Jump, Suspend };

struct Event
{
    Ms at;
    Kind kind;
    qint64 amount; // Jump: seconds; Suspend: whole seconds asleep; Edit: its seed
};

struct Trace
{
    QDateTime start; // UTC, a whole second
    Ms length = 0;
    int phase = 0; // of the 500 ms clock, 250 to 299
    FileContents initial;
    QList<Event> events;  // in time order
    QList<int> ackDelays; // seconds, for the alerts in the order raised
};

// How long a changed file must be quiet before it wakes the exact clock.
constexpr Ms QuietMs = 50;

struct Outcome
{
    QList<int> slots;
    QList<Ms> moments;   // real time of each alert
    QStringList minutes; // local wall-clock minute of each alert
    QList<QByteArray> saves;
    QStringList boxes;
    QStringList reports;
    int ticks = 0;
    int mainTicks = 0; // of them, the main clock's
    int mostOpen = 0;  // alert windows open at once
};

const QStringList OddTimes = {"9:30", "24:00:00", "", " 09:00:00", "12:00", "23:59:59x", "noon"};

QString timeText(const QDateTime &local)
{
    return DateText::formatTime(local.time());
}

// Another program's edit: a damaged file now and then, otherwise one entry
// changed in the file as it is.
QByteArray edited(const QByteArray &current, const FileContents &fallback, quint32 seed,
                  const QDateTime &wall)
{
    std::mt19937 rng(seed);
    auto pick = [&rng](int n) { return int(rng() % quint32(n)); };
    if (pick(12) == 0)
        return current.left(pick(int(current.size()))) + "\"broken";
    FileContents c;
    if (!DataFile::decode(current, c))
        c = fallback;
    Entry &e = c.table[pick(12)];
    const QDateTime local = wall.toLocalTime();
    switch (pick(6)) {
    case 0:
    case 1:
        e.time = timeText(local.addSecs(1 + pick(180)));
        e.fired = 0;
        break;
    case 2:
        e.time = OddTimes[pick(int(OddTimes.size()))];
        break;
    case 3: {
        const QStringList dates = {
            DateText::formatDate(local.date()), DateText::formatDate(local.date().addDays(1)),
            DateText::formatDate(local.date().addDays(-1)), QString(), QStringLiteral("13/45/09")};
        e.date = dates[pick(int(dates.size()))];
        break;
    }
    case 4:
        e.fired = qint16(pick(2));
        break;
    default:
        e.repeat = RepeatBoxes{};
        (pick(3) == 0 ? e.repeat.daily : pick(2) == 0 ? e.repeat.weekly : e.repeat.monthly) = 1;
        break;
    }
    return DataFile::encode(c);
}

// With `manyOpen`, every slot holds an entry, most of them daily, and the
// alerts are acknowledged only after 20 to 40 minutes: a dozen and more
// alert windows open at once, ticking beside the main clock.
Trace makeTrace(quint32 seed, const QDateTime &start, int days, bool manyOpen = false)
{
    std::mt19937 rng(seed);
    auto pick = [&rng](int n) { return int(rng() % quint32(n)); };
    Trace t;
    t.start = start.toUTC();
    t.length = Ms(days) * 24 * 3600 * 1000;
    t.phase = 250 + pick(50);

    // Awake for half an hour or so, asleep for most of the day (or the
    // night); edits and wall-clock changes while awake.
    QList<std::pair<Ms, Ms>> awake;
    Ms r = 0;
    while (r < t.length) {
        const Ms second = r / 1000;
        // The first stretch awake sees the change of daylight saving.
        const Ms up = ((awake.isEmpty() ? 50 : 10) + pick(50)) * 60;
        awake.append({r, (second + up) * 1000});
        for (Ms s = second + 1; s < second + up; s += 30 + pick(600)) {
            if (pick(8) == 0) {
                static const qint64 jumps[] = {-86400 * 2, -3600, -61, -5, 3, 59, 3600, 86400};
                t.events.append({s * 1000 + 950, Kind::Jump, jumps[pick(8)] + pick(3)});
            } else {
                t.events.append({s * 1000 + 600, Kind::Edit, qint64(rng())});
            }
        }
        const Ms asleep = (4 + pick(16)) * 3600 + pick(3600);
        t.events.append({(second + up) * 1000 + 450, Kind::Suspend, asleep});
        r = (second + up + asleep + 1) * 1000;
    }
    std::sort(t.events.begin(), t.events.end(),
              [](const Event &a, const Event &b) { return a.at < b.at; });

    // Entries of every kind, half of them at a time of day when the
    // machine is awake.
    FileContents &c = t.initial;
    c = contentsWith({});
    auto someTime = [&]() -> QString {
        if (pick(2) == 0) {
            const auto &[from, to] = awake[pick(int(awake.size()))];
            const Ms at = from + Ms(rng() % quint64(to - from));
            return timeText(t.start.addMSecs(at).toLocalTime());
        }
        return timeText(QDateTime(QDate(2009, 1, 1), QTime(0, 0)).addSecs(pick(86400)));
    };
    const QDate first = start.toLocalTime().date();
    auto dateIn = [&](int day) { return DateText::formatDate(first.addDays(day)); };
    setEntry(c, TestEntry(0, dateIn(1), someTime()));
    setEntry(c, TestEntry(1, dateIn(0), someTime(), 1));
    setEntry(c, TestEntry(2, dateIn(2), someTime(), 0, 1));
    setEntry(c, TestEntry(3, QStringLiteral("10/31/09"), someTime(), 0, 0, 1));
    setEntry(c, TestEntry(4, QString(), someTime(), 1));
    setEntry(c, TestEntry(5, dateIn(3), QString(), 1));
    setEntry(c, TestEntry(6, dateIn(1), QStringLiteral("9:30")));
    setEntry(c, TestEntry(7, dateIn(0), QStringLiteral("24:00:00"), 1));
    setEntry(c, TestEntry(8, dateIn(4), someTime()));
    setEntry(c, TestEntry(9, QString(), QString()));
    setEntry(c, TestEntry(10, dateIn(1), someTime(), 0, 1, 0, 1));
    setEntry(c, TestEntry(11, QStringLiteral("01/31/09"), someTime(), 0, 0, 1));
    // Within the first hour awake (around the change of daylight saving)
    // the rest of the slots fire, one after the other.
    const auto firstHour = [&] {
        const auto &[from, to] = awake.constFirst();
        return timeText(t.start.addMSecs(from + Ms(rng() % quint64(to - from))).toLocalTime());
    };
    for (int slot = 12; manyOpen && slot < SlotCount; ++slot)
        setEntry(c,
                 TestEntry(slot, dateIn(0), pick(3) == 0 ? someTime() : firstHour(), pick(4) != 0));
    for (int i = 0; i < 64; ++i)
        t.ackDelays.append(manyOpen ? 1200 + pick(1200) : pick(i % 4 == 0 ? 900 : 40));
    return t;
}

Outcome run(const Trace &t, bool exact)
{
    TempCurrentDir dir;
    TestEngine program;
    AlarmEngine &engine = program.engine;
    Outcome out;
    QByteArray onDisk = DataFile::encode(t.initial);
    dir.write(AlarmStore::FileName, onDisk);

    Ms r = 0, wallShift = 0;
    auto setClock = [&] { program.clock.setUtc(t.start.addMSecs(r + wallShift)); };
    std::multimap<Ms, int> acks;
    QList<Ms> windows;          // the next tick of each alert window, oldest first
    qsizetype acknowledged = 0; // the windows whose OK was pressed, oldest first
    // The main clock's timer, and a wake-up's tick of it (it runs apart
    // from the timer, which the tick then sets again).
    Ms mainTick = exact ? 0 : t.phase;
    Ms wakeTick = t.length;
    auto wake = [&](Ms at) { wakeTick = std::min(wakeTick, at); };
    // Saves wake the exact clock once the file is quiet, as any change of
    // the file does.
    auto afterOperation = [&] {
        const QByteArray bytes = dir.read(AlarmStore::FileName);
        if (bytes != onDisk) {
            out.saves.append(bytes);
            onDisk = bytes;
            if (exact)
                wake(r + QuietMs);
        }
    };
    program.windows.onAlert = [&](const QString &message) {
        out.slots.append(message.mid(5).toInt());
        out.moments.append(r);
        out.minutes.append(program.clock.localNow().toString(QStringLiteral("MM/dd/yy hh:mm")));
        // Counted from the minute after, the same in both runs.
        const int delay = t.ackDelays[(out.slots.size() - 1) % t.ackDelays.size()];
        acks.emplace((r / 60000 + 1) * 60000 + delay * 1000 + 900, 0);
        windows.append(r + 500);
        out.mostOpen = std::max(out.mostOpen, int(windows.size()));
    };
    // A tick of the main clock, which then sets its next one, or (with the
    // 500 ms clock) of an alert window; a save it made wakes the exact clock
    // all the same.
    auto tick = [&](bool main) {
        setClock();
        engine.tick();
        ++out.ticks;
        out.mainTicks += main;
        if (main)
            mainTick =
                exact ? r + NextCheck::waitMs(engine.table(), program.clock.now()) : mainTick + 500;
        afterOperation();
    };

    qsizetype next = 0;
    while (r < t.length) {
        const Ms event = next < t.events.size() ? t.events[next].at : t.length;
        const Ms ack = acks.empty() ? t.length : acks.begin()->first;
        const auto window = std::min_element(windows.begin(), windows.end());
        const Ms windowTick = window == windows.end() ? t.length : *window;
        const Ms when = std::min({event, ack, mainTick, wakeTick, windowTick});
        if (when >= t.length)
            break;
        r = std::max(r, when);
        if (event == when) {
            const Event &e = t.events[next++];
            if (e.kind == Kind::Edit) {
                setClock();
                onDisk = edited(onDisk, t.initial, quint32(e.amount), program.clock.now());
                dir.write(AlarmStore::FileName, onDisk);
            } else if (e.kind == Kind::Jump) {
                wallShift += e.amount * 1000;
            } else {
                r += e.amount * 1000 + 100;
                // Nothing ticks while asleep; the timers go on afterwards.
                for (Ms &w : windows)
                    w += e.amount * 1000 + 100;
                if (exact)
                    mainTick += e.amount * 1000 + 100;
                else
                    mainTick = r + (t.phase - r % 500 + 500) % 500;
            }
            // The exact clock wakes: the file or the wall clock changed, or
            // the machine woke up.
            if (exact)
                wake(e.kind == Kind::Edit ? r + QuietMs : r);
        } else if (ack == when) {
            acks.erase(acks.begin());
            setClock();
            engine.acknowledge(program.windows.ids.at(acknowledged++));
            windows.removeFirst();
            afterOperation();
        } else if (mainTick == when || wakeTick == when) {
            if (wakeTick == when)
                wakeTick = t.length;
            tick(true);
        } else {
            *window += 500;
            if (!exact)
                tick(false);
        }
    }
    out.boxes = program.boxes.shown;
    out.reports = program.problems.reported;
    return out;
}

} // namespace

class TestExactClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "America/New_York");
        tzset();
    }

    void sameAlertsAsThe500msClockAndNeverLater_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("manyOpen");
        // A week from shortly before the change: 01:15 EDT on 1 November,
        // 01:30 EST on 8 March.
        const QDateTime fall(QDate(2009, 11, 1), QTime(5, 15), Qt::UTC);
        const QDateTime spring(QDate(2009, 3, 8), QTime(6, 30), Qt::UTC);
        QTest::newRow("autumn, seed 1") << 1u << fall << 7 << false;
        QTest::newRow("spring, seed 2") << 2u << spring << 7 << false;
        QTest::newRow("autumn, seed 3") << 3u << fall << 7 << false;
        QTest::newRow("spring, seed 4") << 4u << spring << 7 << false;
        QTest::newRow("autumn, many open, seed 5") << 5u << fall << 1 << true;
        QTest::newRow("spring, many open, seed 6") << 6u << spring << 1 << true;
    }

    void sameAlertsAsThe500msClockAndNeverLater()
    {
        QFETCH(quint32, seed);
        QFETCH(QDateTime, start);
        QFETCH(int, days);
        QFETCH(bool, manyOpen);
        const Trace trace = makeTrace(seed, start, days, manyOpen);
        const Outcome poll = run(trace, false);
        const Outcome exact = run(trace, true);
        qInfo("%lld alerts, %lld saves, %lld boxes, at most %d windows open; ticks: %d at "
              "500 ms (%d of the main clock), %d exact",
              qlonglong(poll.slots.size()), qlonglong(poll.saves.size()),
              qlonglong(poll.boxes.size()), poll.mostOpen, poll.ticks, poll.mainTicks, exact.ticks);
        QVERIFY(poll.slots.size() >= 10);
        QVERIFY(!poll.boxes.isEmpty());
        QVERIFY(poll.mostOpen >= (manyOpen ? 12 : 1));

        QCOMPARE(exact.slots, poll.slots);
        for (qsizetype i = 0; i < poll.moments.size(); ++i) {
            const Ms early = poll.moments[i] - exact.moments[i];
            if (early < 0 || early >= 1000)
                QFAIL(
                    qPrintable(QStringLiteral("alert %1 (slot %2): exact at %3 ms, 500 ms at %4 ms")
                                   .arg(i)
                                   .arg(poll.slots[i])
                                   .arg(exact.moments[i])
                                   .arg(poll.moments[i])));
        }
        QCOMPARE(exact.minutes, poll.minutes);
        QCOMPARE(exact.saves.size(), poll.saves.size());
        for (qsizetype i = 0; i < poll.saves.size(); ++i)
            QVERIFY2(exact.saves[i] == poll.saves[i], qPrintable(QString::number(i)));
        QCOMPARE(exact.boxes, poll.boxes);
        QCOMPARE(exact.reports, poll.reports);
        QVERIFY(exact.ticks < poll.mainTicks / 2);
    }
};

QTEST_GUILESS_MAIN(TestExactClock)
#include "tst_exactclock.moc"
