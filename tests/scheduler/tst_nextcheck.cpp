// SPDX-License-Identifier: MIT
// When the clock must next tick, for entries of every kind, in
// America/New_York around the daylight-saving changes of 2009 (EST is
// UTC-5, EDT UTC-4; EDT from 8 March 02:00 to 1 November 02:00); and the
// same answers as the due test run second by second, for random tables, in
// time zones whose changes fall at odd hours, at midnight or by half an
// hour, and under a TZ rule of the C library's own.

#include "scheduler/duetest.h"
#include "scheduler/nextcheck.h"
#include "store/datetext.h"
#include "support/entries.h"

#include <QtTest>

#include <algorithm>
#include <ctime>
#include <random>

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

using Ms = qint64;

// The due test run on the local time of every second, one after the other,
// as the 500 ms clock's ticks see them: the first second whose local date
// differs from now's, or at which an armed entry is due.
NextCheck::Change walked(const AlarmTable &table, const QDateTime &now, int horizonSeconds)
{
    const auto anyDue = [&table](const QDateTime &local) {
        const QString nowTime = DateText::formatTime(local.time());
        return std::any_of(table.begin(), table.end(), [&](const Entry &e) {
            return DueTest::SlotTester().isDue(0, e.date, e.time, e.fired, local.date(), nowTime);
        });
    };
    const QDateTime localNow = now.toLocalTime();
    if (anyDue(localNow))
        return {now, true};
    const qint64 first = now.toSecsSinceEpoch() + 1;
    for (qint64 second = first; second < first + horizonSeconds; ++second) {
        const QDateTime instant = QDateTime::fromSecsSinceEpoch(second, Qt::UTC);
        const QDateTime local = instant.toLocalTime();
        const bool due = anyDue(local);
        if (due || local.date() != localNow.date())
            return {instant, due};
    }
    return {};
}

int offsetAt(qint64 second)
{
    return QDateTime::fromSecsSinceEpoch(second, Qt::UTC).toLocalTime().offsetFromUtc();
}

