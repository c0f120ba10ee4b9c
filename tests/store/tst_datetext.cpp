// SPDX-License-Identifier: MIT
#include "store/datetext.h"

#include <QLocale>
#include <QProcess>
#include <QTest>

using DateText::Value;

namespace {

// The clock label is the one text that follows the system locale. Qt reads the
// system locale from the environment once, the first time it is asked, so pin
// it before anything in the test can ask: US English, or the locale a parent
// run asks for when it checks a row under another locale.
const QByteArray childLocaleVariable = QByteArrayLiteral("TIKORA_TEST_LOCALE");
const QByteArray pinnedLocale = qEnvironmentVariableIsSet(childLocaleVariable.constData())
                                    ? qgetenv(childLocaleVariable.constData())
                                    : QByteArrayLiteral("en_US.UTF-8");
const bool localePinned = qputenv("LC_ALL", pinnedLocale);

QDate in2009()
{
    return QDate(2009, 6, 15);
}

} // namespace

class TestDateText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsDates_data();
    void readsDates();
    void readsTimes_data();
    void readsTimes();
    void readsDateAndTime_data();
    void readsDateAndTime();
    void twoDigitYearWindow_data();
    void twoDigitYearWindow();
    void rejects_data();
    void rejects();
    void ordersTimeOnlyBeforeDates();
    void formatsDates_data();
    void formatsDates();
    void formatsTimes_data();
    void formatsTimes();
    void formatsEveryTimeOfDayAndDateWithTwoDigitFields();
    void showsSystemTimeWithSeconds_data();
    void showsSystemTimeWithSeconds();
};

void TestDateText::readsDates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("expected");

    const QDate today = in2009();
    const QDate jan2 = QDate(2007, 1, 2);
    const QDate mar17 = QDate(2009, 3, 17);
    const QDate mar3 = QDate(2009, 3, 3);

    // Three numbers: month-day-year, then day-month-year, then year-month-day.
    QTest::newRow("m/d/yy") << "1/2/07" << today << jan2;
    QTest::newRow("12/25/09") << "12/25/09" << today << QDate(2009, 12, 25);
    QTest::newRow("m/d/yyyy") << "3/17/2009" << today << mar17;
    QTest::newRow("m-d-yyyy") << "3-17-2009" << today << mar17;
    QTest::newRow("yyyy-mm-dd") << "2009-03-17" << today << mar17;
    QTest::newRow("yyyy/m/d") << "2009/3/17" << today << mar17;
    QTest::newRow("padded with spaces") << "  1/2/07  " << today << jan2;
    QTest::newRow("spaces around slashes") << "1 / 2 / 07" << today << jan2;
    QTest::newRow("commas") << "1,2,2007" << today << jan2;
    QTest::newRow("plain spaces") << "1 2 2007" << today << jan2;
    QTest::newRow("d/m/yyyy when first > 12") << "13/1/2009" << today << QDate(2009, 1, 13);
    QTest::newRow("d/m/yy when first > 12") << "13/1/09" << today << QDate(2009, 1, 13);
    QTest::newRow("25/12/09") << "25/12/09" << today << QDate(2009, 12, 25);
    QTest::newRow("leap day") << "2/29/2008" << today << QDate(2008, 2, 29);
    QTest::newRow("year of three digits") << "1/2/100" << today << QDate(100, 1, 2);
    QTest::newRow("year 9999") << "12/31/9999" << today << QDate(9999, 12, 31);
    // A first number written with three or four digits is a year, even a small one.
    QTest::newRow("yyy/m/d") << "100/2/3" << today << QDate(100, 2, 3);
    QTest::newRow("012/1/5 is year first") << "012/1/5" << today << QDate(2012, 1, 5);
    QTest::newRow("0012/1/2 is year first") << "0012/1/2" << today << QDate(2012, 1, 2);

    // Two numbers: month-day, day-month, then month-year and year-month.
    QTest::newRow("m/d this year") << "3/17" << today << mar17;
    QTest::newRow("d/m this year") << "17/3" << today << mar17;
    QTest::newRow("m/d in another year") << "3/17" << QDate(2031, 1, 1) << QDate(2031, 3, 17);
    QTest::newRow("2/29 in a leap year") << "2/29" << QDate(2008, 5, 5) << QDate(2008, 2, 29);
    QTest::newRow("2/29 otherwise is Feb 2029") << "2/29" << today << QDate(2029, 2, 1);
    QTest::newRow("month/yy") << "3/00" << today << QDate(2000, 3, 1);
    QTest::newRow("month/yyyy") << "3/2009" << today << QDate(2009, 3, 1);
    QTest::newRow("yyyy/month") << "2009/3" << today << QDate(2009, 3, 1);

    // Month names, full or short, any case; weekday names are ignored.
    QTest::newRow("Mar yyyy") << "Mar 2009" << today << QDate(2009, 3, 1);
    QTest::newRow("Month d, yyyy") << "March 3, 2009" << today << mar3;
    QTest::newRow("d Mon yyyy") << "3 Mar 2009" << today << mar3;
    QTest::newRow("d-Mon-yy") << "3-Mar-09" << today << mar3;
    QTest::newRow("with weekday") << "Tuesday, March 3, 2009" << today << mar3;
    QTest::newRow("short weekday, any case") << "tUE mAR 3 2009" << today << mar3;
    QTest::newRow("Mon d this year") << "Mar 5" << today << QDate(2009, 3, 5);
    QTest::newRow("d Month this year") << "5 SEPTEMBER" << today << QDate(2009, 9, 5);
    QTest::newRow("Feb 29 otherwise is Feb 2029") << "Feb 29" << today << QDate(2029, 2, 1);
    QTest::newRow("May is its own short name") << "May 1, 2010" << today << QDate(2010, 5, 1);
}

