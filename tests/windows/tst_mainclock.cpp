// SPDX-License-Identifier: MIT
// The pace of the main clock with the exact clock: asleep until a tick can
// find something new while hidden, 500 ms while it shows the time or while
// a tick runs (in its message boxes), a tick at once on a wake-up.

#include "store/datafile.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

const QDate Today(2009, 3, 10);

struct ExactApp
{
    TempCurrentDir dir;
    TestApp app;
    FakeWakeUps wakeUps;
    AlertWindow *main = nullptr;

    // The clock at 09:29:50.250, an entry armed for 09:30:00 (or others).
    explicit ExactApp(bool sees = true,
                      std::initializer_list<TestEntry> entries = {{3, "03/10/09", "09:30:00"}})
    {
        app.clock.setLocal(Today, QTime(9, 29, 50, 250));
        writeEntries(dir, entries);
        wakeUps.sees = sees;
        app.context.alarmClock.useWakeUps(&wakeUps);
        // As at start-up: the working copy is loaded before the clock runs.
        app.context.engine.ensureLoaded();
        main = &app.context.mainAlert();
        app.context.alarmClock.tick(*main);
    }
};

} // namespace

class TestMainClock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hiddenItSleepsUntilTheNextDueSecond()
    {
        ExactApp exact;
        AlarmClock &clock = exact.app.context.alarmClock;
        AlertWindow &main = *exact.main;
        QVERIFY(clock.running(main));
        QVERIFY(clock.precise(main));
        QCOMPARE(clock.waitMs(main), 9750);

        // Fired, nothing else armed: a minute at most.
        exact.app.clock.advanceSeconds(10);
        exact.app.context.alarmClock.tick(*exact.main);
        QCOMPARE(exact.app.alerts.messages(), QStringList{"slot 3"});
        QCOMPARE(clock.waitMs(main), 60000);

        // The editor switches it off; its OK switches it on again, asleep.
        exact.app.modal.whileOpen = [&](QDialog &) {
            QVERIFY(!clock.running(main));
            control<QPushButton>(exact.app.context.editor(), "cmdOKnotify")->click();
        };
        exact.app.context.commands.openEditor(MenuCommands::FromTray);
        QVERIFY(clock.running(main));
        QCOMPARE(clock.waitMs(main), 60000);
    }

    void shownItKeeps500msAndTicksAtOnce()
    {
        ExactApp exact;
        AlertWindow &main = *exact.main;
        exact.app.clock.setLocal(Today, QTime(9, 29, 52));
        exact.app.context.commands.showMainAlert();
        QCOMPARE(exact.app.context.alarmClock.waitMs(main), 500);
        QTRY_COMPARE(control<QLabel>(main, "Label3")->text(), QStringLiteral("09:29:52"));

        main.close();
        QVERIFY(!main.isVisible());
        QCOMPARE(exact.app.context.alarmClock.waitMs(main), 8000);
    }

    void aWakeUpTicksAtOnce()
    {
        ExactApp exact;
        // Another program arms an entry whose time has passed.
        writeEntries(exact.dir, {{3, "03/10/09", "09:30:00"}, {5, "03/10/09", "09:00:00"}});
        exact.wakeUps.wake();
        QTRY_COMPARE(exact.app.alerts.messages(), QStringList{"slot 5"});
        // A wake-up with the clock off (the editor open) does nothing.
        exact.app.context.alarmClock.stop(exact.app.context.mainAlert());
        writeEntries(exact.dir, {{7, "03/10/09", "09:00:00"}});
        exact.wakeUps.wake();
        QCoreApplication::processEvents();
        QCOMPARE(exact.app.alerts.shown.size(), 1);
    }

    // While a tick runs, in the box of a damaged file say, the clock keeps
    // its 500 ms pace, as the plain clock does.
    void insideATickItKeeps500ms()
    {
        ExactApp exact;
        int inside = 0;
        exact.app.boxes.whileOpen = [&](const QString &) {
            inside = exact.app.context.alarmClock.waitMs(*exact.main);
        };
        exact.dir.write(AlarmStore::FileName, "\"broken");
        exact.app.context.alarmClock.tick(*exact.main);
        QCOMPARE(exact.app.boxes.shown.size(), 1);
        QCOMPARE(inside, 500);
        QCOMPARE(exact.app.context.alarmClock.waitMs(*exact.main), 9750);
    }

    // A further alert window's 500 ms clock only shows the time: it reads
    // no file and raises nothing, and leaves the main clock as it was set,
    // which alone raises the next alarm, at its second.
    void furtherWindowsOnlyShowTheTime()
    {
        ExactApp exact(true, {{3, "03/10/09", "09:30:00"}, {4, "03/10/09", "09:30:40"}});
        AlarmClock &clock = exact.app.context.alarmClock;
        AlertWindow &main = *exact.main;
        exact.app.clock.advanceSeconds(10); // 09:30:00.250
        exact.app.context.alarmClock.tick(*exact.main);
        QCOMPARE(exact.app.alerts.messages(), QStringList{"slot 3"});
        QCOMPARE(clock.waitMs(main), 39750);

        AlertWindow *further = exact.app.alerts.shown.constFirst();
        writeEntries(exact.dir, {{3, "03/10/09", "09:30:00", 0, 0, 0, 1},
                                 {4, "03/10/09", "09:30:40"},
                                 {5, "03/10/09", "09:00:00"}});
        exact.app.clock.advanceSeconds(20); // 09:30:20.250
        exact.app.context.alarmClock.tick(*further);
        QCOMPARE(control<QLabel>(*further, "Label3")->text(), QStringLiteral("09:30:20"));
        QCOMPARE(control<QLabel>(*further, "Label2")->text(), QStringLiteral("03/10/09"));
        QCOMPARE(exact.app.context.engine.table()[5].time, QString());
        QCOMPARE(exact.app.alerts.messages(), QStringList{"slot 3"});
        QCOMPARE(clock.waitMs(main), 39750);

        // The change wakes the main clock, which reads it.
        exact.wakeUps.wake();
        QTRY_COMPARE(exact.app.alerts.messages(), (QStringList{"slot 3", "slot 5"}));
    }

    // The sound, and the alert window's picture, colours and fonts, are
    // made ready when an alarm can be due before the clock wakes again; not
    // while none can (all day, and at start-up), so nothing of them is
    // loaded then.
    void theSoundAndTheWindowAreReadyBeforeTheAlarm()
    {
        const auto laidOut = [](const AlertWindow &window) {
            return !control<QLabel>(window, "Label3")->styleSheet().isEmpty() &&
                   window.minimumSize() == window.maximumSize();
        };
        ExactApp soon;
        QCOMPARE(soon.app.sound.prepared, QStringList{"checkmsgs.wav"});
        QVERIFY(soon.app.sound.calls.isEmpty());
        QVERIFY(laidOut(*soon.main));
        QVERIFY(!soon.main->isVisible());

        ExactApp later(true, {{3, "03/10/09", "09:31:00"}});
        QVERIFY(later.app.sound.prepared.isEmpty());
        QVERIFY(!laidOut(*later.main));
        // Within the minute at the next wake-up: now.
        later.app.clock.advanceSeconds(60);
        later.app.context.alarmClock.tick(*later.main);
        QCOMPARE(later.app.sound.prepared, QStringList{"checkmsgs.wav"});
        QVERIFY(laidOut(*later.main));
    }

    // Where file changes go unseen (a network file system) it polls.
    void unseenFileChangesKeep500ms()
    {
        ExactApp exact(false);
        QCOMPARE(exact.app.context.alarmClock.waitMs(*exact.main), 500);
    }
};

QTEST_MAIN(TestMainClock)
#include "tst_mainclock.moc"
