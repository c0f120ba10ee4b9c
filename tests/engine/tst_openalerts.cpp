// SPDX-License-Identifier: MIT
// Alerts that outlive the program: the record of alerts raised and not yet
// acknowledged, and what the next start makes of it.

#include "support/testengine.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

namespace {

using Alert = OpenAlerts::Alert;

// The record as a text, by hand: what a record written by this program looks
// like, and what a stored one must still read as.
const QByteArray RecordOfSlot5 = "{\n"
                                 "    \"alerts\": [\n"
                                 "        {\n"
                                 "            \"date\": \"03/10/09\",\n"
                                 "            \"message\": \"Dentist, \\\"bring the card\\\"\",\n"
                                 "            \"slot\": 5,\n"
                                 "            \"time\": \"08:59:00\"\n"
                                 "        }\n"
                                 "    ],\n"
                                 "    \"format\": \"Tikora open alerts\",\n"
                                 "    \"version\": 1\n"
                                 "}\n";

QList<Alert> recordIn(const TempCurrentDir &dir)
{
    QString problem;
    return OpenAlerts::decode(dir.read(OpenAlerts::FileName), problem).value_or(QList<Alert>{});
}

// A daily entry in slot 3 and a one-time entry in slot 9, both due at 09:00
// on 03/10/09, as a first run raised them and never acknowledged them: the
// program ended (a logout, a crash, a kill) with their alerts open.
struct LeftOpen
{
    EngineTest firstRun{contentsWith({{3, "03/10/09", "09:00:00", 1, 0, 0, 0, "Stand-up"},
                                      {9, "03/10/09", "09:00:00", 0, 0, 0, 0, "Call the bank"}})};

    LeftOpen()
    {
        firstRun.clock.setLocal(QDate(2009, 3, 10), QTime(9, 0, 5));
        firstRun.tick();
    }
};

// The next start of the program in the same folder, in the order the real
// one runs: the start-up load, (with `clockTicks`) the main clock's first
// tick, the unattended accept, and then the alerts left open.
struct NextStart : TestEngine
{
    explicit NextStart(const QTime &at, bool clockTicks = true)
    {
        clock.setLocal(QDate(2009, 3, 10), at);
        engine.ensureLoaded();
        if (clockTicks)
            tick();
        engine.acceptEdits();
        engine.raiseLeftAlerts();
    }
    void tick() { engine.tick(); }
};

} // namespace

