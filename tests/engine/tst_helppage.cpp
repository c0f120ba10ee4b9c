// SPDX-License-Identifier: MIT
// The help page the program ships, held to what the program does: each
// statement about alarms is looked up on the page word for word, then
// played through the engine, typed as a user would and on the fake clock.

#include "support/testengine.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(Repeat)

namespace {

QString pageHtml()
{
    QFile file(QStringLiteral(TIKORA_HELP_PAGE));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The page's body as a reader sees it: no tags, one space between words.
QString pageText()
{
    QString body = pageHtml();
    body = body.mid(body.indexOf(QStringLiteral("<body>")));
    body.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return body.simplified();
}

#define QVERIFY_ON_PAGE(phrase)                                                                    \
    QVERIFY2(pageText().contains(QStringLiteral(phrase)), "not on the help page: " phrase)

// An engine with no file yet (every slot cleared), on 10 March 2009.
struct Typing : EngineTest
{
    // Types a row into the editor's working copy.
    void type(int row, const QString &date, const QString &time, const QString &message)
    {
        engine.setText(row, AlarmEngine::Field::Date, date);
        engine.setText(row, AlarmEngine::Field::Time, time);
        engine.setText(row, AlarmEngine::Field::Message, message);
    }
    void at(int month, int day, const QTime &time)
    {
        clock.setLocal(QDate(2009, month, day), time);
    }
    // Ticks at that moment; what rang then.
    QStringList ringsAt(int month, int day, const QTime &time)
    {
        at(month, day, time);
        const qsizetype before = windows.messages.size();
        tick();
        return windows.messages.mid(before);
    }
};

} // namespace

class TestHelpPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thePageIsThere() { QVERIFY(pageText().startsWith(QStringLiteral("Tikora Tikora keeps"))); }

    // "...or type one: 3/17/09, March 17, 2009, 9:30, 3:00 PM": the examples
    // on the page are these, and each is read as the table says.
    void theTypedExamplesAreThese()
    {
        const QRegularExpression sentence(
            QStringLiteral("or type one:((?:\\s*<code>[^<]*</code>,?)+)"));
        const QRegularExpressionMatch match = sentence.match(pageHtml());
        QVERIFY(match.hasMatch());
        QStringList examples;
        QRegularExpressionMatchIterator codes =
            QRegularExpression(QStringLiteral("<code>([^<]*)</code>"))
                .globalMatch(match.captured(1));
        while (codes.hasNext())
            examples.append(codes.next().captured(1));
        QCOMPARE(examples, (QStringList{"3/17/09", "March 17, 2009", "9:30", "3:00 PM"}));
    }

