// SPDX-License-Identifier: MIT
#include "scheduler/repetition.h"

#include <QtTest>

using Boxes = RepeatBoxes;

Q_DECLARE_METATYPE(Boxes)

class TestRepetition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void movesFiredRepeatingEntries_data()
    {
        QTest::addColumn<int>("fired");
        QTest::addColumn<Boxes>("boxes");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("moved"); // empty: stays as it is

        const Boxes daily{1, 0, 0}, weekly{0, 1, 0}, monthly{0, 0, 1};
        QTest::newRow("daily counts from the acknowledgement")
            << 1 << daily << "03/10/09"
            << "08:00:00" << QDate(2009, 3, 12) << "09:00:00"
            << "03/13/09";
        QTest::newRow("weekly across the year") << 1 << weekly << "12/28/08"
                                                << "08:00:00" << QDate(2008, 12, 28) << "09:00:00"
                                                << "01/04/09";
        QTest::newRow("weekly and daily move a week")
            << 1 << Boxes{1, 1, 0} << "03/10/09"
            << "08:00:00" << QDate(2009, 3, 10) << "09:00:00"
            << "03/17/09";
        QTest::newRow("daily and monthly move a day")
            << 1 << Boxes{1, 0, 1} << "03/10/09"
            << "08:00:00" << QDate(2009, 3, 10) << "09:00:00"
            << "03/11/09";
        QTest::newRow("monthly in December") << 1 << monthly << "12/15/08"
                                             << "08:00:00" << QDate(2008, 12, 15) << "09:00:00"
                                             << "01/15/09";
        QTest::newRow("monthly in March") << 1 << monthly << "03/10/09"
                                          << "08:00:00" << QDate(2009, 3, 10) << "09:00:00"
                                          << "04/10/09";
        QTest::newRow("monthly from the 31st of January")
            << 1 << monthly << "01/31/09"
            << "08:00:00" << QDate(2009, 1, 31) << "09:00:00"
            << "02/28/09";
        QTest::newRow("monthly from the 29th of January in a leap year")
            << 1 << monthly << "01/29/08"
            << "08:00:00" << QDate(2008, 1, 29) << "09:00:00"
            << "02/29/08";
        QTest::newRow("monthly from the 31st of March")
            << 1 << monthly << "03/31/09"
            << "08:00:00" << QDate(2009, 3, 31) << "09:00:00"
            << "04/30/09";
        QTest::newRow("daily across the turn of the year")
            << 1 << daily << "12/31/08"
            << "10:00:00" << QDate(2009, 1, 1) << "11:00:00"
            << "01/02/09";
        QTest::newRow("grey box does not repeat") << 1 << Boxes{2, 2, 2} << "03/10/09"
                                                  << "08:00:00" << QDate(2009, 3, 10) << "09:00:00"
                                                  << "";
        QTest::newRow("no box stays fired") << 1 << Boxes{} << "03/10/09"
                                            << "08:00:00" << QDate(2009, 3, 10) << "09:00:00"
                                            << "";
        QTest::newRow("armed entry stays") << 0 << daily << "03/10/09"
                                           << "08:00:00" << QDate(2009, 3, 10) << "09:00:00"
                                           << "";
        QTest::newRow("fired flag other than 1 stays")
            << 5 << daily << "03/10/09"
            << "08:00:00" << QDate(2009, 3, 10) << "09:00:00"
            << "";
        // The clock was set back after the entry fired: it moves on from
        // the moment it fired, not from the clock.
        QTest::newRow("clock set back an hour, daily")
            << 1 << daily << "03/10/09"
            << "10:00:00" << QDate(2009, 3, 10) << "09:00:00"
            << "03/11/09";
        QTest::newRow("clock set back a day, weekly") << 1 << weekly << "03/11/09"
                                                      << "" << QDate(2009, 3, 10) << "09:00:00"
                                                      << "03/18/09";
        QTest::newRow("clock set back a month, monthly")
            << 1 << monthly << "04/30/09"
            << "08:00:00" << QDate(2009, 3, 30) << "09:00:00"
            << "05/30/09";
        // Fired at 23:59:30, acknowledged just after midnight: not stranded.
        QTest::newRow("daily acknowledged after midnight fires again tonight")
            << 1 << daily << "03/10/09"
            << "23:59:30" << QDate(2009, 3, 11) << "00:00:10"
            << "03/11/09";
        QTest::newRow("weekly acknowledged after midnight")
            << 1 << weekly << "03/10/09"
            << "23:59:30" << QDate(2009, 3, 11) << "00:00:10"
            << "03/18/09";
        QTest::newRow("stranded daily whose time has passed today")
            << 1 << daily << "03/01/09"
            << "08:00:00" << QDate(2009, 3, 10) << "09:00:00"
            << "03/11/09";
        QTest::newRow("empty date and time always pass") << 1 << daily << ""
                                                         << "" << QDate(2009, 3, 10) << "00:00:00"
                                                         << "03/11/09";
        QTest::newRow("unreadable date is not moved") << 1 << daily << "2/31/2009"
                                                      << "" << QDate(2009, 3, 10) << "09:00:00"
                                                      << "";
    }

    void movesFiredRepeatingEntries()
    {
        QFETCH(int, fired);
        QFETCH(Boxes, boxes);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QDate, today);
        QFETCH(QString, now);
        QFETCH(QString, moved);
        const std::optional<QString> result = Repetition::moveOnAcknowledge(
            static_cast<qint16>(fired), boxes, date, time, today, now);
        QCOMPARE(result.value_or(QString()), moved);
    }
};

QTEST_GUILESS_MAIN(TestRepetition)
#include "tst_repetition.moc"
