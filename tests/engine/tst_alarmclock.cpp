// SPDX-License-Identifier: MIT
// The alarm clock without a window: its faces, a tick whose face goes in a
// nested loop, wake-ups at a wall-clock instant, which are never early
// and never later than the first tick or wake-up after their instant, and
// start-up's completion.

#include "engine/alarmclock.h"
#include "support/fakewakeups.h"
#include "support/testengine.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// A face that records what it was told.
struct RecordingFace : ClockFace
{
    void showTime(const QDateTime &localNow) override { times.append(localNow.time()); }
    bool shown() const override { return false; }

    QList<QTime> times;
};

struct ClockTest : EngineTest
{
    AlarmClock alarmClock{engine, clock};
    QSignalSpy reached{&alarmClock, &AlarmClock::wakeReached};

    explicit ClockTest(const std::optional<FileContents> &contents = {}) : EngineTest(contents) {}

    QList<int> reachedIds() const
    {
        QList<int> ids;
        for (const QList<QVariant> &signal : reached)
            ids.append(signal.at(0).toInt());
        return ids;
    }
};

QDateTime local(int h, int m, int s, int ms = 0)
{
    return QDateTime(QDate(2009, 3, 10), QTime(h, m, s, ms));
}

} // namespace

class TestAlarmClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A face's tick shows the time read and raises what is due; a face that
    // goes in the middle of its tick (a box of the new alert's load) ends
    // the tick there: the next due slot waits for a later tick.
    void aFaceThatGoesEndsItsTick()
    {
        ClockTest t(contentsWith({{1, "03/10/09", "09:00:00"}, {2, "03/10/09", "09:00:00"}}));
        auto face = std::make_unique<RecordingFace>();
        t.alarmClock.add(*face, AlarmClock::Kind::Main);
        QVERIFY(!t.alarmClock.running(*face));
        t.alarmClock.start(*face);
        QVERIFY(t.alarmClock.running(*face));
        QCOMPARE(t.alarmClock.waitMs(*face), 500);

        t.windows.onOpen = [&] {
            t.windows.onOpen = nullptr;
            t.alarmClock.remove(*face);
        };
        t.alarmClock.tick(*face);
        QCOMPARE(face->times, QList<QTime>{QTime(9, 0)});
        QCOMPARE(t.windows.messages, QStringList{"slot 1"});
        QVERIFY(!t.alarmClock.running(*face));

        RecordingFace next;
        t.alarmClock.add(next, AlarmClock::Kind::Main);
        t.alarmClock.tick(next);
        QCOMPARE(t.windows.messages, (QStringList{"slot 1", "slot 2"}));
    }

    // With the exact clock a further face only shows the time: nothing is
    // read or raised.
    void aFurtherFaceOfTheExactClockOnlyShowsTheTime()
    {
        ClockTest t(contentsWith({{1, "03/10/09", "09:00:00"}}));
        FakeWakeUps wakeUps;
        t.alarmClock.useWakeUps(&wakeUps);
        RecordingFace further;
        t.alarmClock.add(further, AlarmClock::Kind::Further);
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 0, 7));
        t.alarmClock.tick(further);
        QCOMPARE(further.times, QList<QTime>{QTime(9, 0, 7)});
        QVERIFY(t.windows.messages.isEmpty());
    }

    // The instant is a wall-clock one: a tick or a wake-up before it
    // reaches nothing, the first one at or after it reaches it, once.
    void aWakeUpIsReachedAtItsInstantNeverEarly()
    {
        ClockTest t;
        FakeWakeUps wakeUps;
        t.alarmClock.useWakeUps(&wakeUps);
        t.clock.setLocal(QDate(2009, 3, 10), QTime(10, 34, 59, 250));
        const AlarmClock::WakeId snooze = t.alarmClock.wakeAt(local(10, 35, 0));
        QCOMPARE(t.alarmClock.waitForWakeMs(), 750);
        wakeUps.wake();
        QVERIFY(t.reached.isEmpty());

        t.clock.setLocal(QDate(2009, 3, 10), QTime(10, 35, 0));
        wakeUps.wake();
        QCOMPARE(t.reachedIds(), QList<int>{snooze});
        QCOMPARE(t.alarmClock.waitForWakeMs(), -1);
        wakeUps.wake();
        QCOMPARE(t.reached.size(), 1);
    }

    // The machine sleeps, or the wall clock is set forward, past several:
    // the wake-up that follows reaches them all, earliest first; one
    // cancelled is never reached, and one far ahead is looked at again
    // within the minute.
    void aSuspendOrAClockSetForwardMakesNoneLate()
    {
        ClockTest t;
        FakeWakeUps wakeUps;
        t.alarmClock.useWakeUps(&wakeUps);
        t.clock.setLocal(QDate(2009, 3, 10), QTime(10, 0));
        const AlarmClock::WakeId later = t.alarmClock.wakeAt(local(11, 0, 0));
        const AlarmClock::WakeId sooner = t.alarmClock.wakeAt(local(10, 30, 0));
        const AlarmClock::WakeId cancelled = t.alarmClock.wakeAt(local(10, 45, 0));
        t.alarmClock.wakeAt(local(10, 0, 0).addDays(1));
        QCOMPARE(t.alarmClock.waitForWakeMs(), 60000);
        t.alarmClock.cancelWake(cancelled);

        t.clock.advanceSeconds(2 * 3600);
        wakeUps.wake();
        QCOMPARE(t.reachedIds(), (QList<int>{later, sooner}));
        QCOMPARE(t.alarmClock.waitForWakeMs(), 60000);
    }

    // Without wake-ups (the 500 ms clock) the main face's tick looks: a
    // clock set back before the instant reaches nothing.
    void theTicksOfThe500msClockReachThemToo()
    {
        ClockTest t;
        RecordingFace main;
        t.alarmClock.add(main, AlarmClock::Kind::Main);
        t.clock.setLocal(QDate(2009, 3, 10), QTime(10, 34, 59, 750));
        const AlarmClock::WakeId snooze = t.alarmClock.wakeAt(local(10, 35, 0));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(10, 20, 0));
        t.alarmClock.tick(main);
        QVERIFY(t.reached.isEmpty());
        t.clock.setLocal(QDate(2009, 3, 10), QTime(10, 35, 0, 250));
        t.alarmClock.tick(main);
        QCOMPARE(t.reachedIds(), QList<int>{snooze});
    }

    // Start-up completes once, when its wait runs out: the program's part
    // (the unattended accept) first, then the alerts the last run left open
    // come back. Cancelled (the program ends first), it never completes.
    void startUpCompletesOnceAfterItsWait()
    {
        ClockTest t(contentsWith({{4, "03/10/09", "08:00:00", 0, 0, 0, 1, "Left open"}}));
        t.dir.write(OpenAlerts::FileName,
                    OpenAlerts::encode({{4, "03/10/09", "08:00:00", "Left open"}}));
        int due = 0;
        QStringList raisedWhenDue{"not due"};
        QObject::connect(&t.alarmClock, &AlarmClock::startUpDue, [&] {
            ++due;
            raisedWhenDue = t.windows.messages;
        });
        t.alarmClock.completeStartUpAfter(850);
        auto *timer = t.alarmClock.findChild<QTimer *>(QStringLiteral("startUpClock"));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 850);
        QCOMPARE(due, 0);
        // Its wait runs out now.
        timer->start(0);
        for (int turn = 0; turn < 20 && due == 0; ++turn)
            QCoreApplication::processEvents();
        QCOMPARE(due, 1);
        QVERIFY(raisedWhenDue.isEmpty());
        QCOMPARE(t.windows.messages, QStringList{"Left open"});
        QVERIFY(!timer->isActive());

        t.alarmClock.completeStartUpAfter(0);
        t.alarmClock.cancelStartUp();
        for (int turn = 0; turn < 20; ++turn)
            QCoreApplication::processEvents();
        QCOMPARE(due, 1);
    }
};

QTEST_MAIN(TestAlarmClock)
#include "tst_alarmclock.moc"