    void theTypedExamplesRingWhenTheySay_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QTime>("rings");
        QTest::newRow("3/17/09") << "3/17/09"
                                 << "09:30:00" << QTime(9, 30);
        QTest::newRow("March 17, 2009") << "March 17, 2009"
                                        << "09:30:00" << QTime(9, 30);
        QTest::newRow("9:30") << "03/17/09"
                              << "9:30" << QTime(9, 30);
        QTest::newRow("3:00 PM") << "03/17/09"
                                 << "3:00 PM" << QTime(15, 0);
    }

    void theTypedExamplesRingWhenTheySay()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QTime, rings);
        Typing t;
        t.type(0, date, time, QStringLiteral("example"));
        QVERIFY(t.engine.acceptEdits());
        QVERIFY(t.boxes.shown.isEmpty());
        QVERIFY(t.ringsAt(3, 16, rings).isEmpty());
        QVERIFY(t.ringsAt(3, 17, rings.addSecs(-1)).isEmpty());
        QCOMPARE(t.ringsAt(3, 17, rings), QStringList{"example"});
    }

    void aPastDateOrNoDateCountsAsToday()
    {
        QVERIFY_ON_PAGE("A date already past, or no date, counts as today: the alarm rings at "
                        "its time today, or at once if that time has passed.");
        Typing t;
        t.type(0, QString(), QStringLiteral("09:30:00"), QStringLiteral("no date"));
        t.type(1, QStringLiteral("03/01/09"), QStringLiteral("08:00:00"), QStringLiteral("past"));
        t.type(2, QStringLiteral("03/01/09"), QStringLiteral("10:00:00"), QStringLiteral("later"));
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.ringsAt(3, 10, QTime(9, 0)), QStringList{"past"});
        QVERIFY(t.ringsAt(3, 10, QTime(9, 29, 59)).isEmpty());
        QCOMPARE(t.ringsAt(3, 10, QTime(9, 30)), QStringList{"no date"});
        QCOMPARE(t.ringsAt(3, 10, QTime(10, 0)), QStringList{"later"});
    }

    // The page once said a row without a date rings every day: it rings once.
    void anAlarmThatDoesNotRepeatRingsOnce()
    {
        QVERIFY_ON_PAGE("An alarm that does not repeat rings once; give it a new date or time to "
                        "ring again.");
        QVERIFY(!pageText().contains(QStringLiteral("every day")));
        Typing t;
        t.type(0, QString(), QStringLiteral("09:30:00"), QStringLiteral("once"));
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.ringsAt(3, 10, QTime(9, 30)), QStringList{"once"});
        t.engine.acknowledge();
        QVERIFY(t.ringsAt(3, 11, QTime(9, 30)).isEmpty());
        QVERIFY(t.ringsAt(3, 12, QTime(12, 0)).isEmpty());
        QCOMPARE(t.saved().table[0].fired, qint16(1));

        t.engine.rememberShownTexts();
        t.type(0, QString(), QStringLiteral("13:00:00"), QStringLiteral("once"));
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.ringsAt(3, 12, QTime(13, 0)), QStringList{"once"});
    }

    void anAlarmWithoutATimeRingsWhenItsDateComes()
    {
        QVERIFY_ON_PAGE("An alarm without a time rings as soon as its date comes.");
        Typing t;
        t.type(0, QStringLiteral("03/11/09"), QString(), QStringLiteral("no time"));
        QVERIFY(t.engine.acceptEdits());
        QVERIFY(t.ringsAt(3, 10, QTime(23, 59, 59)).isEmpty());
        QCOMPARE(t.ringsAt(3, 11, QTime(0, 0)), QStringList{"no time"});
    }

    void okSavesNothingUntilEveryRowIsRight()
    {
        QVERIFY_ON_PAGE("At the first date or time Tikora cannot read, a message says which of "
                        "the two it was and the box is emptied; OK saves nothing until every row "
                        "is right.");
        Typing t;
        t.type(2, QStringLiteral("03/10/09"), QStringLiteral("25:99"), QStringLiteral("bad time"));
        t.type(5, QStringLiteral("2/31/2009"), QStringLiteral("10:00:00"), QStringLiteral("bad"));
        QVERIFY(!t.engine.acceptEdits());
        QVERIFY(!t.dir.exists(AlarmStore::FileName));
        QVERIFY(!t.engine.acceptEdits());
        QVERIFY(!t.dir.exists(AlarmStore::FileName));
        QCOMPARE(t.boxes.shown, (QStringList{"The TIME you entered was not valid.",
                                             "The DATE you entered was not valid."}));
        QVERIFY(t.engine.row(2).time.isEmpty());
        QVERIFY(t.engine.row(5).date.isEmpty());
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.saved().table[2].message, QStringLiteral("bad time"));
    }

    void theCloseBoxGoesBackToTheLastSave()
    {
        QVERIFY_ON_PAGE("Closing the editor with its close box goes back to what was last saved "
                        "(a picker's OK saves every row as it stands).");
        Typing t;
        t.type(3, QString(), QString(), QStringLiteral("typed"));
        t.engine.commitText(4, AlarmEngine::Field::Date, QStringLiteral("03/20/09"));
        t.type(3, QString(), QString(), QStringLiteral("typed later"));
        t.engine.cancelEdits();
        QCOMPARE(t.engine.row(3).message, QStringLiteral("typed"));
        QCOMPARE(t.engine.row(4).date, QStringLiteral("03/20/09"));
    }

    // Acknowledged on 10 March 2009 at 09:31 after ringing at 09:30.
    void repeatingAlarmsMoveOn_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<Repeat>("repeat");
        QTest::addColumn<QDate>("dated");
        QTest::addColumn<QDate>("next");
        QTest::newRow("daily") << "a daily one to tomorrow" << Repeat::Daily << QDate(2009, 3, 10)
                               << QDate(2009, 3, 11);
        QTest::newRow("weekly") << "a weekly one to a week later" << Repeat::Weekly
                                << QDate(2009, 3, 10) << QDate(2009, 3, 17);
        QTest::newRow("monthly") << "a monthly one to the same day next month" << Repeat::Monthly
                                 << QDate(2009, 3, 10) << QDate(2009, 4, 10);
        QTest::newRow("monthly, shorter month")
            << "(the last day of a shorter month)" << Repeat::Monthly << QDate(2009, 1, 31)
            << QDate(2009, 2, 28);
    }

    void repeatingAlarmsMoveOn()
    {
        QFETCH(QString, phrase);
        QFETCH(Repeat, repeat);
        QFETCH(QDate, dated);
        QFETCH(QDate, next);
        QVERIFY_ON_PAGE("When you acknowledge an alert, every repeating alarm that has rung moves "
                        "on to its next date, counted from the day you acknowledge it:");
        QVERIFY2(pageText().contains(phrase), qPrintable(phrase));
        Typing t;
        t.type(0, dated.toString(QStringLiteral("MM/dd/yy")), QStringLiteral("09:30:00"),
               QStringLiteral("again"));
        t.engine.setRepeat(0, repeat, 1);
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.ringsAt(dated.month(), dated.day(), QTime(9, 30)), QStringList{"again"});
        t.at(dated.month(), dated.day(), QTime(9, 31));
        t.engine.acknowledge();
        QCOMPARE(t.saved().table[0].date, next.toString(QStringLiteral("MM/dd/yy")));
        QCOMPARE(t.ringsAt(next.month(), next.day(), QTime(9, 30)), QStringList{"again"});
    }

    // Rung late on 9 March and acknowledged on 10 March before its time.
    void aDailyAlarmMovesToTodayIfItsTimeIsAhead()
    {
        QVERIFY_ON_PAGE("(or to today, if its time has not come yet today)");
        Typing t;
        t.at(3, 9, QTime(22, 0));
        t.type(0, QStringLiteral("03/09/09"), QStringLiteral("23:00:00"), QStringLiteral("late"));
        t.engine.setRepeat(0, Repeat::Daily, 1);
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.ringsAt(3, 9, QTime(23, 0)), QStringList{"late"});
        t.at(3, 10, QTime(8, 0));
        t.engine.acknowledge();
        QCOMPARE(t.saved().table[0].date, QStringLiteral("03/10/09"));
        QVERIFY(t.ringsAt(3, 10, QTime(22, 59, 59)).isEmpty());
        QCOMPARE(t.ringsAt(3, 10, QTime(23, 0)), QStringList{"late"});
    }
};

QTEST_GUILESS_MAIN(TestHelpPage)
#include "tst_helppage.moc"
