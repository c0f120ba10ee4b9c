// SPDX-License-Identifier: MIT
// Snooze, through a further alert window's real menu and the fake clock:
// the window goes without acknowledging, the data file stays as it is, and
// at the instant chosen the same alert opens again with its sound; it
// outlives the program, and an edit of its entry drops it.

#include "store/alarmstore.h"
#include "store/openalerts.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/trayshell.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

const QDate Today(2009, 3, 10);

// A daily entry in slot 2, due today at 09:30:00.
void writeDailyEntry(const TempCurrentDir &dir)
{
    writeEntries(dir, {{2, "03/10/09", "09:30:00", 1, 0, 0, 0, QStringLiteral("Stretch")}});
}

// A program over that entry at 09:30 on its day: the main clock (with
// `wakeUps`, the exact clock) has raised its alert.
struct Raised
{
    TempCurrentDir dir;
    TestApp app;

    explicit Raised(WakeUps *wakeUps = nullptr)
    {
        writeDailyEntry(dir);
        app.clock.setLocal(Today, QTime(9, 30));
        app.context.mainAlert();
        if (wakeUps) {
            app.context.alarmClock.useWakeUps(wakeUps);
            app.context.alarmClock.start(app.context.mainAlert());
        }
        tick();
    }
    // A tick of the main window's clock.
    void tick() { app.context.alarmClock.tick(app.context.mainAlert()); }
};

QList<OpenAlerts::Alert> recordIn(const TempCurrentDir &dir)
{
    QString problem;
    return OpenAlerts::decode(dir.read(OpenAlerts::FileName), problem)
        .value_or(QList<OpenAlerts::Alert>{});
}

// The snooze item captioned `caption` of the window's menu bar.
QAction *snoozeItem(AlertWindow &window, const QString &caption)
{
    for (QAction *item : control<QMenuBar>(window, QString())->actions()) {
        if (item->text() != QStringLiteral("S&nooze") || !item->menu())
            continue;
        for (QAction *choice : item->menu()->actions())
            if (choice->text() == caption)
                return choice;
    }
    return nullptr;
}

// The windows the last tick or start-up opened, after `before` of them.
QList<AlertWindow *> openedSince(const TestApp &app, qsizetype before)
{
    QList<AlertWindow *> windows;
    for (qsizetype i = before; i < app.alerts.shown.size(); ++i)
        windows.append(app.alerts.shown.at(i));
    return windows;
}

// Deferred deletes run, as the event loop would run them.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

} // namespace

