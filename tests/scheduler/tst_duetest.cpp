// SPDX-License-Identifier: MIT
#include "scheduler/duetest.h"

#include <QtTest>

class TestDueTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decidesWhetherAnEntryIsDue_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("fired");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("due");

        const QDate d(2009, 3, 10);
        QTest::newRow("today, at its time") << "03/10/09"
                                            << "09:30:00" << 0 << d << "09:30:00" << true;
        QTest::newRow("today, half a second early") << "03/10/09"
                                                    << "09:30:00" << 0 << d << "09:29:59" << false;
        QTest::newRow("today, long after its time") << "03/10/09"
                                                    << "09:30:00" << 0 << d << "17:00:00" << true;
        QTest::newRow("fired") << "03/10/09"
                               << "09:30:00" << 1 << d << "17:00:00" << false;
        QTest::newRow("tomorrow") << "03/11/09"
                                  << "00:00:00" << 0 << d << "23:59:59" << false;
        QTest::newRow("yesterday waits for its time today")
            << "03/09/09"
            << "23:00:00" << 0 << d << "08:00:00" << false;
        QTest::newRow("yesterday, its time today has come")
            << "03/09/09"
            << "23:00:00" << 0 << d << "23:00:00" << true;
        QTest::newRow("dates compare as dates across the year")
            << "12/31/08"
            << "10:00:00" << 0 << d << "11:00:00" << true;
        QTest::newRow("next year in text order is not before")
            << "01/01/10"
            << "" << 0 << d << "11:00:00" << false;
        QTest::newRow("empty date counts as long past")
            << ""
            << "07:00:00" << 0 << d << "07:00:00" << true;
        QTest::newRow("empty date before its time") << ""
                                                    << "07:00:00" << 0 << d << "06:59:59" << false;
        QTest::newRow("empty date long after 2076")
            << ""
            << "07:00:00" << 0 << QDate(2090, 6, 1) << "07:00:00" << true;
        QTest::newRow("empty time is due once the day has come")
            << "03/10/09"
            << "" << 0 << d << "00:00:00" << true;
        QTest::newRow("empty slot, armed") << ""
                                           << "" << 0 << d << "00:00:00" << true;
        QTest::newRow("empty slot, cleared") << ""
                                             << "" << 1 << d << "23:59:59" << false;
        QTest::newRow("unpadded time never passes") << "03/10/09"
                                                    << "9:30:00" << 0 << d << "23:59:59" << false;
        QTest::newRow("unreadable date is not due") << "13/45/09"
                                                    << "" << 0 << d << "23:59:59" << false;
        QTest::newRow("text date is not due") << "soon"
                                              << "" << 0 << d << "23:59:59" << false;
        QTest::newRow("long date form") << "March 9, 2009"
                                        << "" << 0 << d << "00:00:00" << true;
        QTest::newRow("a time in the date box is long past") << "3:00 PM"
                                                             << "" << 0 << d << "00:00:00" << true;
        QTest::newRow("date with a later hour today is not yet")
            << "03/10/09 3:00 PM"
            << "" << 0 << d << "23:00:00" << false;
        QTest::newRow("two-digit year 30 is 2030 in 2026")
            << "01/01/30"
            << "" << 0 << QDate(2026, 12, 7) << "12:00:00" << false;
    }

    void decidesWhetherAnEntryIsDue()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(int, fired);
        QFETCH(QDate, today);
        QFETCH(QString, now);
        QFETCH(bool, due);
        // The first time and every time after.
        DueTest::SlotTester tester;
        for (int tick = 0; tick < 3; ++tick)
            QCOMPARE(tester.isDue(5, date, time, static_cast<qint16>(fired), today, now), due);
    }

    void theSlotTesterFollowsEveryChangeOfTextAndDay()
    {
        // A walk through texts and days, each slot with its own sequence: the
        // tester must answer as a fresh one does at every step, whatever it
        // kept.
        const QStringList dates = {QStringLiteral("03/10/09"),
                                   QStringLiteral("03/11/09"),
                                   QString(),
                                   QStringLiteral("01/01/07"),
                                   QStringLiteral("March 12, 2009"),
                                   QStringLiteral("soon"),
                                   QStringLiteral("03/10/09 3:00 PM"),
                                   QStringLiteral("01/01/60")};
        const QStringList times = {QStringLiteral("09:30:00"), QString(), QStringLiteral("9:30")};
        const QStringList nows = {QStringLiteral("00:00:00"), QStringLiteral("09:30:00"),
                                  QStringLiteral("23:59:59")};
        DueTest::SlotTester tester;
        QDate today(2009, 3, 9);
        for (int step = 0; step < 2000; ++step) {
            if (step % 97 == 0)
                today = today.addDays(1);
            if (step % 331 == 0)
                today = today.addYears(-50);
            if (step % 661 == 0)
                today = today.addYears(50);
            const int slot = (step * 7) % SlotCount;
            const QString date = dates[(step * 5 + slot) % dates.size()];
            const QString time = times[(step / 3 + slot) % times.size()];
            const QString now = nows[step % nows.size()];
            const qint16 fired = static_cast<qint16>(step % 11 == 0);
            QCOMPARE(tester.isDue(slot, date, time, fired, today, now),
                     DueTest::SlotTester().isDue(slot, date, time, fired, today, now));
        }
    }
};

QTEST_GUILESS_MAIN(TestDueTest)
#include "tst_duetest.moc"