void TestDateText::readsDates()
{
    QFETCH(QString, text);
    QFETCH(QDate, today);
    QFETCH(QDate, expected);

    const std::optional<Value> value = DateText::parse(text, today);
    QVERIFY2(value.has_value(), qPrintable(text));
    QCOMPARE(value->date, expected);
    QCOMPARE(value->time, QTime(0, 0));
}

void TestDateText::readsTimes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTime>("expected");

    QTest::newRow("3:00 PM") << "3:00 PM" << QTime(15, 0);
    QTest::newRow("15:00") << "15:00" << QTime(15, 0);
    QTest::newRow("3 PM") << "3 PM" << QTime(15, 0);
    QTest::newRow("3PM") << "3PM" << QTime(15, 0);
    QTest::newRow("lone p") << "3 p" << QTime(15, 0);
    QTest::newRow("lone a") << "3a" << QTime(3, 0);
    QTest::newRow("9:30") << "9:30" << QTime(9, 30);
    QTest::newRow("dot separates time") << "12.50" << QTime(12, 50);
    QTest::newRow("3:00:00 AM") << "3:00:00 AM" << QTime(3, 0);
    QTest::newRow("seconds") << "23:59:59" << QTime(23, 59, 59);
    QTest::newRow("0:00") << "0:00" << QTime(0, 0);
    QTest::newRow("12:00 AM") << "12:00 AM" << QTime(0, 0);
    QTest::newRow("12 PM") << "12 PM" << QTime(12, 0);
    QTest::newRow("00:00 PM") << "00:00 PM" << QTime(12, 0);
    QTest::newRow("13:00 AM") << "13:00 AM" << QTime(13, 0);
    QTest::newRow("23:15 PM") << "23:15 PM" << QTime(23, 15);
    QTest::newRow("with weekday") << "Friday 7:45" << QTime(7, 45);
}

void TestDateText::readsTimes()
{
    QFETCH(QString, text);
    QFETCH(QTime, expected);

    const std::optional<Value> value = DateText::parse(text, in2009());
    QVERIFY2(value.has_value(), qPrintable(text));
    QCOMPARE(value->date, QDate(1899, 12, 30));
    QCOMPARE(value->date, DateText::timeOnlyDate());
    QCOMPARE(value->time, expected);
}

