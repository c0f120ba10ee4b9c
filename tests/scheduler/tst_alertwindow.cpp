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
        QCOMPARE(main.dateLabel->text(), QStringLiteral("03/10/09"));
        // The tests run under the C locale, whose time format is "HH:mm:ss".
        QCOMPARE(main.timeLabel->text(), QStringLiteral("14:05:33"));
        QVERIFY(main.messageLabel->text().isEmpty());
        QCOMPARE(main.messageLabel->textFormat(), Qt::PlainText);
        QCOMPARE(main.windowTitle(), AppTitle);
        QVERIFY(main.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(main.clockTimer->isActive());
        QCOMPARE(main.clockTimer->interval(), 500);
        QVERIFY(main.okButton->isDefault());
        QCOMPARE(app.context.state.table()[4].message, QStringLiteral("slot 4"));
        QVERIFY(!main.isVisible());

        // A further window keeps its empty title and leaves the main one's.
        main.setWindowTitle(QString());
        AlertWindow further(app.context, AlertWindow::Further);
        further.load();
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

        main.tick();
        QVERIFY(app.alerts.shown.isEmpty());
        QCOMPARE(app.context.state.nowTime, QStringLiteral("09:29:59"));

        app.clock.advanceMSecs(500);
        main.tick();
        QCOMPARE(app.alerts.messages(), (QStringList{"slot 2", "slot 7"}));
        QCOMPARE(app.context.state.nowDate, QStringLiteral("03/10/09"));
        QCOMPARE(app.context.state.nowTime, QStringLiteral("09:30:00"));
        QCOMPARE(main.dateLabel->text(), QStringLiteral("03/10/09"));
        QCOMPARE(main.timeLabel->text(), QStringLiteral("09:30:00"));
    }

    void anEntryWithoutADateIsDueEveryDayAtItsTime()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = armed({{0, QStringLiteral("07:00:00")}});
        c.table[0].date.clear();
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        app.clock.setLocal(QDate(2031, 5, 20), QTime(6, 59, 59));
        AlertWindow &main = app.context.mainAlert();

        main.tick();
        QVERIFY(app.alerts.shown.isEmpty());
        // The default date is the due test's only: the table keeps the empty
        // date, as the file does.
        QVERIFY(app.context.state.table()[0].date.isEmpty());
        QVERIFY(dir.read(AlarmStore::FileName).contains("\"\"\r\n\"slot 0\""));

        app.clock.advanceSeconds(1);
        main.tick();
        QCOMPARE(app.alerts.messages(), QStringList{"slot 0"});
    }

    void anEntryWithoutATimeIsDueAsSoonAsItsDayHasCome()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = armed({{3, QString()}});
        c.table[3].date = QStringLiteral("03/11/09");
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        app.clock.setLocal(Today, QTime(23, 59, 59));
        AlertWindow &main = app.context.mainAlert();
        main.tick();
        QVERIFY(app.alerts.shown.isEmpty());
        app.clock.advanceSeconds(1);
        main.tick();
        QCOMPARE(app.alerts.messages(), QStringList{"slot 3"});
    }

    void aDateThatCannotBeReadIsNotDueAndTheOthersGoOn()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = armed({{1, QStringLiteral("08:00:00")}, {2, QStringLiteral("08:00:00")}});
        c.table[1].date = QStringLiteral("2/31/2009");
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        app.clock.setLocal(Today, QTime(8, 0));
        app.context.mainAlert().tick();
        QCOMPARE(app.alerts.messages(), QStringList{"slot 2"});
    }

    void beforeAnyFileNothingIsDue()
    {
        TempCurrentDir dir;
        TestApp app;
        app.context.mainAlert().tick();
        QVERIFY(app.alerts.shown.isEmpty());
        QVERIFY(app.boxes.shown.isEmpty());
    }

    // A broken file's box is open while the tick waits; the clock of another
    // window ticks inside it. Both ticks find what the file could give.
    void aTickRunsInsideAnotherTicksProblemBox()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(Today, QTime(12, 0));
        const QByteArray whole = DataFile::encode(
            armed({{1, QStringLiteral("11:00:00")}, {4, QStringLiteral("11:30:00")}}));
        dir.write(AlarmStore::FileName, whole.left(whole.indexOf("\"slot 4\"")));

        AlertWindow &main = app.context.mainAlert();
        QCOMPARE(app.boxes.shown.size(), 1);
        app.boxes.shown.clear();
        dir.write(AlarmStore::FileName, whole.left(whole.indexOf("\"slot 4\"") + 3));

        AlertWindow further(app.context, AlertWindow::Further);
        int nested = 0;
        app.boxes.whileOpen = [&](const QString &) {
            ++nested;
            further.tick();
        };
        main.tick();
        QCOMPARE(nested, 1);
        QCOMPARE(app.boxes.shown.size(), 1);
        QCOMPARE(app.boxes.mostOpen, 1);
        // Slot 1 was read in full and fired inside the box, so the outer tick
        // finds it fired; slot 4 was read only up to its date and stays as
        // it was before any file was read.
        QCOMPARE(app.alerts.messages(), QStringList{"slot 1"});
    }
};

QTEST_MAIN(TestAlertWindow)
#include "tst_alertwindow.moc"