class TestOpenAlerts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anAlertIsRecordedWhenRaisedAndLeavesWhenAcknowledged()
    {
        LeftOpen t;
        TestEngine &run = t.firstRun;
        QCOMPARE(run.windows.messages, (QStringList{"Stand-up", "Call the bank"}));
        const Alert standUp{3, "03/10/09", "09:00:00", "Stand-up"};
        const Alert bank{9, "03/10/09", "09:00:00", "Call the bank"};
        QCOMPARE(recordIn(t.firstRun.dir), (QList<Alert>{standUp, bank}));

        // The main alert window's OK moves the daily entry on; the two
        // windows are still open, so both alerts stay recorded.
        run.engine.acknowledge();
        QCOMPARE(recordIn(t.firstRun.dir), (QList<Alert>{standUp, bank}));
        run.engine.acknowledge(run.windows.ids.at(1));
        QCOMPARE(recordIn(t.firstRun.dir), QList<Alert>{standUp});
        run.engine.acknowledge(run.windows.ids.at(0));
        QCOMPARE(recordIn(t.firstRun.dir), QList<Alert>{});
        // Nothing was written into the data file's own lines for it.
        QCOMPARE(t.firstRun.dir.read(AlarmStore::FileName).count("\r\n"), 227);
    }

    void theRecordsTextIsKept()
    {
        QString problem;
        QCOMPARE(OpenAlerts::encode({{5, "03/10/09", "08:59:00", "Dentist, \"bring the card\""}}),
                 RecordOfSlot5);
        QCOMPARE(OpenAlerts::decode(RecordOfSlot5, problem),
                 (QList<Alert>{{5, "03/10/09", "08:59:00", "Dentist, \"bring the card\""}}));
        // A snoozed alert also names its instant, in UTC to the millisecond.
        const Alert snoozed{5, "03/10/09", "08:59:00", "Dentist, \"bring the card\"",
                            QDateTime(QDate(2009, 3, 10), QTime(14, 5, 0, 250), Qt::UTC)};
        const QByteArray text = OpenAlerts::encode({snoozed});
        QCOMPARE(
            text,
            QByteArray(RecordOfSlot5)
                .replace(
                    "\"slot\": 5,\n",
                    "\"slot\": 5,\n            \"snoozedUntil\": \"2009-03-10T14:05:00.250Z\",\n"));
        QCOMPARE(OpenAlerts::decode(text, problem), QList<Alert>{snoozed});
    }

    // Whether or not the main clock ticked before the start-up accept, each
    // alert left open rings once: raised again from the record when its
    // entry is still fired, or as a due entry when start-up armed it.
    void alertsLeftOpenComeBackOnceAtTheNextStart_data()
    {
        QTest::addColumn<bool>("clockTicks");
        QTest::newRow("the clock ticks before the start-up accept") << true;
        QTest::newRow("no tick before it") << false;
    }

    void alertsLeftOpenComeBackOnceAtTheNextStart()
    {
        QFETCH(bool, clockTicks);
        LeftOpen left;
        NextStart next(QTime(9, 2), clockTicks);
        next.tick();
        next.tick();
        QStringList messages = next.windows.messages;
        messages.sort();
        QCOMPARE(messages, (QStringList{"Call the bank", "Stand-up"}));
        QCOMPARE(next.sound.calls,
                 (QStringList{"beep", "play checkmsgs.wav", "beep", "play checkmsgs.wav"}));

        // OK in each: the daily entry moves on from today and is armed, the
        // one-time entry stays fired; the record is empty.
        for (const OpenAlerts::Id id : next.windows.ids)
            next.engine.acknowledge(id);
        const FileContents saved = left.firstRun.saved();
        QCOMPARE(saved.table[3].date, QStringLiteral("03/11/09"));
        QCOMPARE(saved.table[3].fired, qint16(0));
        QCOMPARE(saved.table[9].date, QStringLiteral("03/10/09"));
        QCOMPARE(saved.table[9].fired, qint16(1));
        QCOMPARE(recordIn(left.firstRun.dir), QList<Alert>{});
        next.tick();
        QCOMPARE(next.windows.messages.size(), 2);
    }

    // An entry edited, cleared or moved on while the program was not
    // running is not that alert any more.
    void anEntryChangedMeanwhileIsNotRaisedAgain_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("its message") << "message";
        QTest::newRow("its time") << "time";
        QTest::newRow("its date") << "date";
        QTest::newRow("cleared") << "cleared";
    }

    void anEntryChangedMeanwhileIsNotRaisedAgain()
    {
        QFETCH(QString, change);
        LeftOpen left;
        FileContents c = left.firstRun.saved();
        Entry &bank = c.table[9];
        if (change == u"message")
            bank.message = QStringLiteral("Call the bank at ten");
        else if (change == u"time")
            bank.time = QStringLiteral("10:00:00");
        else if (change == u"date")
            bank.date = QStringLiteral("03/12/09");
        else
            bank = Entry{{}, {}, {}, 0, 0, 0, 1};
        left.firstRun.dir.write(AlarmStore::FileName, DataFile::encode(c));

        NextStart next(QTime(9, 1, 0));
        QCOMPARE(next.windows.messages.first(), QStringLiteral("Stand-up"));
        QVERIFY(!next.windows.messages.contains(QStringLiteral("Call the bank")));
        QCOMPARE(recordIn(left.firstRun.dir),
                 (QList<Alert>{{3, "03/10/09", "09:00:00", "Stand-up"}}));
    }

    // With the editor or About open, alerts wait, left ones too.
    void leftAlertsWaitWhileAlertsAreHeld()
    {
        LeftOpen left;
        TestEngine next;
        next.clock.setLocal(QDate(2009, 3, 10), QTime(9, 1));
        next.windows.hold = true;
        next.engine.ensureLoaded();
        next.engine.raiseLeftAlerts();
        QVERIFY(next.windows.messages.isEmpty());
        QVERIFY(next.engine.leftAlertsWaiting());
        next.windows.hold = false;
        next.engine.tick();
        QCOMPARE(next.windows.messages, (QStringList{"Stand-up", "Call the bank"}));
        QVERIFY(!next.engine.leftAlertsWaiting());
    }

    // Two windows of one slot were open: its alert comes back once. A slot
    // raised anew before start-up is complete stands for its left alert.
    void aSlotIsRaisedOnceWhateverTheRecordHolds()
    {
        EngineTest t(contentsWith({{4, "03/10/09", "08:00:00", 0, 0, 0, 1, "Twice"},
                                   {6, "03/10/09", "09:00:30", 0, 0, 0, 0, "Due anew"}}));
        t.dir.write(OpenAlerts::FileName,
                    OpenAlerts::encode({{4, "03/10/09", "08:00:00", "Twice"},
                                        {6, "03/10/09", "09:00:30", "Due anew"},
                                        {4, "03/10/09", "08:00:00", "Twice"}}));
        TestEngine next;
        next.clock.setLocal(QDate(2009, 3, 10), QTime(9, 1));
        next.engine.ensureLoaded();
        next.engine.tick();
        next.engine.acceptEdits();
        next.engine.raiseLeftAlerts();
        QCOMPARE(next.windows.messages, (QStringList{"Due anew", "Twice"}));
        QCOMPARE(recordIn(t.dir), (QList<Alert>{{4, "03/10/09", "08:00:00", "Twice"},
                                                {6, "03/10/09", "09:00:30", "Due anew"}}));
    }

    // A record the program cannot trust is ignored, with one line on
    // standard error; the next alert writes a good one in its place.
    void aRecordNotOfOursIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QTest::newRow("cut short")
            << RecordOfSlot5.left(80) << "it is damaged (unterminated string at byte 81)";
        QTest::newRow("empty") << QByteArray() << "it is damaged (illegal value at byte 0)";
        QTest::newRow("another program's")
            << QByteArray("{\"format\": \"Something else\", \"version\": 1, \"alerts\": []}")
            << "it is not a record of open alerts of this program";
        QTest::newRow("a later version")
            << QByteArray(RecordOfSlot5).replace("\"version\": 1", "\"version\": 2")
            << "it is not a record of open alerts of this program";
        QTest::newRow("a slot past the table")
            << QByteArray(RecordOfSlot5).replace("\"slot\": 5", "\"slot\": 32")
            << "alert 1 in it is damaged";
        QTest::newRow("a slot that is no whole number")
            << QByteArray(RecordOfSlot5).replace("\"slot\": 5", "\"slot\": 2.5")
            << "alert 1 in it is damaged";
        QTest::newRow("no message") << QByteArray(RecordOfSlot5).replace("\"message\"", "\"note\"")
                                    << "alert 1 in it is damaged";
        QTest::newRow("a snooze that is no time")
            << QByteArray(RecordOfSlot5)
                   .replace("\"slot\": 5", "\"slot\": 5, \"snoozedUntil\": \"soon\"")
            << "alert 1 in it is damaged";
        QTest::newRow("a snooze in local time")
            << QByteArray(RecordOfSlot5)
                   .replace("\"slot\": 5", "\"slot\": 5, \"snoozedUntil\": \"2009-03-10T14:05:00\"")
            << "alert 1 in it is damaged";
    }

    void aRecordNotOfOursIsIgnored()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        EngineTest t(contentsWith({{5, "03/10/09", "08:59:00", 0, 0, 0, 1, "Dentist"},
                                   {7, "03/10/09", "09:00:30", 0, 0, 0, 0, "Later"}}));
        t.dir.write(OpenAlerts::FileName, bytes);
        TestEngine next;
        next.clock.setLocal(QDate(2009, 3, 10), QTime(9, 0));
        next.engine.ensureLoaded();
        next.engine.acceptEdits();
        QTest::ignoreMessage(
            QtWarningMsg, qUtf8Printable(QStringLiteral("tikora: the record of open alerts %1 "
                                                        "is ignored: %2")
                                             .arg(t.dir.filePath(OpenAlerts::FileName), problem)));
        next.engine.raiseLeftAlerts();
        QVERIFY(next.windows.messages.isEmpty());
        next.clock.advanceSeconds(30);
        next.engine.tick();
        QCOMPARE(next.windows.messages, QStringList{"Later"});
        QCOMPARE(recordIn(t.dir), (QList<Alert>{{7, "03/10/09", "09:00:30", "Later"}}));
    }

    // Something other than a file of the user's at the record's name is
    // neither read nor written through; the user is told once.
    void aRecordThatIsNoFileIsNeitherReadNorWritten()
    {
        EngineTest t(contentsWith({{1, "03/10/09", "09:00:00"}, {2, "03/10/09", "09:00:00"}}));
        QVERIFY(QDir(t.dir.path()).mkdir(OpenAlerts::FileName));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 0));
        const QString name = t.dir.filePath(OpenAlerts::FileName);
        QTest::ignoreMessage(QtWarningMsg,
                             qUtf8Printable(QStringLiteral("tikora: the record of open alerts %1 "
                                                           "is ignored: %1 is not a regular file")
                                                .arg(name)));
        t.tick();
        QCOMPARE(t.windows.messages.size(), 2);
        QCOMPARE(t.problems.reported,
                 QStringList{QStringLiteral("The record of open alerts (Tikor.alerts) could not be "
                                            "saved: %1 is not a regular file")
                                 .arg(name)});
        QVERIFY(QFileInfo(name).isDir());
    }
};

QTEST_GUILESS_MAIN(TestOpenAlerts)
#include "tst_openalerts.moc"