void TestDateText::readsDateAndTime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");

    const QDate jan2 = QDate(2007, 1, 2);
    const QDate jan2ThisYear = QDate(2009, 1, 2);

    QTest::newRow("date then h:mm PM") << "1/2/07 3:00 PM" << jan2 << QTime(15, 0);
    QTest::newRow("h:mm PM then date") << "3:00 PM 1/2/07" << jan2 << QTime(15, 0);
    QTest::newRow("date then h PM") << "1/2/07 3 PM" << jan2 << QTime(15, 0);
    QTest::newRow("h PM then date") << "3 PM 1/2/07" << jan2 << QTime(15, 0);
    QTest::newRow("h:mm:ss PM") << "6/30/2011 01:20:34 PM" << QDate(2011, 6, 30)
                                << QTime(13, 20, 34);
    QTest::newRow("year first") << "2013-05-14 02:04:12" << QDate(2013, 5, 14) << QTime(2, 4, 12);
    QTest::newRow("h:mm:ss then date")
        << "13:20:34 6/30/2011" << QDate(2011, 6, 30) << QTime(13, 20, 34);
    QTest::newRow("month name and time") << "Mar 3, 2009 8:05" << QDate(2009, 3, 3) << QTime(8, 5);

    // A date of two numbers beside a time takes this year.
    QTest::newRow("h:mm then m/d") << "3:00 1/2" << jan2ThisYear << QTime(3, 0);
    QTest::newRow("h:mm:ss then m/d") << "3:00:15 1/2" << jan2ThisYear << QTime(3, 0, 15);
    QTest::newRow("m/d then h:mm") << "1/2 3:00" << jan2ThisYear << QTime(3, 0);
    QTest::newRow("m/d then h:mm:ss") << "1/2 3:00:15" << jan2ThisYear << QTime(3, 0, 15);
    QTest::newRow("m/d then h PM") << "1/2 3 PM" << jan2ThisYear << QTime(15, 0);
    QTest::newRow("h AM then m/d") << "11 AM 1/2" << jan2ThisYear << QTime(11, 0);
}

void TestDateText::readsDateAndTime()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QFETCH(QTime, time);

    const std::optional<Value> value = DateText::parse(text, in2009());
    QVERIFY2(value.has_value(), qPrintable(text));
    QCOMPARE(value->date, date);
    QCOMPARE(value->time, time);
}

void TestDateText::twoDigitYearWindow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("currentYear");
    QTest::addColumn<QDate>("expected");

    // In 2026 two digits read as 1977 to 2076.
    QTest::newRow("2026: 30 is 2030") << "1/1/30" << 2026 << QDate(2030, 1, 1);
    QTest::newRow("2026: 76 is 2076, upper edge") << "6/1/76" << 2026 << QDate(2076, 6, 1);
    QTest::newRow("2026: 77 is 1977, lower edge") << "6/1/77" << 2026 << QDate(1977, 6, 1);
    QTest::newRow("2026: 99 is 1999") << "12/31/99" << 2026 << QDate(1999, 12, 31);
    QTest::newRow("2026: 00 is 2000") << "1/1/00" << 2026 << QDate(2000, 1, 1);
    QTest::newRow("2026: 26 is 2026") << "1/1/26" << 2026 << QDate(2026, 1, 1);
    // In 2009: 1960 to 2059.
    QTest::newRow("2009: 59 is 2059") << "1/1/59" << 2009 << QDate(2059, 1, 1);
    QTest::newRow("2009: 60 is 1960") << "1/1/60" << 2009 << QDate(1960, 1, 1);
    // In 2060: 2011 to 2110.
    QTest::newRow("2060: 07 is 2107") << "1/1/07" << 2060 << QDate(2107, 1, 1);
    QTest::newRow("2060: 10 is 2110, upper edge") << "1/1/10" << 2060 << QDate(2110, 1, 1);
    QTest::newRow("2060: 11 is 2011, lower edge") << "1/1/11" << 2060 << QDate(2011, 1, 1);
    // The window goes by the value, wherever a year can stand.
    QTest::newRow("one digit") << "1/1/7" << 2026 << QDate(2007, 1, 1);
    QTest::newRow("year first, four digits") << "0077/1/1" << 2026 << QDate(1977, 1, 1);
    QTest::newRow("month name") << "Jan 1, 77" << 2026 << QDate(1977, 1, 1);
    QTest::newRow("month and year") << "1/77" << 2026 << QDate(1977, 1, 1);
    QTest::newRow("year and month") << "77/1" << 2026 << QDate(1977, 1, 1);
    QTest::newRow("month name and year") << "Jan 77" << 2026 << QDate(1977, 1, 1);
    // Three or more digits are taken as written.
    QTest::newRow("1930 stays") << "1/1/1930" << 2026 << QDate(1930, 1, 1);
    QTest::newRow("2099 stays") << "1/1/2099" << 2026 << QDate(2099, 1, 1);
}

