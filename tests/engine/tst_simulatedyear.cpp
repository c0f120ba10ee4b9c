// SPDX-License-Identifier: MIT
// A year of the program's own engine (tick, fire and acknowledgement) with
// the real reader and writer and a fake clock: every alert an independent
// list expects happens exactly once, in its minute, and nothing else fires.

#include "store/datafile.h"
#include "support/engineinternals.h"
#include "support/tempdir.h"
#include "support/testengine.h"

#include <QtTest>

#include <map>
#include <set>

namespace {

struct YearEntry
{
    int slot;
    QString kind;
    QString date;
    QString time;
    qint16 daily = 0, weekly = 0, monthly = 0;
    qint16 fired = 0;
};

const QDate YearStart(2009, 1, 1);
const QDate YearEnd(2010, 1, 1);

const QList<YearEntry> Entries = {
    {0, "one-time", "01/01/09", "08:00:00"},
    {1, "one-time", "02/14/09", "19:30:00"},
    {2, "one-time", "07/04/09", ""},
    {3, "one-time", "12/31/09", "23:59:00"},
    {4, "empty date", "", "06:15:00"},
    {5, "one-time", "03/08/09", "02:30:00"},
    {6, "daily", "01/01/09", "07:00:00", 1},
    {7, "daily", "01/01/09", "23:59:30", 1},
    {8, "empty date", "", "12:00:00", 1},
    {9, "empty time", "06/01/09", "", 1},
    {10, "daily", "01/01/09", "00:00:00", 1},
    {11, "weekly", "01/06/09", "09:00:00", 0, 1},
    {12, "weekly", "01/04/09", "18:45:00", 0, 1},
    {13, "empty date", "", "10:00:00", 0, 1},
    {14, "monthly on the 31st", "01/31/09", "08:30:00", 0, 0, 1},
    {15, "monthly", "01/15/09", "20:00:00", 0, 0, 1},
    {16, "monthly on the 31st", "03/31/09", "06:00:00", 0, 0, 1},
    {17, "one-time", "12/25/08", "09:00:00"},
    {18, "one-time", "01/02/09", "09:00:00", 0, 0, 0, 1},
    {19, "one-time", "01/01/09", "11:00:00", 2},
};

using Alert = std::pair<int, QDateTime>; // slot, minute

QDateTime at(const QDate &date, const QString &time)
{
    return QDateTime(date, QTime::fromString(time, QStringLiteral("hh:mm:ss")));
}

// The alerts each entry must raise, from the rules a user reads in the
// program's help, written out day by day.
QList<Alert> expectedAlerts()
{
    QList<Alert> alerts;
    auto once = [&](int slot, QDate day, const QString &time) {
        alerts.append({slot, at(day, time)});
    };
    auto everyDay = [&](int slot, QDate from, const QString &time, int step) {
        for (QDate day = from; day < YearEnd; day = day.addDays(step))
            once(slot, day, time);
    };
    once(0, {2009, 1, 1}, "08:00:00");
    once(1, {2009, 2, 14}, "19:30:00");
    once(2, {2009, 7, 4}, "00:00:00");
    once(3, {2009, 12, 31}, "23:59:00");
    once(4, {2009, 1, 1}, "06:15:00");
    once(5, {2009, 3, 8}, "02:30:00");
    everyDay(6, YearStart, "07:00:00", 1);
    everyDay(7, YearStart, "23:59:30", 1);
    everyDay(8, YearStart, "12:00:00", 1);
    everyDay(9, {2009, 6, 1}, "00:00:00", 1);
    everyDay(10, YearStart, "00:00:00", 1);
    everyDay(11, {2009, 1, 6}, "09:00:00", 7);
    everyDay(12, {2009, 1, 4}, "18:45:00", 7);
    everyDay(13, YearStart, "10:00:00", 7);
    // Monthly entries move from the day they are acknowledged: after a
    // short month they keep its last day.
    once(14, {2009, 1, 31}, "08:30:00");
    once(14, {2009, 2, 28}, "08:30:00");
    for (int month = 3; month <= 12; ++month)
        once(14, {2009, month, 28}, "08:30:00");
    for (int month = 1; month <= 12; ++month)
        once(15, {2009, month, 15}, "20:00:00");
    once(16, {2009, 3, 31}, "06:00:00");
    for (int month = 4; month <= 12; ++month)
        once(16, {2009, month, 30}, "06:00:00");
    once(17, {2009, 1, 1}, "09:00:00");
    once(19, {2009, 1, 1}, "11:00:00");
    return alerts;
}

} // namespace

