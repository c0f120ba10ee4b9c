// SPDX-License-Identifier: MIT
#include "support/entries.h"
#include "support/fulldevice.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

void deleteDeferred()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestAcknowledge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The file holds an entry with a repeat box that has fired. The editor's
    // load rearms it in memory; the alert marks it fired again.
    void okMovesTheFiredRepeatingEntryFromToday_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("daily");
        QTest::addColumn<int>("weekly");
        QTest::addColumn<int>("monthly");
        QTest::addColumn<QDateTime>("acknowledged");
        QTest::addColumn<QString>("moved");

        auto at = [](int y, int m, int d, QTime t) { return QDateTime(QDate(y, m, d), t); };
        const QTime nine(9, 0);
        QTest::newRow("daily") << "03/10/09"
                               << "08:00:00" << 1 << 0 << 0 << at(2009, 3, 12, nine) << "03/13/09";
        QTest::newRow("weekly across the year")
            << "12/28/08"
            << "08:00:00" << 0 << 1 << 0 << at(2008, 12, 28, nine) << "01/04/09";
        QTest::newRow("monthly in December")
            << "12/15/08"
            << "08:00:00" << 0 << 0 << 1 << at(2008, 12, 15, nine) << "01/15/09";
        QTest::newRow("monthly in March")
            << "03/10/09"
            << "08:00:00" << 0 << 0 << 1 << at(2009, 3, 10, nine) << "04/10/09";
        QTest::newRow("monthly on the 31st")
            << "01/31/09"
            << "08:00:00" << 0 << 0 << 1 << at(2009, 1, 31, nine) << "02/28/09";
        QTest::newRow("fired before midnight, acknowledged after")
            << "03/10/09"
            << "23:59:30" << 1 << 0 << 0 << at(2009, 3, 11, QTime(0, 0, 10)) << "03/11/09";
        QTest::newRow("daily across the turn of the year")
            << "12/31/08"
            << "10:00:00" << 1 << 0 << 0 << at(2009, 1, 1, QTime(11, 0)) << "01/02/09";
        QTest::newRow("grey box does not repeat")
            << "03/10/09"
            << "08:00:00" << 2 << 0 << 0 << at(2009, 3, 10, nine) << "03/10/09";
    }

    void okMovesTheFiredRepeatingEntryFromToday()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(int, daily);
        QFETCH(int, weekly);
        QFETCH(int, monthly);
        QFETCH(QDateTime, acknowledged);
        QFETCH(QString, moved);
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(acknowledged.date(), acknowledged.time());
        writeEntries(dir, {{4, date, time, qint16(daily), qint16(weekly), qint16(monthly), 1}});
        AlarmEditor &editor = app.context.editor();
        QCOMPARE(AlarmEditor::boxValue(editor.dailyBoxes[4]), qint16(daily));
        app.context.state.table()[4].fired = 1;

        AlertWindow &main = app.context.mainAlert();
        main.show();
        QTest::mouseClick(main.okButton, Qt::LeftButton);

        QVERIFY(!main.isVisible());
        QCOMPARE(editor.dateBoxes[4]->text(), moved);
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[4].date, moved);
        QCOMPARE(saved.table[4].fired, qint16(moved == date ? 1 : 0));
    }

    void weeklyAndDailyTogetherMoveAWeek()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 0));
        writeEntries(dir, {{0, "03/10/09", "08:00:00", 1, 1, 0, 1}});
        AlarmEditor &editor = app.context.editor();
        // The load leaves one box; a grey daily box beside a checked weekly
        // one is what an edited file can still give.
        AlarmEditor::setBoxValue(editor.weeklyBoxes[0], 1);
        app.context.state.table()[0].fired = 1;
        app.context.mainAlert().acknowledge();
        QCOMPARE(readContents(dir).table[0].date, QStringLiteral("03/17/09"));
    }

    // An alarm fires in its own window; OK there moves every due repeating
    // entry, hides that window and lets it go. The main window is untouched.
    void okInAFurtherWindowMovesEveryDueEntryAndLetsTheWindowGo()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
        writeEntries(dir, {{0, "03/10/09", "09:30:00", 0, 1, 0, 0},
                           {1, "03/10/09", "09:30:00", 1, 0, 0, 0},
                           {2, "03/10/09", "09:30:00", 0, 0, 0, 0}});
        AlertWindow &main = app.context.mainAlert();
        main.show();
        main.messageLabel->setText(QStringLiteral("main stays"));
        main.tick();
        QCOMPARE(app.alerts.shown.size(), 3);

        QPointer<AlertWindow> first = app.alerts.shown.first();
        app.clock.advanceSeconds(60);
        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(first && !first->isVisible());
        QVERIFY(first->messageLabel->text().isEmpty());
        deleteDeferred();
        QVERIFY(first.isNull());

        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[0].date, QStringLiteral("03/17/09"));
        QCOMPARE(saved.table[0].fired, qint16(0));
        QCOMPARE(saved.table[1].date, QStringLiteral("03/11/09"));
        QCOMPARE(saved.table[1].fired, qint16(0));
        QCOMPARE(saved.table[2].date, QStringLiteral("03/10/09"));
        QCOMPARE(saved.table[2].fired, qint16(1));
        QVERIFY(main.isVisible());
        QCOMPARE(main.messageLabel->text(), QStringLiteral("main stays"));
        QVERIFY(app.alerts.shown[1]->isVisible());
    }

    void theCloseBoxAcknowledgesToo()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
        writeEntries(dir, {{0, "03/10/09", "09:30:00", 1, 0, 0, 0}});
        AlertWindow &main = app.context.mainAlert();
        main.tick();
        QPointer<AlertWindow> alert = app.alerts.shown.first();
        QVERIFY(alert->close());
        deleteDeferred();
        QVERIFY(alert.isNull());
        QCOMPARE(readContents(dir).table[0].date, QStringLiteral("03/11/09"));

        // Closing the main window hides it; its clock goes on.
        main.show();
        QVERIFY(main.close());
        QVERIFY(!main.isVisible());
        QVERIFY(main.clockTimer->isActive());
        QCOMPARE(&app.context.mainAlert(), &main);
    }

    void escapeDoesNotCloseAnAlertWindow()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = app.context.mainAlert();
        main.show();
        QTest::keyClick(&main, Qt::Key_Escape);
        QVERIFY(main.isVisible());
    }

    void okWithNothingPendingStillSaves()
    {
        TempCurrentDir dir;
        TestApp app;
        AlertWindow &main = app.context.mainAlert();
        main.show();
        QVERIFY(!dir.exists(AlarmStore::FileName));
        QTest::mouseClick(main.okButton, Qt::LeftButton);
        QVERIFY(!main.isVisible());
        QCOMPARE(dir.read(AlarmStore::FileName).count("\r\n"), 227);
    }

    // With saves failing, the moved entry is held in memory: the next tick
    // does not bring back the old date from the unchanged file.
    void whileSavesFailTheAcknowledgementIsNotUndone()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
        writeEntries(dir, {{0, "03/10/09", "09:30:00", 1, 0, 0, 0}});
        AlertWindow &main = app.context.mainAlert();
        app.context.store.setDeviceFactory(
            [](const QString &) { return std::make_unique<FullDevice>(); });
        main.tick();
        QCOMPARE(app.alerts.shown.size(), 1);
        app.alerts.shown.first()->acknowledge();
        QCOMPARE(app.context.state.table()[0].date, QStringLiteral("03/11/09"));
        main.tick();
        QCOMPARE(app.context.state.table()[0].date, QStringLiteral("03/11/09"));
        QCOMPARE(app.context.state.table()[0].fired, qint16(0));
        QCOMPARE(app.alerts.shown.size(), 1);
        QCOMPARE(app.problems.reported.size(), 1);
    }

    void anUnreadableDateIsNotMovedAndTheOthersAre()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
        writeEntries(dir, {{0, "2/31/2009", "", 1, 0, 0, 1}, {1, "03/10/09", "", 1, 0, 0, 1}});
        AlertWindow &main = app.context.mainAlert();
        app.context.editor();
        app.context.state.table()[0].fired = 1;
        app.context.state.table()[1].fired = 1;
        main.acknowledge();
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[0].date, QStringLiteral("2/31/2009"));
        QCOMPARE(saved.table[1].date, QStringLiteral("03/11/09"));
    }
};

QTEST_MAIN(TestAcknowledge)
#include "tst_acknowledge.moc"
