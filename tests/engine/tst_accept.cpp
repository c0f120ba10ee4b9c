// SPDX-License-Identifier: MIT
// The editor's OK, and the unattended one at start-up, without the editor:
// the check of every time and date, the rewrite of a typed time of day,
// which rows are armed again, and what is saved.

#include "support/engineinternals.h"
#include "support/testengine.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString BadTime = QStringLiteral("The TIME you entered was not valid.");
const QString BadDate = QStringLiteral("The DATE you entered was not valid.");

using Field = AlarmEngine::Field;

// A cell "3d 2/30/09": row 3's date (d, m or t).
struct Cell
{
    int row;
    Field field;
    QString text;
    QString key;
};

Cell cellOf(const QString &cell)
{
    const int space = int(cell.indexOf(u' '));
    const QChar f = cell.at(space - 1);
    return {cell.left(space - 1).toInt(),
            f == u'd'   ? Field::Date
            : f == u't' ? Field::Time
                        : Field::Message,
            cell.mid(space + 1), cell.left(space)};
}

// A row's or an entry's text in a field.
template <typename Row> QString textOf(const Row &row, Field field)
{
    return field == Field::Date ? row.date : field == Field::Time ? row.time : row.message;
}

void type(AlarmEngine &engine, const QStringList &cells)
{
    for (const QString &text : cells) {
        const Cell cell = cellOf(text);
        engine.setText(cell.row, cell.field, cell.text);
    }
}

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

    // Only the failing box is emptied, and the editor hears of it; the table
    // keeps what was typed, and nothing is written.
    void checksEveryTimeAndDate()
    {
        QFETCH(QStringList, cells);
        QFETCH(QString, message);
        QFETCH(QString, emptied);

        EngineTest t;
        type(t.engine, cells);
        QSignalSpy changed(&t.engine, &AlarmEngine::rowChanged);
        QCOMPARE(t.engine.acceptEdits(), message.isEmpty());
        QCOMPARE(t.boxes.shown, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(t.dir.exists(AlarmStore::FileName), message.isEmpty());
        QCOMPARE(changed.size(), emptied.isEmpty() ? 0 : 1);
        for (const QString &text : cells) {
            const Cell cell = cellOf(text);
            QCOMPARE(textOf(t.engine.row(cell.row), cell.field),
                     cell.key == emptied ? QString() : cell.text);
            QCOMPARE(textOf(t.engine.table()[cell.row], cell.field), cell.text);
        }
    }

    void theNextPressReportsTheNextBadField()
    {
        EngineTest t;
        type(t.engine, {QStringLiteral("2d abc"), QStringLiteral("2t xyz")});
        QVERIFY(!t.engine.acceptEdits());
        QCOMPARE(t.boxes.shown, QStringList{BadTime});
        QCOMPARE(t.engine.row(2).date, QStringLiteral("abc"));
        QVERIFY(!t.engine.acceptEdits());
        QCOMPARE(t.boxes.shown, (QStringList{BadTime, BadDate}));
        QVERIFY(t.engine.row(2).date.isEmpty());
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.boxes.shown.size(), 2);
    }

    void successCopiesTheRowsAndTheSoundAndSaves()
    {
        EngineTest t;
        t.clock.setLocal(QDate(2009, 6, 15), QTime(8, 0));
        type(t.engine, {QStringLiteral("0d 6/20/09"), QStringLiteral("0m Dentist, 2nd floor"),
                        QStringLiteral("0t 14:30:00"), QStringLiteral("31m last row")});
        t.engine.setRepeat(0, Repeat::Weekly, 1);
        t.engine.setSound({false, true, false, false});
        QVERIFY(t.engine.acceptEdits());

        const AlarmTable &table = t.engine.table();
        QCOMPARE(t.engine.nowDate(), QStringLiteral("06/15/09"));
        QCOMPARE(table[0].date, QStringLiteral("6/20/09"));
        QCOMPARE(table[0].message, QStringLiteral("Dentist, 2nd floor"));
        QCOMPARE(table[0].time, QStringLiteral("14:30:00"));
        QCOMPARE(table[0].repeat.weekly, qint16(1));
        QCOMPARE(table[31].message, QStringLiteral("last row"));
        QCOMPARE(t.engine.fileContents().sound, (SoundChoice{false, true, false, false}));

        const FileContents saved = t.saved();
        QVERIFY(saved.table == table);
        QCOMPARE(saved.table[0].fired, qint16(0));
        QCOMPARE(saved.sound, (SoundChoice{false, true, false, false}));
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
        EngineTest t;
        t.engine.setText(8, Field::Time, typed);
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.engine.row(8).time, stored);
        QCOMPARE(t.engine.table()[8].time, stored);
        QCOMPARE(t.saved().table[8].time, stored);
    }

    // A fired entry given a new date or time by hand fires again; one left
    // alone, cleared, or given the same time in another form, does not.
    void typedEditsArmTheirRows()
    {
        FileContents c = contentsWith({});
        for (int slot : {1, 2, 3, 4, 5})
            setEntry(c, {slot, "06/15/09", "08:00:00", 0, 0, 0, 1, "fired"});
        EngineTest t(c);
        t.engine.setText(1, Field::Time, QStringLiteral("20:00:00"));
        t.engine.setText(2, Field::Message, QStringLiteral("fired again"));
        t.engine.clearRow(3);
        t.engine.setText(4, Field::Date, QStringLiteral("06/16/09"));
        t.engine.setText(5, Field::Time, QStringLiteral("8 AM"));
        QVERIFY(t.engine.acceptEdits());

        FileContents saved = t.saved();
        QCOMPARE(saved.table[1].fired, qint16(0));
        QCOMPARE(saved.table[2].fired, qint16(1));
        QCOMPARE(saved.table[3].fired, qint16(1));
        QCOMPARE(saved.table[4].fired, qint16(0));
        QCOMPARE(saved.table[5].fired, qint16(1));
        QCOMPARE(saved.table[5].time, QStringLiteral("08:00:00"));

        // While the editor is hidden an entry is moved on to its next date
        // and fires there: showing the editor and pressing OK leaves it be.
        t.engine.setText(2, Field::Date, QStringLiteral("06/22/09"));
        EngineInternals::state(t.engine).table()[2].fired = 1;
        t.engine.rememberShownTexts();
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.saved().table[2].fired, qint16(1));
    }

    // Nothing was written: the rows stay as they are, and the user is told
    // in a box rather than by the problem reporter.
    void aFailedSaveKeepsTheRows()
    {
        EngineTest t;
        t.failSaves();
        t.engine.setText(0, Field::Message, QStringLiteral("not lost"));
        QVERIFY(!t.engine.acceptEdits());
        QCOMPARE(t.boxes.shown, QStringList{AlarmStore::saveFailureText(
                                    QStringLiteral("No space left on device"))});
        QVERIFY(t.problems.reported.isEmpty());
        QCOMPARE(t.engine.row(0).message, QStringLiteral("not lost"));

        EngineInternals::store(t.engine).setDeviceFactory(
            [](const QString &path) { return std::make_unique<QFile>(path); });
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.saved().table[0].message, QStringLiteral("not lost"));
    }

    // The editor's OK always says its save failed; the unattended accept at
    // start-up only when no box or balloon has said so yet (an alarm that
    // rang in the first moments, whose save failed the same way).
    void theStartUpAcceptTellsAFailedSaveOnce()
    {
        EngineTest t(contentsWith({{1, "03/10/09", "08:00:00"}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 0));
        t.failSaves();
        const QString told = AlarmStore::saveFailureText(QStringLiteral("No space left on device"));
        t.tick();
        QCOMPARE(t.problems.reported, QStringList{told});
        QVERIFY(!t.engine.acceptAtStartUp());
        QVERIFY(t.boxes.shown.isEmpty());
        QVERIFY(!t.engine.acceptEdits());
        QCOMPARE(t.boxes.shown, QStringList{told});

        EngineTest first;
        first.failSaves();
        QVERIFY(!first.engine.acceptAtStartUp());
        QCOMPARE(first.boxes.shown, QStringList{told});
    }

    // A one-off entry that went off yesterday, its time typed by hand: the
    // start-up press stores the time as "09:30:00" and the entry stays fired.
    void theStartUpPressDoesNotRingAFiredEntryAgain()
    {
        EngineTest t(contentsWith({{5, "03/09/09", "9:30", 0, 0, 0, 1}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(10, 0));
        QVERIFY(t.engine.acceptEdits());
        t.tick();

        QVERIFY(t.windows.messages.isEmpty());
        QVERIFY(t.sound.calls.isEmpty());
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[5].time, QStringLiteral("09:30:00"));
        QCOMPARE(saved.table[5].fired, qint16(1));
    }

    // A bad text in the file is reported and emptied at start-up, nothing is
    // saved by the press; a tick inside the box saves the rows as they are.
    void theStartUpPressOverABadTimeInTheFile()
    {
        EngineTest t(contentsWith({{9, "06/15/09", "9 o'clock", 0, 0, 0, 0, ""}}));
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        QByteArray savedInside;
        t.boxes.whileOpen = [&](const QString &) {
            QVERIFY(t.engine.save().ok);
            savedInside = t.dir.read(AlarmStore::FileName);
        };
        QVERIFY(!t.engine.acceptEdits());
        QCOMPARE(t.boxes.shown, QStringList{BadTime});
        QVERIFY(t.engine.row(9).time.isEmpty());
        QVERIFY(savedInside != before);
        QVERIFY(savedInside.contains("\"06/15/09\"\r\n\"\"\r\n\"\"\r\n"));

        t.boxes.whileOpen = nullptr;
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.boxes.shown.size(), 1);
    }

    // Inch marks: a quote followed by a comma inside a message. The start-up
    // press and the tick read the file whole: no problem box, the whole text
    // in the alert, and the entry after it kept.
    void aMessageWithInchMarksFiresWhole()
    {
        const QString inches = QStringLiteral("shelf 30\", wall 40\"");
        EngineTest t(contentsWith(
            {{1, "03/10/09", "09:30:00", 0, 0, 0, 0, inches}, {2, "03/11/09", "07:00:00", 0, 1}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
        QVERIFY(t.engine.acceptEdits());
        t.tick();

        QVERIFY(t.boxes.shown.isEmpty());
        QCOMPARE(t.windows.messages, QStringList{inches});
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[1].message, inches);
        QCOMPARE(saved.table[1].fired, qint16(1));
        QCOMPARE(saved.table[2].message, QStringLiteral("slot 2"));
        QCOMPARE(saved.table[2].repeat.weekly, qint16(1));
        QCOMPARE(saved.table[2].fired, qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestAccept)
#include "tst_accept.moc"
