// SPDX-License-Identifier: MIT
// The engine's alarms without a window: what a tick raises and in what
// order, the sound, what is saved, nested ticks, and how the acknowledgement
// moves repeating entries on.

#include "support/engineinternals.h"
#include "support/testengine.h"

#include <QtTest>

Q_DECLARE_METATYPE(SoundChoice)

namespace {

// Entries due on 03/10/09 at 09:30:00, the clock there.
struct DueAtHalfPastNine : EngineTest
{
    explicit DueAtHalfPastNine(std::initializer_list<std::pair<int, QString>> messagesBySlot,
                               const SoundChoice &sound = {})
        : EngineTest(contents(messagesBySlot, sound))
    {
        clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
    }

    static FileContents contents(std::initializer_list<std::pair<int, QString>> messagesBySlot,
                                 const SoundChoice &sound)
    {
        FileContents c = contentsWith({});
        c.sound = sound;
        for (const auto &[slot, message] : messagesBySlot)
            setEntry(c, {slot, "03/10/09", "09:30:00", 0, 0, 0, 0, message});
        return c;
    }
};

} // namespace

class TestFireAndAcknowledge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twoDueSlotsFireInSlotOrderOnce()
    {
        DueAtHalfPastNine t({{6, "second"}, {1, "first"}});
        t.tick();
        QCOMPARE(t.windows.messages, (QStringList{"first", "second"}));
        QCOMPARE(t.sound.calls,
                 (QStringList{"beep", "play checkmsgs.wav", "beep", "play checkmsgs.wav"}));
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[1].fired, qint16(1));
        QCOMPARE(saved.table[6].fired, qint16(1));

        t.clock.advanceSeconds(1);
        t.tick();
        QCOMPARE(t.windows.messages.size(), 2);
    }

    void beforeAnyFileNothingIsDue()
    {
        EngineTest t;
        t.tick();
        QVERIFY(t.windows.messages.isEmpty());
        QVERIFY(t.boxes.shown.isEmpty());
    }

    // An entry without a date is due every day at its time, one without a
    // time as soon as its day has come; a date that cannot be read is never
    // due, and the entries after it go on.
    void emptyAndUnreadableDates()
    {
        EngineTest t(contentsWith({{0, "", "07:00:00"},
                                   {1, "2/31/2009", "08:00:00"},
                                   {2, "03/10/09", "08:00:00"},
                                   {3, "03/11/09", ""}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(6, 59, 59));
        t.tick();
        QVERIFY(t.windows.messages.isEmpty());
        t.clock.advanceSeconds(1);
        t.tick();
        QCOMPARE(t.windows.messages, QStringList{"slot 0"});
        // The default date is the due test's only: the table keeps the empty
        // date, as the file does.
        QVERIFY(t.engine.table()[0].date.isEmpty());
        QVERIFY(t.dir.read(AlarmStore::FileName).contains("\"\"\r\n\"slot 0\""));

        t.clock.setLocal(QDate(2009, 3, 10), QTime(23, 59, 59));
        t.tick();
        QCOMPARE(t.windows.messages, (QStringList{"slot 0", "slot 2"}));
        t.clock.advanceSeconds(1);
        t.tick();
        QCOMPARE(t.windows.messages, (QStringList{"slot 0", "slot 2", "slot 3"}));
    }

    void theChosenSoundPlays_data()
    {
        QTest::addColumn<SoundChoice>("sound");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("Alert1") << SoundChoice{false, true, false, false}
                                << QStringList{"beep", "play Alert.wav"};
        QTest::newRow("Alert2") << SoundChoice{false, false, true, false}
                                << QStringList{"beep", "play Keytry.wav"};
        QTest::newRow("Alert3") << SoundChoice{false, false, false, true}
                                << QStringList{"beep", "play Keyhaw.wav"};
        QTest::newRow("none") << SoundChoice{false, false, false, false} << QStringList{};
    }

    void theChosenSoundPlays()
    {
        QFETCH(SoundChoice, sound);
        QFETCH(QStringList, calls);
        DueAtHalfPastNine t({{0, "wake"}}, SoundChoice{false, false, false, false});
        t.engine.setSound(sound);
        t.tick();
        QCOMPARE(t.windows.messages, QStringList{"wake"});
        QCOMPARE(t.sound.calls, calls);
    }

    void heldBackWhileTheUserEdits()
    {
        DueAtHalfPastNine t({{3, "later"}});
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        t.windows.hold = true;
        t.tick();
        QVERIFY(t.windows.messages.isEmpty());
        QVERIFY(t.sound.calls.isEmpty());
        QCOMPARE(t.engine.table()[3].fired, qint16(0));
        QCOMPARE(t.dir.read(AlarmStore::FileName), before);
        t.windows.hold = false;
        t.tick();
        QCOMPARE(t.windows.messages, QStringList{"later"});
    }

    // With every save failing, memory holds the fired flag: the entry fires
    // once, and the user hears of the failure once.
    void whileSavesFailAnEntryFiresOnce()
    {
        DueAtHalfPastNine t({{0, "once"}});
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        t.failSaves();
        for (int tick = 0; tick < 6; ++tick) {
            t.tick();
            t.clock.advanceMSecs(500);
        }
        QCOMPARE(t.windows.messages, QStringList{"once"});
        QCOMPARE(t.problems.reported,
                 QStringList{"Tikor.dat could not be saved: No space left on device"});
        QCOMPARE(t.dir.read(AlarmStore::FileName), before);
    }

    // The new window's load finds the file damaged and shows the problem box;
    // another window ticks inside it. The alarm that was being raised still
    // completes its own slot, and the tick inside does not raise it again.
    void aProblemBoxInsideFiringStillCompletesTheRightSlot()
    {
        DueAtHalfPastNine t({{2, "two"}, {5, "five"}});
        const QByteArray whole = t.dir.read(AlarmStore::FileName);
        // The tick reads the clock after its load: damage the file then.
        bool damaged = false;
        t.clock.onRead = [&] {
            if (!std::exchange(damaged, true))
                t.dir.write(AlarmStore::FileName, whole.left(whole.size() - 40));
        };
        t.windows.onOpen = [&] { t.engine.loadFile(); };
        t.boxes.whileOpen = [&](const QString &) { t.tick(); };
        t.tick();

        QCOMPARE(t.boxes.shown.size(), 1);
        QCOMPARE(t.windows.messages, (QStringList{"five", "two"}));
        QCOMPARE(t.sound.calls.size(), 4);
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[2].fired, qint16(1));
        QCOMPARE(saved.table[5].fired, qint16(1));
        QCOMPARE(saved.table[5].message, QStringLiteral("five"));
    }

    // A broken file's box is open while the tick waits; another window's
    // tick runs inside it. Both ticks find what the file could give.
    void aTickRunsInsideAnotherTicksProblemBox()
    {
        EngineTest t;
        t.clock.setLocal(QDate(2009, 3, 10), QTime(12, 0));
        const QByteArray whole = DataFile::encode(
            contentsWith({{1, "03/10/09", "11:00:00"}, {4, "03/10/09", "11:30:00"}}));
        t.dir.write(AlarmStore::FileName, whole.left(whole.indexOf("\"slot 4\"") + 3));
        int nested = 0;
        t.boxes.whileOpen = [&](const QString &) {
            ++nested;
            t.tick();
        };
        t.tick();
        QCOMPARE(nested, 1);
        QCOMPARE(t.boxes.shown.size(), 1);
        QCOMPARE(t.boxes.mostOpen, 1);
        // Slot 1 was read in full and fired inside the box, so the outer tick
        // finds it fired; slot 4 was read only up to its date and stays as
        // it was before any file was read.
        QCOMPARE(t.windows.messages, QStringList{"slot 1"});
    }

    // The entry has fired: the acknowledgement moves it on from today.
    void movesTheFiredRepeatingEntryFromToday_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("daily");
        QTest::addColumn<int>("weekly");
        QTest::addColumn<int>("monthly");
        QTest::addColumn<QDateTime>("acknowledged");
        QTest::addColumn<QString>("moved");

        auto at = [](int y, int m, int d, QTime t) { return QDateTime(QDate(y, m, d), t); };
        const QTime nine(9, 0);
        QTest::newRow("daily") << "03/10/09"
                               << "08:00:00" << 1 << 0 << 0 << at(2009, 3, 12, nine) << "03/13/09";
        QTest::newRow("weekly across the year")
            << "12/28/08"
            << "08:00:00" << 0 << 1 << 0 << at(2008, 12, 28, nine) << "01/04/09";
        QTest::newRow("monthly in December")
            << "12/15/08"
            << "08:00:00" << 0 << 0 << 1 << at(2008, 12, 15, nine) << "01/15/09";
        QTest::newRow("monthly in March")
            << "03/10/09"
            << "08:00:00" << 0 << 0 << 1 << at(2009, 3, 10, nine) << "04/10/09";
        QTest::newRow("monthly on the 31st")
            << "01/31/09"
            << "08:00:00" << 0 << 0 << 1 << at(2009, 1, 31, nine) << "02/28/09";
        QTest::newRow("fired before midnight, acknowledged after")
            << "03/10/09"
            << "23:59:30" << 1 << 0 << 0 << at(2009, 3, 11, QTime(0, 0, 10)) << "03/11/09";
        QTest::newRow("daily across the turn of the year")
            << "12/31/08"
            << "10:00:00" << 1 << 0 << 0 << at(2009, 1, 1, QTime(11, 0)) << "01/02/09";
        QTest::newRow("grey box does not repeat")
            << "03/10/09"
            << "08:00:00" << 2 << 0 << 0 << at(2009, 3, 10, nine) << "03/10/09";
        QTest::newRow("daily and weekly in the file: a week")
            << "03/10/09"
            << "08:00:00" << 1 << 1 << 0 << at(2009, 3, 10, nine) << "03/17/09";
    }

    void movesTheFiredRepeatingEntryFromToday()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(int, daily);
        QFETCH(int, weekly);
        QFETCH(int, monthly);
        QFETCH(QDateTime, acknowledged);
        QFETCH(QString, moved);
        EngineTest t(
            contentsWith({{4, date, time, qint16(daily), qint16(weekly), qint16(monthly), 1}}));
        t.clock.setLocal(acknowledged.date(), acknowledged.time());
        EngineInternals::state(t.engine).table()[4].fired = 1;
        t.engine.acknowledge();

        QCOMPARE(t.engine.row(4).date, moved);
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[4].date, moved);
        QCOMPARE(saved.table[4].fired, qint16(moved == date ? 1 : 0));
    }

    void anUnreadableDateIsNotMovedAndTheOthersAre()
    {
        EngineTest t(contentsWith({{0, "2/31/2009", "", 1}, {1, "03/10/09", "", 1}}));
        EngineInternals::state(t.engine).table()[0].fired = 1;
        EngineInternals::state(t.engine).table()[1].fired = 1;
        t.engine.acknowledge();
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[0].date, QStringLiteral("2/31/2009"));
        QCOMPARE(saved.table[1].date, QStringLiteral("03/11/09"));
    }

    void nothingPendingStillSaves()
    {
        EngineTest t;
        QVERIFY(!t.dir.exists(AlarmStore::FileName));
        t.engine.acknowledge();
        QCOMPARE(t.dir.read(AlarmStore::FileName).count("\r\n"), 227);
    }

    // With saves failing, the moved entry is held in memory: the next tick
    // does not bring back the old date from the unchanged file.
    void whileSavesFailTheAcknowledgementIsNotUndone()
    {
        EngineTest t(contentsWith({{0, "03/10/09", "09:30:00", 1}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30));
        t.failSaves();
        t.tick();
        QCOMPARE(t.windows.messages.size(), 1);
        t.engine.acknowledge();
        QCOMPARE(t.engine.table()[0].date, QStringLiteral("03/11/09"));
        t.tick();
        QCOMPARE(t.engine.table()[0].date, QStringLiteral("03/11/09"));
        QCOMPARE(t.engine.table()[0].fired, qint16(0));
        QCOMPARE(t.windows.messages.size(), 1);
        QCOMPARE(t.problems.reported.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFireAndAcknowledge)
#include "tst_fireandacknowledge.moc"