void TestDateText::twoDigitYearWindow()
{
    QFETCH(QString, text);
    QFETCH(int, currentYear);
    QFETCH(QDate, expected);

    const std::optional<Value> value = DateText::parse(text, QDate(currentYear, 7, 1));
    QVERIFY2(value.has_value(), qPrintable(text));
    QCOMPARE(value->date, expected);
}

void TestDateText::rejects_data()
{
    QTest::addColumn<QString>("text");

    // Impossible dates are not re-read in some other order.
    QTest::newRow("2/29/09") << "2/29/09";
    QTest::newRow("2/31/2009") << "2/31/2009";
    QTest::newRow("13/15/2008") << "13/15/2008";
    QTest::newRow("month 0") << "0/5/14";
    QTest::newRow("day 0") << "5/0/14";
    QTest::newRow("year above 9999") << "1/2/10000";
    QTest::newRow("huge number") << "1/2/99999999999999999999";
    QTest::newRow("year first, bad month") << "2009/13/1";
    QTest::newRow("day before month, bad day") << "32/1/2009";
    QTest::newRow("month name, year first") << "2009 Mar 3";
    QTest::newRow("two month names") << "Mar Apr 3";
    QTest::newRow("month name alone") << "March";

    // Dots separate times, never dates.
    QTest::newRow("3.17.2009") << "3.17.2009";
    QTest::newRow("02.01.1970") << "02.01.1970";

    // Words that are not months, weekdays or AM/PM.
    QTest::newRow("Sept") << "Sept 3, 2009";
    QTest::newRow("abc") << "abc";
    QTest::newRow("T") << "T";
    QTest::newRow("noon") << "noon";
    QTest::newRow("Tues") << "Tues 3/17/2009";
    QTest::newRow("a.m.") << "3 a.m.";
    QTest::newRow("M") << "3 M";

    // Times out of range, checked before AM/PM.
    QTest::newRow("25:00") << "25:00";
    QTest::newRow("24:00") << "24:00";
    QTest::newRow("24:00 PM") << "24:00 PM";
    QTest::newRow("12:60") << "12:60";
    QTest::newRow("12.75") << "12.75";
    QTest::newRow("second 60") << "12:00:60";
    QTest::newRow("25 PM") << "25 PM";

    // Field patterns that are not a date or time.
    QTest::newRow("empty") << "";
    QTest::newRow("spaces only") << "   ";
    QTest::newRow("commas only") << " , ,";
    QTest::newRow("one number") << "5";
    QTest::newRow("one year") << "2009";
    QTest::newRow("four times") << "1:2:3:4";
    QTest::newRow("fractional seconds") << "3:00:00.5";
    QTest::newRow("fractional seconds with date") << "2013-05-14 02:04:12.017";
    QTest::newRow("five plain numbers") << "1 2 3 4 5";
    QTest::newRow("four plain numbers") << "1/2/07 3";
    QTest::newRow("seven fields") << "1 2 3 4 5 6 7";
    QTest::newRow("time then one number") << "3:00 5";
    QTest::newRow("one number then time") << "5 3:00";
    QTest::newRow("minutes as a month name") << "3:Mar";

    // AM/PM in the wrong place.
    QTest::newRow("AM/PM first") << "PM 3";
    QTest::newRow("two AM/PM") << "3 PM 4 AM 1/2";
    QTest::newRow("AM/PM on a two-part date") << "1/2 PM";
    QTest::newRow("AM/PM in the middle") << "1 PM 2";
    QTest::newRow("AM/PM on a date beside a time") << "1/2 PM 3:00";
    QTest::newRow("AM/PM after a month name") << "3 Mar PM";
    QTest::newRow("lone P first") << "P";

    // Separators and stray characters.
    QTest::newRow("three date separators") << "1/2/3/4";
    QTest::newRow("third date separator before a time") << "1/2/07-3 PM";
    QTest::newRow("third date separator after a time") << "3:00 - 1/2/07";
    QTest::newRow("trailing comma") << "1/2/07,";
    QTest::newRow("trailing comma and space") << "1/2/07, ";
    QTest::newRow("stray letter") << "1/2/07 x";
    QTest::newRow("sign") << "+1/2/07";
    QTest::newRow("leading slash") << "/1/2/07";
    QTest::newRow("trailing slash") << "1/2/07/";
    QTest::newRow("trailing dash with space") << "1-2 - ";
    QTest::newRow("leading colon") << ":30";
    QTest::newRow("trailing colon") << "3:";
    QTest::newRow("doubled separator") << "3::00";
    QTest::newRow("tab") << "1/2/07\t";
    QTest::newRow("non-ASCII digit") << QString::fromUtf8("\xd9\xa1/2/07");
}