class TestSimulatedYear : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        tzset();
    }

    void everyAlertOfTheYearHappensOnce()
    {
        TempCurrentDir dir;
        TestEngine program;
        FakeClock &clock = program.clock;
        AlarmEngine &engine = program.engine;

        FileContents file;
        file.banner1 = DefaultBanner1;
        file.banner2 = DefaultBanner2;
        std::set<QTime> times{QTime(0, 0)};
        for (const YearEntry &e : Entries) {
            file.table[e.slot].date = e.date;
            file.table[e.slot].message = QStringLiteral("slot %1").arg(e.slot);
            file.table[e.slot].time = e.time;
            file.table[e.slot].repeat.daily = e.daily;
            file.table[e.slot].repeat.weekly = e.weekly;
            file.table[e.slot].repeat.monthly = e.monthly;
            file.table[e.slot].fired = e.fired;
            if (!e.time.isEmpty())
                times.insert(QTime::fromString(e.time, QStringLiteral("hh:mm:ss")));
        }
        QVERIFY(EngineInternals::store(engine).save(file).ok);
        clock.setLocal(YearStart.addDays(-1), QTime(12, 0));
        engine.ensureLoaded();

        // The moments to look at: around every time of day an entry has, and
        // around each acknowledgement, a minute after its alert.
        std::multimap<QDateTime, bool> moments; // true: acknowledge
        qsizetype acknowledged = 0;             // each window's OK, in the order they opened
        auto around = [&](const QDateTime &t) {
            for (int ms = -1000; ms <= 1000; ms += 500)
                moments.emplace(t.addMSecs(ms), false);
        };
        for (QDate day = YearStart; day < YearEnd; day = day.addDays(1))
            for (const QTime &time : times)
                around(QDateTime(day, time));

        QList<Alert> alerts;
        program.windows.onAlert = [&](const QString &message) {
            const QDateTime now = clock.localNow();
            const QTime t = now.time();
            alerts.append({message.mid(5).toInt(),
                           QDateTime(now.date(), QTime(t.hour(), t.minute(), t.second()))});
            const QDateTime later = now.addSecs(60);
            moments.emplace(later, true);
            around(later);
        };
        while (!moments.empty()) {
            const auto [moment, acknowledge] = *moments.begin();
            moments.erase(moments.begin());
            if (moment >= QDateTime(YearEnd, QTime(0, 0)))
                break;
            if (moment < QDateTime(YearStart, QTime(0, 0)))
                continue;
            clock.setLocal(moment.date(), moment.time());
            if (acknowledge)
                engine.acknowledge(program.windows.ids.at(acknowledged++));
            else
                engine.tick();
        }
        QCOMPARE(dir.read(AlarmStore::FileName).count("\r\n"), 227);
        QVERIFY(program.problems.reported.isEmpty());
        QVERIFY(program.boxes.shown.isEmpty());

        // Alerts are compared to the minute: an alert is at most half a
        // second late, so the second matches too.
        QList<Alert> expected = expectedAlerts();
        auto byTime = [](const Alert &a, const Alert &b) {
            return std::pair(a.second, a.first) < std::pair(b.second, b.first);
        };
        std::sort(expected.begin(), expected.end(), byTime);
        std::sort(alerts.begin(), alerts.end(), byTime);
        for (qsizetype i = 0; i < std::min(alerts.size(), expected.size()); ++i) {
            if (alerts[i] != expected[i])
                QFAIL(qPrintable(QStringLiteral("alert %1: slot %2 at %3, expected slot %4 at %5")
                                     .arg(i)
                                     .arg(alerts[i].first)
                                     .arg(alerts[i].second.toString(Qt::ISODate))
                                     .arg(expected[i].first)
                                     .arg(expected[i].second.toString(Qt::ISODate))));
        }
        QCOMPARE(alerts.size(), expected.size());

        std::map<QString, int> perKind;
        for (const Alert &alert : alerts) {
            for (const YearEntry &e : Entries) {
                if (e.slot == alert.first)
                    ++perKind[e.kind];
            }
        }
        for (const auto &[kind, count] : perKind)
            qInfo("%s: %d alerts", qPrintable(kind), count);
    }
};

QTEST_GUILESS_MAIN(TestSimulatedYear)
#include "tst_simulatedyear.moc"
