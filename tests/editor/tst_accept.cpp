// SPDX-License-Identifier: MIT
#include "store/datafile.h"
#include "support/entries.h"
#include "support/fulldevice.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

const QString BadTime = QStringLiteral("The TIME you entered was not valid.");
const QString BadDate = QStringLiteral("The DATE you entered was not valid.");

FileContents withBanners()
{
    FileContents c;
    c.banner1 = DefaultBanner1;
    c.banner2 = DefaultBanner2;
    return c;
}

QLineEdit *box(AlarmEditor &editor, int row, QChar field)
{
    if (field == u'd')
        return editor.dateBoxes[row];
    if (field == u't')
        return editor.timeBoxes[row];
    return editor.messageBoxes[row];
}

// Types "row field text" cells ("3d 2/30/09": row 3's date) into the rows.
void typeCells(AlarmEditor &editor, const QStringList &cells)
{
    for (const QString &cell : cells) {
        const int space = cell.indexOf(u' ');
        const int row = cell.left(space - 1).toInt();
        QTest::keyClicks(box(editor, row, cell.at(space - 1)), cell.mid(space + 1));
    }
}

// An editor shown from the menus: the main clock is off while it is open.
struct ShownEditor
{
    TempCurrentDir dir;
    TestApp app;
    AlarmEditor &editor;
    QTimer *mainClock;

    ShownEditor() : editor(app.context.editor()), mainClock(app.context.mainAlert().clockTimer)
    {
        mainClock->stop();
        editor.show();
    }

    // Enter in a row's text box presses OK.
    void pressEnter() { QTest::keyClick(editor.messageBoxes[0], Qt::Key_Return); }
};

} // namespace