// Every second of 2009 at which the local offset from UTC changes, found
// hour by hour through the C library and then halved down to the second.
QList<qint64> offsetChanges2009()
{
    QList<qint64> changes;
    const qint64 start = QDateTime(QDate(2009, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    for (qint64 hour = start; hour < start + 365 * 86400; hour += 3600) {
        if (offsetAt(hour) == offsetAt(hour + 3600))
            continue;
        qint64 low = hour, high = hour + 3600;
        while (high - low > 1) {
            const qint64 middle = (low + high) / 2;
            (offsetAt(middle) == offsetAt(low) ? low : high) = middle;
        }
        changes.append(high);
    }
    return changes;
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
        // Whether an armed entry is due at that moment (not only a new date).
        QTest::addColumn<bool>("due");

        const QString none = QStringLiteral("none"), now = QStringLiteral("now");
        // 10 March 2009, EDT: 09:29:30.250 local.
        const QDateTime morning = utc("2009-03-10T13:29:30.250Z");
        QTest::newRow("today at its time") << QList<Armed>{{"03/10/09", "09:30:00"}} << morning
                                           << "2009-03-10T13:30:00Z" << 29750 << true;
        QTest::newRow("not yet within the minute")
            << QList<Armed>{{"03/10/09", "09:31:00"}} << morning << none << 60000 << false;
        QTest::newRow("fired entries never wake it")
            << QList<Armed>{{"03/10/09", "09:30:00", 1}, {"", "", 1}} << morning << none << 60000
            << false;
        QTest::newRow("an empty date is long past")
            << QList<Armed>{{"", "09:30:00"}} << morning << "2009-03-10T13:30:00Z" << 29750 << true;
        QTest::newRow("tomorrow's entry waits for tomorrow")
            << QList<Armed>{{"03/11/09", "09:30:00"}} << morning << none << 60000 << false;
        QTest::newRow("an empty time is due at once")
            << QList<Armed>{{"03/10/09", ""}} << morning << now << 500 << true;
        QTest::newRow("a time long past is due at once (held back)")
            << QList<Armed>{{"03/01/09", "08:00:00"}} << morning << now << 500 << true;
        QTest::newRow("a leading space sorts before every time")
            << QList<Armed>{{"03/10/09", " 09:30:00"}} << morning << now << 500 << true;
        // Compared as texts: "9:30" comes after "23:59:59" and never passes;
        // "09:30" and "09:29:59x" pass at 09:30:00.
        QTest::newRow("9:30 never")
            << QList<Armed>{{"03/10/09", "9:30"}} << morning << none << 60000 << false;
        QTest::newRow("24:00:00 never")
            << QList<Armed>{{"03/10/09", "24:00:00"}} << morning << none << 60000 << false;
        QTest::newRow("09:30 at 09:30:00") << QList<Armed>{{"03/10/09", "09:30"}} << morning
                                           << "2009-03-10T13:30:00Z" << 29750 << true;
        QTest::newRow("09:29:59x at 09:30:00") << QList<Armed>{{"03/10/09", "09:29:59x"}} << morning
                                               << "2009-03-10T13:30:00Z" << 29750 << true;
        QTest::newRow("a date that is no date never")
            << QList<Armed>{{"13/45/09", "09:30:00"}, {"soon", ""}} << morning << none << 60000
            << false;
        QTest::newRow("the earliest of several")
            << QList<Armed>{{"03/10/09", "09:30:10"}, {"", "09:29:45"}, {"03/10/09", "09:29:50"}}
            << morning << "2009-03-10T13:29:45Z" << 14750 << true;
        QTest::newRow("a time in this very second is due")
            << QList<Armed>{{"03/10/09", "09:29:30"}} << morning << now << 500 << true;

        // Midnight: the date texts change, whatever is armed.
        QTest::newRow("midnight with nothing armed")
            << QList<Armed>{} << utc("2009-03-11T03:59:30.500Z") << "2009-03-11T04:00:00Z" << 29500
            << false;
        QTest::newRow("tomorrow's entry at midnight")
            << QList<Armed>{{"03/11/09", "00:00:00"}} << utc("2009-03-11T03:59:59.900Z")
            << "2009-03-11T04:00:00Z" << 100 << true;

        // 8 March: 01:59:59 EST is followed by 03:00:00 EDT.
        QTest::newRow("in the skipped hour: at the first second after it")
            << QList<Armed>{{"03/08/09", "02:30:00"}} << utc("2009-03-08T06:59:30Z")
            << "2009-03-08T07:00:00Z" << 30000 << true;
        QTest::newRow("just after the skipped hour")
            << QList<Armed>{{"03/08/09", "03:00:10"}} << utc("2009-03-08T06:59:30Z")
            << "2009-03-08T07:00:10Z" << 40000 << true;
        // 1 November: 01:59:59 EDT is followed by 01:00:00 EST; 02:00:00
        // comes an hour later, not ten seconds.
        QTest::newRow("the repeated hour puts 02:00 an hour off")
            << QList<Armed>{{"11/01/09", "02:00:00"}} << utc("2009-11-01T05:59:50Z") << none
            << 60000 << false;
        QTest::newRow("in the repeated hour, its second pass")
            << QList<Armed>{{"11/01/09", "01:00:20"}} << utc("2009-11-01T06:00:00Z")
            << "2009-11-01T06:00:20Z" << 20000 << true;
    }

    void findsTheFirstSecondATickSeesSomethingNew()
    {
        QFETCH(QList<Armed>, entries);
        QFETCH(QDateTime, now);
        QFETCH(QString, expected);
        QFETCH(int, waitMs);
        QFETCH(bool, due);

        FileContents contents = contentsWith({});
        for (int slot = 0; slot < entries.size(); ++slot)
            setEntry(contents, TestEntry(slot, entries[slot].date, entries[slot].time, 0, 0, 0,
                                         entries[slot].fired));
        const NextCheck::Change found = NextCheck::firstChange(contents.table, now, 60);
        if (expected == QStringLiteral("none"))
            QVERIFY2(!found.at.isValid(), qPrintable(found.at.toString(Qt::ISODateWithMs)));
        else if (expected == QStringLiteral("now"))
            QCOMPARE(found.at, now);
        else
            QCOMPARE(found.at, utc(qPrintable(expected)));
        QCOMPARE(found.due, due);
        QCOMPARE(NextCheck::waitMs(contents.table, now), waitMs);
    }

    void sameAsTheDueTestSecondBySecond_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("New York") << QByteArray("America/New_York");
        QTest::newRow("London") << QByteArray("Europe/London");
        // Half an hour forward and back.
        QTest::newRow("Lord Howe") << QByteArray("Australia/Lord_Howe");
        // At midnight: 00:00 becomes 01:00, and in February 00:00 goes back
        // to 23:00 of the day before.
        QTest::newRow("Sao Paulo") << QByteArray("America/Sao_Paulo");
        QTest::newRow("Havana") << QByteArray("America/Havana");
        // A rule of the C library's own, not a file of the zone database.
        QTest::newRow("TZ rule") << QByteArray("XST3XDT,M3.2.0/2,M10.5.0/3");
        // A zone file only the C library finds (through TZDIR): the
        // transitions come from its local time alone.
        QTest::newRow("zone of TZDIR") << QByteArray("Elsewhere/Havana");
    }

    void sameAsTheDueTestSecondBySecond()
    {
        QFETCH(QByteArray, zone);
        QTemporaryDir zones;
        if (zone.startsWith("Elsewhere/")) {
            QVERIFY(QDir(zones.path()).mkpath(QStringLiteral("Elsewhere")));
            QVERIFY(QFile::copy(QStringLiteral("/usr/share/zoneinfo/America/Havana"),
                                zones.filePath(QString::fromLatin1(zone))));
            qputenv("TZDIR", QFile::encodeName(zones.path()));
        }
        qputenv("TZ", zone);
        tzset();
        if (zone.startsWith("Elsewhere/"))
            QVERIFY(!QTimeZone::systemTimeZone().hasTransitions());
        const auto restore = qScopeGuard([] {
            qunsetenv("TZDIR");
            qputenv("TZ", "America/New_York");
            tzset();
        });
        const QList<qint64> changes = offsetChanges2009();
        QCOMPARE(changes.size(), 2);

        std::mt19937 rng(quint32(qHash(zone)));
        auto pick = [&rng](int n) { return int(rng() % quint32(n)); };
        // Around each change, and around the local midnights next to it.
        QList<Ms> instants;
        for (qint64 change : changes) {
            const QDateTime local = QDateTime::fromSecsSinceEpoch(change, Qt::UTC).toLocalTime();
            QList<qint64> around = {change};
            for (int day = -1; day <= 1; ++day)
                around.append(QDateTime(local.date().addDays(day), QTime(0, 0)).toSecsSinceEpoch());
            for (qint64 centre : around) {
                for (Ms ms : {-61000, -60000, -59500, -30000, -1200, -500, 0, 300, 1000, 59000})
                    instants.append(centre * 1000 + ms);
                for (int i = 0; i < 12; ++i)
                    instants.append(centre * 1000 - 90000 + pick(120000));
            }
        }
        const QStringList odd = {"",          "9:30", "24:00:00", " 09:00:00",
                                 "23:59:59x", "0",    "2",        "12:00"};
        int due = 0, dateChanges = 0, nothing = 0;
        for (Ms at : instants) {
            const QDateTime now = QDateTime::fromMSecsSinceEpoch(at, Qt::UTC);
            for (int round = 0; round < 3; ++round) {
                FileContents contents = contentsWith({});
                const int count = 1 + pick(4);
                const QString nowTime = DateText::formatTime(now.toLocalTime().time());
                for (int slot = 0; slot < count; ++slot) {
                    // Times of the seconds around now, in either offset,
                    // mostly not passed yet.
                    QString time;
                    for (int tries = 0; tries < 4; ++tries) {
                        const QDateTime when =
                            now.addSecs(pick(140) - 10)
                                .toOffsetFromUtc(offsetAt(now.toSecsSinceEpoch() +
                                                          (pick(2) == 0 ? -7200 : 7200)));
                        time = pick(6) == 0 ? odd[pick(int(odd.size()))]
                                            : DateText::formatTime(when.time());
                        if (!DueTest::timeReached(time, nowTime))
                            break;
                    }
                    const QDate today = now.toLocalTime().date();
                    const QStringList dates = {DateText::formatDate(today),
                                               DateText::formatDate(today.addDays(-1)),
                                               DateText::formatDate(today.addDays(1)), QString(),
                                               QStringLiteral("13/45/09")};
                    setEntry(contents, TestEntry(slot, dates[pick(pick(2) == 0 ? 5 : 2)], time, 0,
                                                 0, 0, qint16(pick(5) == 0)));
                }
                const NextCheck::Change expected = walked(contents.table, now, 60);
                const NextCheck::Change found = NextCheck::firstChange(contents.table, now, 60);
                if (found != expected) {
                    QString entries;
                    for (int slot = 0; slot < count; ++slot)
                        entries += QStringLiteral(" [%1 %2 %3]")
                                       .arg(contents.table[slot].date, contents.table[slot].time)
                                       .arg(contents.table[slot].fired);
                    QFAIL(qPrintable(QStringLiteral("at %1 (local %2),%3: found %4 due %5, "
                                                    "walked %6 due %7")
                                         .arg(now.toString(Qt::ISODateWithMs),
                                              now.toLocalTime().toString(Qt::ISODateWithMs),
                                              entries, found.at.toString(Qt::ISODate))
                                         .arg(found.due)
                                         .arg(expected.at.toString(Qt::ISODate))
                                         .arg(expected.due)));
                }
                (!expected.at.isValid() ? nothing : expected.due ? due : dateChanges)++;
            }
        }
        // Each kind of answer was met, so none was proved by chance only.
        QVERIFY(due > 50);
        QVERIFY(dateChanges > 20);
        QVERIFY(nothing > 20);
    }
};

QTEST_GUILESS_MAIN(TestNextCheck)
#include "tst_nextcheck.moc"