void TestDateText::rejects()
{
    QFETCH(QString, text);

    const std::optional<Value> value = DateText::parse(text, in2009());
    QVERIFY2(!value.has_value(),
             qPrintable(QStringLiteral("\"%1\" read as %2 %3")
                            .arg(text, value ? value->date.toString(Qt::ISODate) : QString(),
                                 value ? value->time.toString(Qt::ISODate) : QString())));
}

void TestDateText::ordersTimeOnlyBeforeDates()
{
    const QDate today = in2009();
    const std::optional<Value> lateTime = DateText::parse("11:59:59 PM", today);
    const std::optional<Value> earlyDate = DateText::parse("1/1/1900", today);
    const std::optional<Value> morning = DateText::parse("1/1/1900 8:00", today);
    QVERIFY(lateTime && earlyDate && morning);

    QVERIFY(*lateTime < *earlyDate);
    QVERIFY(*earlyDate < *morning);
    const std::optional<Value> threePm = DateText::parse("3 PM", today);
    QVERIFY(threePm.has_value());
    QVERIFY(threePm == DateText::parse("15:00:00", today));
}

void TestDateText::formatsDates_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero-padded") << QDate(2009, 3, 7) << "03/07/09";
    QTest::newRow("two-digit fields") << QDate(2011, 12, 25) << "12/25/11";
    QTest::newRow("year 2000") << QDate(2000, 1, 1) << "01/01/00";
    QTest::newRow("last century") << QDate(1999, 12, 31) << "12/31/99";
    QTest::newRow("year modulo 100") << QDate(2076, 6, 1) << "06/01/76";
    QTest::newRow("time-only date") << QDate(1899, 12, 30) << "12/30/99";
}

void TestDateText::formatsDates()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);

    QCOMPARE(DateText::formatDate(date), expected);

    // The text reads back as the same date while the date lies in the window.
    const QDate today(2026, 1, 1);
    if (date.year() > today.year() - 50 && date.year() <= today.year() + 50) {
        const std::optional<Value> back = DateText::parse(expected, today);
        QVERIFY(back.has_value());
        QCOMPARE(back->date, date);
        QCOMPARE(back->time, QTime(0, 0));
    }
}

void TestDateText::formatsTimes_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("afternoon") << QTime(14, 5, 9) << "14:05:09";
    QTest::newRow("midnight") << QTime(0, 0) << "00:00:00";
    QTest::newRow("noon") << QTime(12, 0) << "12:00:00";
    QTest::newRow("last second") << QTime(23, 59, 59) << "23:59:59";
    QTest::newRow("milliseconds dropped") << QTime(9, 30, 1, 999) << "09:30:01";
}