class TestAccept : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checksEveryTimeAndDate_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("emptied"); // the box the failure empties

        QTest::newRow("all empty") << QStringList() << QString() << QString();
        QTest::newRow("a message alone")
            << QStringList{QStringLiteral("2m call home")} << QString() << QString();
        QTest::newRow("25:00") << QStringList{QStringLiteral("0t 25:00")} << BadTime
                               << QStringLiteral("0t");
        QTest::newRow("row 3 date before row 5 time")
            << QStringList{QStringLiteral("5t 9:75"), QStringLiteral("3d 2/30/09"),
                           QStringLiteral("3t 10:00:00")}
            << BadDate << QStringLiteral("3d");
        QTest::newRow("time before date in a row")
            << QStringList{QStringLiteral("4d someday"), QStringLiteral("4t noon")} << BadTime
            << QStringLiteral("4t");
        QTest::newRow("a date in a time box, a time in a date box")
            << QStringList{QStringLiteral("1t 1/2/07"), QStringLiteral("1d 3:00 PM")} << QString()
            << QString();
        QTest::newRow("spaces only")
            << QStringList{QStringLiteral("6d    ")} << BadDate << QStringLiteral("6d");
        QTest::newRow("impossible date")
            << QStringList{QStringLiteral("7d 2/29/09")} << BadDate << QStringLiteral("7d");
    }

    void checksEveryTimeAndDate()
    {
        QFETCH(QStringList, cells);
        QFETCH(QString, message);
        QFETCH(QString, emptied);

        ShownEditor shown;
        AlarmEditor &editor = shown.editor;
        typeCells(editor, cells);
        shown.pressEnter();

        const AlarmTable &table = shown.app.context.state.table();
        if (message.isEmpty()) {
            QVERIFY(shown.app.boxes.shown.isEmpty());
            QVERIFY(!editor.isVisible());
            QVERIFY(shown.mainClock->isActive());
            QVERIFY(shown.dir.exists(AlarmStore::FileName));
            // Texts pass unchanged (none here is a bare time of day).
            for (const QString &cell : cells) {
                const int space = cell.indexOf(u' ');
                const int row = cell.left(space - 1).toInt();
                QCOMPARE(box(editor, row, cell.at(space - 1))->text(), cell.mid(space + 1));
            }
            return;
        }
        QCOMPARE(shown.app.boxes.shown, QStringList{message});
        QVERIFY(editor.isVisible());
        QVERIFY(!shown.mainClock->isActive());
        QVERIFY(!shown.dir.exists(AlarmStore::FileName));
        // Only the failing box is emptied; the table keeps what it held.
        for (const QString &cell : cells) {
            const int space = cell.indexOf(u' ');
            const QString key = cell.left(space);
            const int row = key.chopped(1).toInt();
            const QString text = box(editor, row, key.back())->text();
            if (key == emptied) {
                QVERIFY(text.isEmpty());
                const QString &held = key.back() == u'd' ? table[row].date : table[row].time;
                QCOMPARE(held, cell.mid(space + 1));
            } else {
                QVERIFY(!text.isEmpty());
            }
        }
    }

    void theNextPressReportsTheNextBadField()
    {
        ShownEditor shown;
        typeCells(shown.editor, {QStringLiteral("2d abc"), QStringLiteral("2t xyz")});
        shown.pressEnter();
        QCOMPARE(shown.app.boxes.shown, QStringList{BadTime});
        QCOMPARE(shown.editor.dateBoxes[2]->text(), QStringLiteral("abc"));
        shown.pressEnter();
        QCOMPARE(shown.app.boxes.shown, (QStringList{BadTime, BadDate}));
        QVERIFY(shown.editor.dateBoxes[2]->text().isEmpty());
        shown.pressEnter();
        QVERIFY(!shown.editor.isVisible());
        QCOMPARE(shown.app.boxes.shown.size(), 2);
    }

    void successCopiesTheRowsAndTheSoundAndSaves()
    {
        ShownEditor shown;
        TestApp &app = shown.app;
        AlarmEditor &editor = shown.editor;
        app.clock.setLocal(QDate(2009, 6, 15), QTime(8, 0));
        typeCells(editor, {QStringLiteral("0d 6/20/09"), QStringLiteral("0m Dentist, 2nd floor"),
                           QStringLiteral("0t 14:30:00"), QStringLiteral("31m last row")});
        QTest::mouseClick(editor.weeklyBoxes[0], Qt::LeftButton);
        QTest::mouseClick(editor.alert1Button, Qt::LeftButton);
        QTest::keyClick(editor.timeBoxes[0], Qt::Key_Enter);

        const AlarmTable &table = app.context.state.table();
        QCOMPARE(app.context.state.nowDate, QStringLiteral("06/15/09"));
        QCOMPARE(table[0].date, QStringLiteral("6/20/09"));
        QCOMPARE(table[0].message, QStringLiteral("Dentist, 2nd floor"));
        QCOMPARE(table[0].time, QStringLiteral("14:30:00"));
        QCOMPARE(table[0].weekly, qint16(1));
        QCOMPARE(table[31].message, QStringLiteral("last row"));
        QCOMPARE(app.context.state.file.sound, (SoundChoice{false, true, false, false}));

        const FileContents saved = readContents(shown.dir);
        QVERIFY(saved.table == table);
        QCOMPARE(saved.table[0].fired, qint16(0));
        QCOMPARE(saved.sound, (SoundChoice{false, true, false, false}));
        QVERIFY(!editor.isVisible());
        QVERIFY(shown.mainClock->isActive());
    }

    void typedTimesOfDayAreStoredAsClockTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("short") << QStringLiteral("9:30") << QStringLiteral("09:30:00");
        QTest::newRow("leading space") << QStringLiteral(" 09:30:00") << QStringLiteral("09:30:00");
        QTest::newRow("PM") << QStringLiteral("3 PM") << QStringLiteral("15:00:00");
        QTest::newRow("dot") << QStringLiteral("12.50") << QStringLiteral("12:50:00");
        QTest::newRow("with a date")
            << QStringLiteral("1/2/07 3 PM") << QStringLiteral("1/2/07 3 PM");
        QTest::newRow("a date alone") << QStringLiteral("1/2/07") << QStringLiteral("1/2/07");
    }

    void typedTimesOfDayAreStoredAsClockTexts()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        ShownEditor shown;
        QTest::keyClicks(shown.editor.timeBoxes[8], typed);
        shown.pressEnter();
        QVERIFY(!shown.editor.isVisible());
        QCOMPARE(shown.editor.timeBoxes[8]->text(), stored);
        QCOMPARE(shown.app.context.state.table()[8].time, stored);
        QCOMPARE(readContents(shown.dir).table[8].time, stored);
    }

    // A fired entry given a new date or time by hand fires again; one left
    // alone, cleared, or given the same time in another form, does not.
    void typedEditsArmTheirRows()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        for (int slot : {1, 2, 3, 4, 5}) {
            c.table[slot].date = QStringLiteral("06/15/09");
            c.table[slot].message = QStringLiteral("fired");
            c.table[slot].time = QStringLiteral("08:00:00");
            c.table[slot].fired = 1;
        }
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        AlarmEditor &editor = app.context.editor();
        editor.show();

        editor.timeBoxes[1]->selectAll();
        QTest::keyClicks(editor.timeBoxes[1], QStringLiteral("20:00:00"));
        QTest::keyClicks(editor.messageBoxes[2], QStringLiteral(" again"));
        QTest::mouseClick(editor.clearButtons[3], Qt::LeftButton);
        editor.dateBoxes[4]->selectAll();
        QTest::keyClicks(editor.dateBoxes[4], QStringLiteral("06/16/09"));
        editor.timeBoxes[5]->selectAll();
        QTest::keyClicks(editor.timeBoxes[5], QStringLiteral("8 AM"));
        QTest::keyClick(editor.messageBoxes[0], Qt::Key_Return);

        QVERIFY(!editor.isVisible());
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[1].fired, qint16(0));
        QCOMPARE(saved.table[2].fired, qint16(1));
        QCOMPARE(saved.table[3].fired, qint16(1));
        QCOMPARE(saved.table[4].fired, qint16(0));
        QCOMPARE(saved.table[5].fired, qint16(1));
        QCOMPARE(saved.table[5].time, QStringLiteral("08:00:00"));

        // While the editor is hidden an entry is moved on to its next date
        // and fires there: showing the editor and pressing OK leaves it be.
        editor.dateBoxes[2]->setText(QStringLiteral("06/22/09"));
        app.context.state.table()[2].fired = 1;
        editor.show();
        QTest::keyClick(editor.messageBoxes[0], Qt::Key_Return);
        QVERIFY(!editor.isVisible());
        QCOMPARE(readContents(dir).table[2].fired, qint16(1));
    }

    void aFailedSaveKeepsTheEditorOpen()
    {
        ShownEditor shown;
        shown.app.context.store.setDeviceFactory(
            [](const QString &) { return std::make_unique<FullDevice>(); });
        QTest::keyClicks(shown.editor.messageBoxes[0], QStringLiteral("not lost"));
        shown.pressEnter();
        QCOMPARE(shown.app.boxes.shown, QStringList{AlarmStore::saveFailureText(
                                            QStringLiteral("No space left on device"))});
        QVERIFY(shown.app.problems.reported.isEmpty());
        QVERIFY(shown.editor.isVisible());
        QVERIFY(!shown.mainClock->isActive());
        QCOMPARE(shown.editor.messageBoxes[0]->text(), QStringLiteral("not lost"));

        shown.app.context.store.setDeviceFactory(
            [](const QString &path) { return std::make_unique<QFile>(path); });
        shown.pressEnter();
        QVERIFY(!shown.editor.isVisible());
        QCOMPARE(readContents(shown.dir).table[0].message, QStringLiteral("not lost"));
    }

    // A one-off entry that went off yesterday, its time typed by hand: the
    // start-up press stores the time as "09:30:00" and the entry stays fired.
    void theStartUpPressDoesNotRingAFiredEntryAgain()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(10, 0));
        writeEntries(dir, {{5, "03/09/09", "9:30", 0, 0, 0, 1}});
        app.context.editor().acceptButton->click();
        app.context.mainAlert().tick();

        QVERIFY(app.alerts.shown.isEmpty());
        QVERIFY(app.sound.calls.isEmpty());
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[5].time, QStringLiteral("09:30:00"));
        QCOMPARE(saved.table[5].fired, qint16(1));
    }

    // The unattended press at start-up: the editor is hidden and the main
    // clock runs. A bad text in the file is reported and emptied, nothing is
    // saved; a tick inside the box saves the rows as they are.
    void theStartUpPressOverTheHiddenEditor()
    {
        TempCurrentDir dir;
        TestApp app;
        FileContents c = withBanners();
        c.table[9].date = QStringLiteral("06/15/09");
        c.table[9].time = QStringLiteral("9 o'clock");
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        const QByteArray before = dir.read(AlarmStore::FileName);
        AlarmEditor &editor = app.context.editor();
        QTimer *mainClock = app.context.mainAlert().clockTimer;

        QByteArray savedInside;
        app.boxes.whileOpen = [&](const QString &) {
            QVERIFY(editor.save().ok);
            savedInside = dir.read(AlarmStore::FileName);
        };
        editor.acceptButton->click();
        QCOMPARE(app.boxes.shown, QStringList{BadTime});
        QVERIFY(!editor.isVisible());
        QVERIFY(mainClock->isActive());
        QVERIFY(editor.timeBoxes[9]->text().isEmpty());
        QVERIFY(savedInside != before);
        QVERIFY(savedInside.contains("\"06/15/09\"\r\n\"\"\r\n\"\"\r\n"));

        app.boxes.whileOpen = nullptr;
        editor.acceptButton->click();
        QCOMPARE(app.boxes.shown.size(), 1);
        QVERIFY(mainClock->isActive());
        QVERIFY(!editor.isVisible());
    }
};

QTEST_MAIN(TestAccept)
#include "tst_accept.moc"
