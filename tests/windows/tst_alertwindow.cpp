// SPDX-License-Identifier: MIT
#include "store/datafile.h"
#include "store/datetext.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alertwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

const QDate Today(2009, 3, 10);

// Armed entries dated 03/10/09 at the given times.
FileContents armed(std::initializer_list<std::pair<int, QString>> timesBySlot)
{
    FileContents c = contentsWith({});
    for (const auto &[slot, time] : timesBySlot)
        setEntry(c, {slot, "03/10/09", time});
    return c;
}

} // namespace

class TestAlertWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadingShowsTheClockAndReadsTheFile()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(14, 5, 33));
        dir.write(AlarmStore::FileName, DataFile::encode(armed({{4, QStringLiteral("10:00:00")}})));

        AlertWindow &main = app.context.mainAlert();
        QCOMPARE(control<QLabel>(main, "Label2")->text(), QStringLiteral("03/10/09"));
        // The tests run under the C locale, whose time format is "HH:mm:ss".
        QCOMPARE(control<QLabel>(main, "Label3")->text(), QStringLiteral("14:05:33"));
        QVERIFY(main.message().isEmpty());
        QCOMPARE(control<QLabel>(main, "LbMessage")->textFormat(), Qt::PlainText);
        QCOMPARE(main.windowTitle(), AppTitle);
        QVERIFY(main.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(app.context.alarmClock.running(main));
        QCOMPARE(app.context.alarmClock.waitMs(main), 500);
        QVERIFY(control<QPushButton>(main, "cmdOK")->isDefault());
        QCOMPARE(app.context.engine.table()[4].message, QStringLiteral("slot 4"));
        QVERIFY(!main.isVisible());

        // A further window keeps its empty title and leaves the main one's.
        main.setWindowTitle(QString());
        AlertWindow further(app.context, AlertWindow::Further);
        further.startShowing();
        QVERIFY(further.windowTitle().isEmpty());
        QCOMPARE(main.windowTitle(), AppTitle);
    }

    void aTickRaisesEveryDueSlotInOrder()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(9, 29, 59, 600));
        dir.write(AlarmStore::FileName, DataFile::encode(armed({{7, QStringLiteral("09:30:00")},
                                                                {2, QStringLiteral("09:30:00")},
                                                                {9, QStringLiteral("09:30:01")}})));
        AlertWindow &main = app.context.mainAlert();

        app.context.alarmClock.tick(main);
        QVERIFY(app.alerts.shown.isEmpty());
        QCOMPARE(app.context.engine.nowTime(), QStringLiteral("09:29:59"));

        app.clock.advanceMSecs(500);
        app.context.alarmClock.tick(main);
        QCOMPARE(app.alerts.messages(), (QStringList{"slot 2", "slot 7"}));
        QCOMPARE(app.context.engine.nowDate(), QStringLiteral("03/10/09"));
        QCOMPARE(app.context.engine.nowTime(), QStringLiteral("09:30:00"));
        QCOMPARE(control<QLabel>(main, "Label2")->text(), QStringLiteral("03/10/09"));
        QCOMPARE(control<QLabel>(main, "Label3")->text(), QStringLiteral("09:30:00"));
    }

    // The file is damaged while the program runs: the problem box opens in
    // the main clock's own tick, with a real nested loop. The clock keeps
    // ticking inside it and entries due meanwhile fire on time.
    void theProblemBoxDoesNotStopTheClock()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30, 10));
        const QByteArray whole = DataFile::encode(
            armed({{0, QStringLiteral("09:30:20")}, {1, QStringLiteral("09:30:30")}}));
        dir.write(AlarmStore::FileName, whole);
        app.context.mainAlert();
        app.context.editor();
        dir.write(AlarmStore::FileName, whole.left(whole.size() - 40));

        int ticks = 0;
        app.clock.onRead = [&] {
            ++ticks;
            app.clock.advanceSeconds(1);
        };
        app.boxes.whileOpen = [&](const QString &) {
            // Ends with the second alert, or after 500 turns of the loop
            // should the clock not tick in here.
            QEventLoop boxLoop;
            QTimer turn;
            int turns = 0;
            connect(&turn, &QTimer::timeout, &boxLoop, [&] {
                if (app.alerts.shown.size() == 2 || ++turns == 500)
                    boxLoop.quit();
            });
            turn.start(0);
            boxLoop.exec();
        };
        // The main clock's own timer, ticking at every turn of the loop.
        auto *mainClock = app.context.alarmClock.findChild<QTimer *>(QStringLiteral("mainClock"));
        QVERIFY(mainClock);
        mainClock->setInterval(0);
        mainClock->start();
        for (int turn = 0; turn < 100 && app.boxes.shown.isEmpty(); ++turn)
            QCoreApplication::processEvents();
        mainClock->stop();
        QVERIFY(ticks > 0);

        QCOMPARE(app.boxes.shown.size(), 1);
        QCOMPARE(app.alerts.messages(), (QStringList{"slot 0", "slot 1"}));
    }
};

QTEST_MAIN(TestAlertWindow)
#include "tst_alertwindow.moc"
