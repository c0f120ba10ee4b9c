// SPDX-License-Identifier: MIT
// An entry as the command line gives and shows it: which dates and times
// `tikora --add` takes and how they are kept, which rows count as empty,
// and the lines of `tikora --list`.

#include "store/entrytexts.h"

#include <QtTest>

namespace {

// 17 March 2009: the two-digit years of the file run from 1960 to 2059.
const QDate Today(2009, 3, 17);

Entry entryOf(const QString &date, const QString &time, const QString &message, qint16 daily = 0,
              qint16 weekly = 0, qint16 monthly = 0, qint16 fired = 0)
{
    return {date, message, time, daily, weekly, monthly, fired};
}

} // namespace

Q_DECLARE_METATYPE(Repeat)

class TestEntryTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What is typed, and what the file then holds, armed.
    void keepsTheFormsTheProgramWrites_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("storedDate");
        QTest::addColumn<QString>("storedTime");
        QTest::newRow("as the file holds them") << "03/18/09"
                                                << "09:30:00"
                                                << "03/18/09"
                                                << "09:30:00";
        QTest::newRow("short forms") << "3/8/09"
                                     << "9:30"
                                     << "03/08/09"
                                     << "09:30:00";
        QTest::newRow("a four-digit year, PM") << "3/18/2009"
                                               << "3:00 PM"
                                               << "03/18/09"
                                               << "15:00:00";
        QTest::newRow("a month by name") << "March 20, 2009"
                                         << "12:05 am"
                                         << "03/20/09"
                                         << "00:05:00";
        QTest::newRow("no year: this year") << "12/24"
                                            << "18:00:30"
                                            << "12/24/09"
                                            << "18:00:30";
        QTest::newRow("spaces around") << " 3/18/09 "
                                       << " 9:30 "
                                       << "03/18/09"
                                       << "09:30:00";
        QTest::newRow("the window's first year") << "1/1/1960"
                                                 << "0:00"
                                                 << "01/01/60"
                                                 << "00:00:00";
        QTest::newRow("the window's last year") << "12/31/2059"
                                                << "23:59:59"
                                                << "12/31/59"
                                                << "23:59:59";
        QTest::newRow("a day gone by") << "3/16/09"
                                       << "7:00"
                                       << "03/16/09"
                                       << "07:00:00";
    }

    void keepsTheFormsTheProgramWrites()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, storedDate);
        QFETCH(QString, storedTime);
        const auto checked = EntryTexts::check(
            {date, time, QStringLiteral("Dentist, room \"4\""), Repeat::None}, Today);
        if (const auto *problem = std::get_if<EntryTexts::Problem>(&checked))
            QFAIL(qPrintable(problem->text));
        QCOMPARE(std::get<Entry>(checked),
                 entryOf(storedDate, storedTime, QStringLiteral("Dentist, room \"4\"")));
    }

    void refusesWhatIsNoDayOrTimeOfDay_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no date") << ""
                                 << "9:30"
                                 << "m"
                                 << "the date is empty: give a day, such as 03/17/09 or "
                                    "\"March 17, 2009\"";
        QTest::newRow("no such day") << "2/30/09"
                                     << "9:30"
                                     << "m"
                                     << "the date '2/30/09' is not a day, such as 03/17/09 or "
                                        "\"March 17, 2009\"";
        QTest::newRow("month 13") << "13/45/09"
                                  << "9:30"
                                  << "m"
                                  << "the date '13/45/09' is not a day, such as 03/17/09 or "
                                     "\"March 17, 2009\"";
        QTest::newRow("a word") << "tomorrow"
                                << "9:30"
                                << "m"
                                << "the date 'tomorrow' is not a day, such as 03/17/09 or "
                                   "\"March 17, 2009\"";
        QTest::newRow("spaces only") << "   "
                                     << "9:30"
                                     << "m"
                                     << "the date '   ' is not a day, such as 03/17/09 or "
                                        "\"March 17, 2009\"";
        // The editor's OK lets a time pass as a date; kept as "mm/dd/yy" it
        // would be 30 Dec 1899, read back as 2099.
        QTest::newRow("a time as the date") << "9:30"
                                            << "9:30"
                                            << "m"
                                            << "the date '9:30' is not a day, such as 03/17/09 "
                                               "or \"March 17, 2009\"";
        QTest::newRow("a date with a time") << "3/18/09 9:30"
                                            << "9:30"
                                            << "m"
                                            << "the date '3/18/09 9:30' holds a time of day: "
                                               "give the time apart";
        // Two-digit years in the file: 2060 would come back as 1960.
        QTest::newRow("past the window") << "1/1/2060"
                                         << "9:30"
                                         << "m"
                                         << "the date '1/1/2060' is too far from today: the "
                                            "data file holds the years 1960 to 2059";
        QTest::newRow("before the window") << "12/31/1959"
                                           << "9:30"
                                           << "m"
                                           << "the date '12/31/1959' is too far from today: "
                                              "the data file holds the years 1960 to 2059";
        QTest::newRow("no time") << "3/18/09"
                                 << ""
                                 << "m"
                                 << "the time is empty: give a time of day, such as 09:30 or "
                                    "\"3:00 PM\"";
        QTest::newRow("hour 25") << "3/18/09"
                                 << "25:00"
                                 << "m"
                                 << "the time '25:00' is not a time of day, such as 09:30 or "
                                    "\"3:00 PM\"";
        QTest::newRow("a date as the time") << "3/18/09"
                                            << "3/18/09"
                                            << "m"
                                            << "the time '3/18/09' is not a time of day, such "
                                               "as 09:30 or \"3:00 PM\"";
        QTest::newRow("a date and time as the time")
            << "3/18/09"
            << "3/18/09 9:30"
            << "m"
            << "the time '3/18/09 9:30' is not a time of day, such as 09:30 or \"3:00 PM\"";
        // One line a text in the file: a line break would shift every line.
        QTest::newRow("a message of two lines") << "3/18/09"
                                                << "9:30"
                                                << "one\ntwo"
                                                << "the message must be one line";
        QTest::newRow("a carriage return") << "3/18/09"
                                           << "9:30"
                                           << "one\rtwo"
                                           << "the message must be one line";
    }

    void refusesWhatIsNoDayOrTimeOfDay()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, message);
        QFETCH(QString, problem);
        const auto checked = EntryTexts::check({date, time, message, Repeat::Daily}, Today);
        QVERIFY(std::holds_alternative<EntryTexts::Problem>(checked));
        QCOMPARE(std::get<EntryTexts::Problem>(checked).text, problem);
    }

    void setsTheOneRepeatBox_data()
    {
        QTest::addColumn<Repeat>("repeat");
        QTest::addColumn<int>("daily");
        QTest::addColumn<int>("weekly");
        QTest::addColumn<int>("monthly");
        QTest::newRow("once") << Repeat::None << 0 << 0 << 0;
        QTest::newRow("daily") << Repeat::Daily << 1 << 0 << 0;
        QTest::newRow("weekly") << Repeat::Weekly << 0 << 1 << 0;
        QTest::newRow("monthly") << Repeat::Monthly << 0 << 0 << 1;
    }

    void setsTheOneRepeatBox()
    {
        QFETCH(Repeat, repeat);
        QFETCH(int, daily);
        QFETCH(int, weekly);
        QFETCH(int, monthly);
        const auto checked = EntryTexts::check(
            {QStringLiteral("3/18/09"), QStringLiteral("9:30"), {}, repeat}, Today);
        QCOMPARE(std::get<Entry>(checked),
                 entryOf(QStringLiteral("03/18/09"), QStringLiteral("09:30:00"), QString(),
                         qint16(daily), qint16(weekly), qint16(monthly), 0));
    }

    void repeatsGoByName()
    {
        QCOMPARE(EntryTexts::repeatNamed(QStringLiteral("weekly")), Repeat::Weekly);
        QCOMPARE(EntryTexts::repeatNamed(QStringLiteral("once")), Repeat::None);
        QCOMPARE(EntryTexts::repeatNamed(QStringLiteral("Weekly")), std::nullopt);
        QCOMPARE(EntryTexts::repeatNamed(QString()), std::nullopt);
    }

    // Only a row with no date, no message and no time is empty: a message
    // alone holds something, a repeat box or fired flag alone does not.
    void theFirstEmptyRowHoldsNoText_data()
    {
        QTest::addColumn<int>("filled"); // rows 0 to filled - 1 hold something
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("expected"); // -1: none
        QTest::newRow("an empty table") << 0 << "date" << 0;
        QTest::newRow("after dated rows") << 5 << "date" << 5;
        QTest::newRow("after a message alone") << 3 << "message" << 3;
        QTest::newRow("after a time alone") << 1 << "time" << 1;
        QTest::newRow("after a repeat box alone") << 4 << "daily" << 0;
        QTest::newRow("the last row") << 31 << "date" << 31;
        QTest::newRow("a full table") << 32 << "message" << -1;
    }

    void theFirstEmptyRowHoldsNoText()
    {
        QFETCH(int, filled);
        QFETCH(QString, field);
        QFETCH(int, expected);
        AlarmTable table = AlarmTable::cleared();
        for (int slot = 0; slot < filled; ++slot) {
            Entry &entry = table[slot];
            if (field == u"date")
                entry.date = QStringLiteral("03/18/09");
            else if (field == u"message")
                entry.message = QStringLiteral(" ");
            else if (field == u"time")
                entry.time = QStringLiteral("09:30:00");
            else
                entry.repeat.daily = 1;
        }
        const std::optional<int> slot = EntryTexts::firstEmptySlot(table);
        QCOMPARE(slot.value_or(-1), expected);
    }

    // Six fields apart by tabs; the repeat as the acknowledgement reads the
    // boxes (exactly 1 counts; weekly, then daily, then monthly).
    void listsARowOnALine_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("line");
        QTest::newRow("weekly, armed")
            << 0 << entryOf("03/18/09", "09:30:00", "Team meeting, room 4", 0, 1, 0, 0)
            << "1\t03/18/09\t09:30:00\tweekly\tarmed\tTeam meeting, room 4";
        QTest::newRow("once, fired") << 31 << entryOf("03/17/09", "07:00:00", "Pills", 0, 0, 0, 1)
                                     << "32\t03/17/09\t07:00:00\tonce\tfired\tPills";
        QTest::newRow("weekly wins over daily")
            << 4 << entryOf("03/18/09", "09:30:00", "m", 1, 1, 1, 0)
            << "5\t03/18/09\t09:30:00\tweekly\tarmed\tm";
        QTest::newRow("daily over monthly") << 4 << entryOf("03/18/09", "09:30:00", "m", 1, 0, 1, 0)
                                            << "5\t03/18/09\t09:30:00\tdaily\tarmed\tm";
        QTest::newRow("monthly") << 4 << entryOf("03/18/09", "09:30:00", "m", 0, 0, 1, 0)
                                 << "5\t03/18/09\t09:30:00\tmonthly\tarmed\tm";
        QTest::newRow("a grey box is no repeat")
            << 4 << entryOf("03/18/09", "09:30:00", "m", 2, 2, 2, 0)
            << "5\t03/18/09\t09:30:00\tonce\tarmed\tm";
        QTest::newRow("a message alone, texts as they stand")
            << 9 << entryOf("", "", "  Tabs\tstay  ", 0, 0, 0, 7)
            << "10\t\t\tonce\tfired\t  Tabs\tstay  ";
        QTest::newRow("texts typed by hand") << 2 << entryOf("3/18", "9:30", "%1 %2", 0, 0, 0, 0)
                                             << "3\t3/18\t9:30\tonce\tarmed\t%1 %2";
    }

    void listsARowOnALine()
    {
        QFETCH(int, slot);
        QFETCH(Entry, entry);
        QFETCH(QString, line);
        QCOMPARE(EntryTexts::line(slot, entry), line);
    }
};

Q_DECLARE_METATYPE(Entry)

QTEST_GUILESS_MAIN(TestEntryTexts)
#include "tst_entrytexts.moc"