void TestDateText::formatsTimes()
{
    QFETCH(QTime, time);
    QFETCH(QString, expected);

    QCOMPARE(DateText::formatTime(time), expected);

    const std::optional<Value> back = DateText::parse(expected, in2009());
    QVERIFY(back.has_value());
    QCOMPARE(back->date, DateText::timeOnlyDate());
    QCOMPARE(back->time, QTime(time.hour(), time.minute(), time.second()));
}

// Checked against Qt's own formatting, which the program does not use.
void TestDateText::formatsEveryTimeOfDayAndDateWithTwoDigitFields()
{
    for (int second = 0; second < 24 * 60 * 60; ++second) {
        const QTime time = QTime(0, 0).addSecs(second);
        const QString expected = time.toString(u"HH:mm:ss");
        if (DateText::formatTime(time) != expected)
            QFAIL(qPrintable(expected));
    }
    QCOMPARE(DateText::formatTime(QTime()), QString());

    // Four centuries.
    for (QDate date(1800, 1, 1); date <= QDate(2200, 12, 31); date = date.addDays(1)) {
        const QString expected = date.toString(u"MM/dd/yy");
        if (DateText::formatDate(date) != expected)
            QFAIL(qPrintable(expected));
    }
    QCOMPARE(DateText::formatDate(QDate()), QString());
}

void TestDateText::showsSystemTimeWithSeconds_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");

    const QByteArray us = "en_US.UTF-8";
    QTest::newRow("US afternoon") << us << QTime(14, 5, 33) << "2:05:33 PM";
    QTest::newRow("US morning") << us << QTime(9, 7, 5) << "9:07:05 AM";
    QTest::newRow("US midnight") << us << QTime(0, 0) << "12:00:00 AM";
    QTest::newRow("US noon") << us << QTime(12, 0, 1) << "12:00:01 PM";
    // Formats that already have seconds, that put minutes after a dot or a
    // word, or that put AM/PM first.
    QTest::newRow("C") << QByteArray("C.UTF-8") << QTime(14, 5, 33) << "14:05:33";
    QTest::newRow("German") << QByteArray("de_DE.UTF-8") << QTime(14, 5, 33) << "14:05:33";
    QTest::newRow("Finnish") << QByteArray("fi_FI.UTF-8") << QTime(14, 5, 33) << "14.05.33";
    QTest::newRow("Canadian French")
        << QByteArray("fr_CA.UTF-8") << QTime(14, 5, 33) << "14 h 05:33";
    QTest::newRow("Korean") << QByteArray("ko_KR.UTF-8") << QTime(14, 5, 33)
                            << QString::fromUtf8("\xec\x98\xa4\xed\x9b\x84 2:05:33");
}

void TestDateText::showsSystemTimeWithSeconds()
{
    QFETCH(QByteArray, locale);
    QFETCH(QTime, time);
    QFETCH(QString, expected);

    QVERIFY(localePinned);
    if (locale == pinnedLocale) {
        QCOMPARE(QLocale::system().name(), QString::fromLatin1(locale).section(u'.', 0, 0));
        QCOMPARE(DateText::systemTime(time), expected);
        return;
    }

    // Another locale: run this row again in a child pinned to it.
    QVERIFY2(!qEnvironmentVariableIsSet(childLocaleVariable.constData()),
             "a child run was given a row of another locale");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childLocaleVariable), QString::fromLatin1(locale));
    QProcess child;
    child.setProcessEnvironment(environment);
    const QString row =
        QStringLiteral("showsSystemTimeWithSeconds:%1").arg(QTest::currentDataTag());
    child.start(QCoreApplication::applicationFilePath(), {row});
    QVERIFY(child.waitForFinished(120'000));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("PASS   : TestDateText::") + row.section(u':', 0, 0) +
                             QLatin1Char('(') + QTest::currentDataTag() + QLatin1Char(')')),
             qPrintable(output));
}

QTEST_GUILESS_MAIN(TestDateText)
#include "tst_datetext.moc"
