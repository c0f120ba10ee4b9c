// SPDX-License-Identifier: MIT
// When the clock must next tick, for entries of every kind, in
// America/New_York around the daylight-saving changes of 2009 (EST is
// UTC-5, EDT UTC-4; EDT from 8 March 02:00 to 1 November 02:00).

#include "scheduler/nextcheck.h"
#include "support/entries.h"

#include <QtTest>

#include <ctime>

namespace {

struct Armed
{
    QString date;
    QString time;
    qint16 fired = 0;
};

QDateTime utc(const char *iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs);
}

} // namespace

Q_DECLARE_METATYPE(Armed)

class TestNextCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "America/New_York");
        tzset();
    }

    void findsTheFirstSecondATickSeesSomethingNew_data()
    {
        QTest::addColumn<QList<Armed>>("entries");
        QTest::addColumn<QDateTime>("now");
        // "none" within the minute, "now", or the instant.
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("waitMs");

        const QString none = QStringLiteral("none"), now = QStringLiteral("now");
        // 10 March 2009, EDT: 09:29:30.250 local.
        const QDateTime morning = utc("2009-03-10T13:29:30.250Z");
        QTest::newRow("today at its time")
            << QList<Armed>{{"03/10/09", "09:30:00"}} << morning << "2009-03-10T13:30:00Z" << 29750;
        QTest::newRow("not yet within the minute")
            << QList<Armed>{{"03/10/09", "09:31:00"}} << morning << none << 60000;
        QTest::newRow("fired entries never wake it")
            << QList<Armed>{{"03/10/09", "09:30:00", 1}, {"", "", 1}} << morning << none << 60000;
        QTest::newRow("an empty date is long past")
            << QList<Armed>{{"", "09:30:00"}} << morning << "2009-03-10T13:30:00Z" << 29750;
        QTest::newRow("tomorrow's entry waits for tomorrow")
            << QList<Armed>{{"03/11/09", "09:30:00"}} << morning << none << 60000;
        QTest::newRow("an empty time is due at once")
            << QList<Armed>{{"03/10/09", ""}} << morning << now << 500;
        QTest::newRow("a time long past is due at once (held back)")
            << QList<Armed>{{"03/01/09", "08:00:00"}} << morning << now << 500;
        QTest::newRow("a leading space sorts before every time")
            << QList<Armed>{{"03/10/09", " 09:30:00"}} << morning << now << 500;
        // Compared as texts: "9:30" comes after "23:59:59" and never passes;
        // "09:30" and "09:29:59x" pass at 09:30:00.
        QTest::newRow("9:30 never")
            << QList<Armed>{{"03/10/09", "9:30"}} << morning << none << 60000;
        QTest::newRow("24:00:00 never")
            << QList<Armed>{{"03/10/09", "24:00:00"}} << morning << none << 60000;
        QTest::newRow("09:30 at 09:30:00")
            << QList<Armed>{{"03/10/09", "09:30"}} << morning << "2009-03-10T13:30:00Z" << 29750;
        QTest::newRow("09:29:59x at 09:30:00") << QList<Armed>{{"03/10/09", "09:29:59x"}} << morning
                                               << "2009-03-10T13:30:00Z" << 29750;
        QTest::newRow("a date that is no date never")
            << QList<Armed>{{"13/45/09", "09:30:00"}, {"soon", ""}} << morning << none << 60000;
        QTest::newRow("the earliest of several")
            << QList<Armed>{{"03/10/09", "09:30:10"}, {"", "09:29:45"}, {"03/10/09", "09:29:50"}}
            << morning << "2009-03-10T13:29:45Z" << 14750;
        QTest::newRow("a time in this very second is due")
            << QList<Armed>{{"03/10/09", "09:29:30"}} << morning << now << 500;

        // Midnight: the date texts change, whatever is armed.
        QTest::newRow("midnight with nothing armed")
            << QList<Armed>{} << utc("2009-03-11T03:59:30.500Z") << "2009-03-11T04:00:00Z" << 29500;
        QTest::newRow("tomorrow's entry at midnight")
            << QList<Armed>{{"03/11/09", "00:00:00"}} << utc("2009-03-11T03:59:59.900Z")
            << "2009-03-11T04:00:00Z" << 100;

        // 8 March: 01:59:59 EST is followed by 03:00:00 EDT.
        QTest::newRow("in the skipped hour: at the first second after it")
            << QList<Armed>{{"03/08/09", "02:30:00"}} << utc("2009-03-08T06:59:30Z")
            << "2009-03-08T07:00:00Z" << 30000;
        QTest::newRow("just after the skipped hour")
            << QList<Armed>{{"03/08/09", "03:00:10"}} << utc("2009-03-08T06:59:30Z")
            << "2009-03-08T07:00:10Z" << 40000;
        // 1 November: 01:59:59 EDT is followed by 01:00:00 EST; 02:00:00
        // comes an hour later, not ten seconds.
        QTest::newRow("the repeated hour puts 02:00 an hour off")
            << QList<Armed>{{"11/01/09", "02:00:00"}} << utc("2009-11-01T05:59:50Z") << none
            << 60000;
        QTest::newRow("in the repeated hour, its second pass")
            << QList<Armed>{{"11/01/09", "01:00:20"}} << utc("2009-11-01T06:00:00Z")
            << "2009-11-01T06:00:20Z" << 20000;
    }

    void findsTheFirstSecondATickSeesSomethingNew()
    {
        QFETCH(QList<Armed>, entries);
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        QFETCH(int, waitMs);

        FileContents contents = contentsWith({});
        for (int slot = 0; slot < entries.size(); ++slot)
            setEntry(contents, TestEntry(slot, entries[slot].date, entries[slot].time, 0, 0, 0,
                                         entries[slot].fired));
        const QDateTime found = NextCheck::firstChange(contents.table, now, 60);
        if (expected == QStringLiteral("none"))
            QVERIFY2(!found.isValid(), qPrintable(found.toString(Qt::ISODateWithMs)));
        else if (expected == QStringLiteral("now"))
            QCOMPARE(found, now);
        else
            QCOMPARE(found, utc(qPrintable(expected)));
        QCOMPARE(NextCheck::waitMs(contents.table, now), waitMs);
    }
};

QTEST_GUILESS_MAIN(TestNextCheck)
#include "tst_nextcheck.moc"
