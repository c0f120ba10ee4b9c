// SPDX-License-Identifier: MIT
// Entries at times of day that a change of daylight saving time skips or
// repeats fire once, in America/New_York across 8 March and 1 November 2009.

#include "support/engineinternals.h"
#include "support/tempdir.h"
#include "support/testengine.h"

#include <QtTest>

#include <ctime>

namespace {

struct Alert
{
    int slot;
    QString local; // "mm/dd/yy hh:mm:ss" of the tick that raised it
};

// Walks the clock in half seconds from `from` for `hours` hours of real
// time through the program's engine, acknowledging each alert a minute
// after it.
using Entries = std::initializer_list<std::tuple<int, const char *, const char *, qint16>>;

QList<Alert> walk(const Entries &entries, const QDateTime &from, int hours)
{
    TempCurrentDir dir;
    TestEngine program;
    FakeClock &clock = program.clock;
    AlarmEngine &engine = program.engine;

    FileContents c;
    for (const auto &[slot, date, time, daily] : entries) {
        c.table[slot].date = QString::fromLatin1(date);
        c.table[slot].message = QString::number(slot);
        c.table[slot].time = QString::fromLatin1(time);
        c.table[slot].repeat.daily = daily;
        c.table[slot].fired = 0;
    }
    EngineInternals::store(engine).save(c);
    clock.setUtc(from);
    engine.ensureLoaded();

    QList<Alert> alerts;
    QList<QDateTime> acknowledgements;
    qsizetype acknowledged = 0; // each window's OK, in the order they opened
    program.windows.onAlert = [&](const QString &message) {
        alerts.append({message.toInt(), engine.nowDate() + u' ' + engine.nowTime()});
        acknowledgements.append(clock.now().addSecs(60));
    };
    const QDateTime end = from.addSecs(hours * 3600);
    for (QDateTime t = from; t < end; t = t.addMSecs(500)) {
        clock.setUtc(t);
        if (!acknowledgements.isEmpty() && acknowledgements.first() <= t) {
            acknowledgements.removeFirst();
            engine.acknowledge(program.windows.ids.at(acknowledged++));
        }
        engine.tick();
    }
    return alerts;
}

QStringList describe(const QList<Alert> &alerts)
{
    QStringList lines;
    for (const Alert &a : alerts)
        lines << QStringLiteral("%1 at %2").arg(a.slot).arg(a.local);
    return lines;
}

} // namespace

class TestDaylightSaving : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "America/New_York");
        tzset();
        // The zone must really be in force, or the walk proves nothing.
        QCOMPARE(QDateTime(QDate(2009, 3, 8), QTime(3, 0)).offsetFromUtc(), -4 * 3600);
        QCOMPARE(QDateTime(QDate(2009, 3, 8), QTime(1, 0)).offsetFromUtc(), -5 * 3600);
    }

    // 02:00 EST becomes 03:00 EDT: 02:30 never shows on the clock, and the
    // entries fire at the first tick after it, once.
    void aSkippedTimeFiresOnceAtTheJump()
    {
        const QDateTime from(QDate(2009, 3, 8), QTime(6, 30), Qt::UTC); // 01:30 EST
        const Entries entries = {{0, "03/08/09", "02:30:00", 0}, {2, "03/08/09", "02:30:00", 1}};
        QCOMPARE(describe(walk(entries, from, 2)),
                 (QStringList{"0 at 03/08/09 03:00:00", "2 at 03/08/09 03:00:00"}));
    }

    // 02:00 EDT becomes 01:00 EST: 01:30 comes twice, the entries fire at
    // the first, once.
    void aRepeatedTimeFiresOnce()
    {
        const QDateTime from(QDate(2009, 11, 1), QTime(4, 30), Qt::UTC); // 00:30 EDT
        const Entries entries = {{1, "11/01/09", "01:30:00", 0}, {3, "11/01/09", "01:30:00", 1}};
        QCOMPARE(describe(walk(entries, from, 3)),
                 (QStringList{"1 at 11/01/09 01:30:00", "3 at 11/01/09 01:30:00"}));
    }
};

QTEST_GUILESS_MAIN(TestDaylightSaving)
#include "tst_daylightsaving.moc"