class TestSnooze : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachChoiceRingsAgainAtItsInstant_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QTime>("again");
        QTest::newRow("5 minutes") << "&5 minutes" << QTime(9, 35);
        QTest::newRow("10 minutes") << "1&0 minutes" << QTime(9, 40);
        QTest::newRow("15 minutes") << "1&5 minutes" << QTime(9, 45);
        QTest::newRow("30 minutes") << "&30 minutes" << QTime(10, 0);
        QTest::newRow("1 hour") << "1 &hour" << QTime(10, 30);
    }
    void eachChoiceRingsAgainAtItsInstant()
    {
        QFETCH(QString, caption);
        QFETCH(QTime, again);
        Raised t;
        QCOMPARE(t.app.alerts.messages(), QStringList{"Stretch"});
        QPointer<AlertWindow> first = t.app.alerts.shown.first();
        const QByteArray fileAtAlert = t.dir.read(AlarmStore::FileName);
        QCOMPARE(readContents(t.dir).table[2].fired, qint16(1));
        t.app.sound.calls.clear();

        QAction *item = snoozeItem(*first, caption);
        QVERIFY(item);
        choose(*item);
        QVERIFY(first->isHidden());
        settle();
        QVERIFY(!first);
        // Not acknowledged: the file is as the alert left it, and the alert
        // is still open in the record, with its instant.
        QCOMPARE(t.dir.read(AlarmStore::FileName), fileAtAlert);
        QList<OpenAlerts::Alert> record = recordIn(t.dir);
        QCOMPARE(record.size(), 1);
        QCOMPARE(record.first().message, QStringLiteral("Stretch"));
        QCOMPARE(record.first().snoozedUntil.toLocalTime(), QDateTime(Today, again));

        t.app.clock.setLocal(Today, again.addSecs(-1));
        t.tick();
        QCOMPARE(t.app.alerts.shown.size(), 1);
        QVERIFY(t.app.sound.calls.isEmpty());
        QCOMPARE(t.dir.read(AlarmStore::FileName), fileAtAlert);

        t.app.clock.setLocal(Today, again);
        t.tick();
        const QList<AlertWindow *> opened = openedSince(t.app, 1);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first()->isVisible());
        QCOMPARE(opened.first()->message(), QStringLiteral("Stretch"));
        QCOMPARE(t.app.sound.calls, (QStringList{"beep", "play checkmsgs.wav"}));
        record = recordIn(t.dir);
        QCOMPARE(record.size(), 1);
        QVERIFY(!record.first().snoozedUntil.isValid());
        t.tick();
        QCOMPARE(t.app.alerts.shown.size(), 2);

        // Its OK acknowledges as the first window's would have.
        click(control<QPushButton>(*opened.first(), "cmdOK"));
        QCOMPARE(readContents(t.dir).table[2].date, QStringLiteral("03/11/09"));
        QVERIFY(recordIn(t.dir).isEmpty());
    }

    // The exact clock wakes at the instant (the alarm clock's wake-up, at
    // most a minute ahead, looked at by every tick), and a wake-up (a
    // suspend, the clock set) past it raises the alert at once.
    void theExactClockWakesForIt_data()
    {
        QTest::addColumn<bool>("suspended");
        QTest::newRow("its wake-up's timer") << false;
        QTest::newRow("a wake-up after a suspend") << true;
    }
    void theExactClockWakesForIt()
    {
        QFETCH(bool, suspended);
        FakeWakeUps wakeUps;
        Raised t(&wakeUps);
        AlarmClock &clock = t.app.context.alarmClock;
        QCOMPARE(t.app.alerts.shown.size(), 1);
        choose(*snoozeItem(*t.app.alerts.shown.first(), QStringLiteral("&5 minutes")));
        settle();
        QCOMPARE(clock.waitForWakeMs(), 60 * 1000);

        t.app.clock.setLocal(Today, QTime(9, 34, 30));
        t.tick();
        QCOMPARE(clock.waitForWakeMs(), 30 * 1000);
        t.app.clock.setLocal(Today, QTime(9, 34, 59, 750));
        t.tick();
        QCOMPARE(clock.waitForWakeMs(), 250);
        QCOMPARE(t.app.alerts.shown.size(), 1);

        if (suspended) {
            t.app.clock.setLocal(Today, QTime(11, 0));
            wakeUps.wake();
        } else {
            // Its timer runs out at the instant.
            t.app.clock.setLocal(Today, QTime(9, 35));
            auto *timer = clock.findChild<QTimer *>(QStringLiteral("wakeClock"));
            QVERIFY(timer && timer->isActive());
            timer->start(0);
            for (int turn = 0; turn < 20 && timer->isActive(); ++turn)
                QCoreApplication::processEvents();
        }
        settle();
        QCOMPARE(t.app.alerts.shown.size(), 2);
        QCOMPARE(t.app.alerts.messages().last(), QStringLiteral("Stretch"));
        QCOMPARE(clock.waitForWakeMs(), -1);
    }

    // A snooze outlives the program: the next start raises it at its
    // instant, or at start-up when the instant passed meanwhile.
    void aSnoozeSurvivesARestart_data()
    {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<bool>("atStartUp");
        QTest::newRow("started before the instant") << QTime(9, 35) << false;
        QTest::newRow("started after it") << QTime(9, 45) << true;
    }
    void aSnoozeSurvivesARestart()
    {
        QFETCH(QTime, start);
        QFETCH(bool, atStartUp);
        TempCurrentDir dir;
        writeDailyEntry(dir);
        {
            TestApp firstRun;
            firstRun.clock.setLocal(Today, QTime(9, 30));
            firstRun.context.alarmClock.tick(firstRun.context.mainAlert());
            QCOMPARE(firstRun.alerts.shown.size(), 1);
            choose(*snoozeItem(*firstRun.alerts.shown.first(), QStringLiteral("1&0 minutes")));
            settle();
        }
        const QByteArray fileAfterFirstRun = dir.read(AlarmStore::FileName);

        TestApp next;
        next.clock.setLocal(Today, start);
        TrayShell tray(next.context);
        tray.startUp();
        next.context.alarmClock.completeStartUp();
        QCOMPARE(next.alerts.shown.size(), atStartUp ? 1 : 0);
        if (!atStartUp) {
            QCOMPARE(dir.read(AlarmStore::FileName), fileAfterFirstRun);
            next.clock.setLocal(Today, QTime(9, 39, 59));
            next.context.alarmClock.tick(next.context.mainAlert());
            QCOMPARE(next.alerts.shown.size(), 0);
            next.clock.setLocal(Today, QTime(9, 40));
            next.context.alarmClock.tick(next.context.mainAlert());
        }
        QCOMPARE(next.alerts.messages(), QStringList{"Stretch"});
        QCOMPARE(next.sound.calls, (QStringList{"beep", "play checkmsgs.wav"}));
    }

    // An edit or a clear of the entry while it is snoozed drops the snooze:
    // it is not that alert any more.
    void anEditDropsIt_data()
    {
        QTest::addColumn<bool>("clear");
        QTest::newRow("the message edited") << false;
        QTest::newRow("the row cleared") << true;
    }
    void anEditDropsIt()
    {
        QFETCH(bool, clear);
        Raised t;
        choose(*snoozeItem(*t.app.alerts.shown.first(), QStringLiteral("&5 minutes")));
        settle();
        QCOMPARE(recordIn(t.dir).size(), 1);

        AlarmEditor &editor = t.app.context.editor();
        t.app.modal.whileOpen = [&](QDialog &) {
            if (clear) {
                click(Row::clear(editor, 2));
            } else {
                Row::message(editor, 2)->selectAll();
                QTest::keyClicks(Row::message(editor, 2), QStringLiteral("Stretch again"));
            }
            click(control<QPushButton>(editor, "cmdOKnotify"));
        };
        t.app.context.commands.openEditor(MenuCommands::FromTray);
        t.tick();
        QVERIFY(recordIn(t.dir).isEmpty());
        t.app.clock.setLocal(Today, QTime(9, 35));
        t.tick();
        QCOMPARE(t.app.alerts.shown.size(), 1);
    }

    // The notification's "Snooze 5 minutes" snoozes as the menu does, and
    // the alert opens again with a notification of its own.
    void theNotificationSnoozesFiveMinutes()
    {
        Raised t;
        QCOMPARE(t.app.notifications.shown, QStringList{"Stretch"});
        QPointer<AlertWindow> first = t.app.alerts.shown.first();
        const QByteArray fileAtAlert = t.dir.read(AlarmStore::FileName);
        t.app.notifications.choose(t.app.notifications.lastHandle,
                                   AlertNotifications::Action::Snooze);
        settle();
        QVERIFY(!first);
        QCOMPARE(t.dir.read(AlarmStore::FileName), fileAtAlert);
        QCOMPARE(recordIn(t.dir).first().snoozedUntil.toLocalTime(),
                 QDateTime(Today, QTime(9, 35)));

        t.app.clock.setLocal(Today, QTime(9, 35));
        t.tick();
        QCOMPARE(t.app.alerts.shown.size(), 2);
        QCOMPARE(t.app.notifications.shown, (QStringList{"Stretch", "Stretch"}));
        // The window's OK withdraws the new one.
        click(control<QPushButton>(*t.app.alerts.shown.last(), "cmdOK"));
        QCOMPARE(t.app.notifications.withdrawn, QList<AlertNotifications::Handle>{2});
    }

    void theMainWindowHasNoSnooze()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = app.context.mainAlert();
        QStringList captions;
        for (QAction *item : control<QMenuBar>(main, QString())->actions())
            captions << item->text();
        QCOMPARE(captions, (QStringList{"&Set", "&Help"}));
        AlertWindow further(app.context, AlertWindow::Further);
        captions.clear();
        for (QAction *item : control<QMenuBar>(further, QString())->actions())
            captions << item->text();
        QCOMPARE(captions, (QStringList{"&Set", "&Help", "S&nooze"}));
        QStringList choices;
        for (QAction *choice : control<QMenu>(further, "mnuSnooze")->actions())
            choices << choice->text();
        QCOMPARE(choices, (QStringList{"&5 minutes", "1&0 minutes", "1&5 minutes", "&30 minutes",
                                       "1 &hour"}));
    }
};

QTEST_MAIN(TestSnooze)
#include "tst_snooze.moc"
