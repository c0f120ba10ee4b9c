// SPDX-License-Identifier: MIT
// An entry added from outside the editor (`tikora --add` through the running
// copy): the row it goes to, what is saved, what a full table or a failed
// save leaves, and that it rings like any other.

#include "support/testengine.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

Entry dentist()
{
    return {QStringLiteral("03/10/09"),
            QStringLiteral("Dentist, room \"4\""),
            QStringLiteral("09:00:05"),
            0,
            1,
            0,
            0};
}

} // namespace

class TestAddEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first row with no date, message or time, whatever its boxes say;
    // it is saved at once, armed, and nothing else changes.
    void goesIntoTheFirstEmptyRowAndIsSaved()
    {
        FileContents c = contentsWith({{0, "03/01/09", "08:00:00", 0, 0, 0, 1},
                                       {1, "", "07:00:00", 1, 0, 0, 0},
                                       {3, "03/20/09", "10:00:00"}});
        c.table[2].repeat.daily = 2; // a grey box and the fired flag of a cleared row
        c.sound = {false, false, true, false};
        EngineTest t(c);
        QSignalSpy changed(&t.engine, &AlarmEngine::rowChanged);

        const AlarmEngine::Added added = t.engine.addEntry(dentist());
        QCOMPARE(added.slot, 2);
        QVERIFY(added.saved.ok);
        FileContents expected = c;
        expected.table[2] = dentist();
        QCOMPARE(t.saved(), expected);
        QCOMPARE(t.engine.table()[2], dentist());
        QCOMPARE(t.engine.row(2).message, QStringLiteral("Dentist, room \"4\""));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 2);
        QCOMPARE(t.boxes.shown, QStringList());
        QCOMPARE(t.problems.reported, QStringList());
    }

    // The working copy is what is saved: a row that holds typing the file
    // does not have yet is not empty.
    void aRowOfTheWorkingCopyThatHoldsTypingIsNotEmpty()
    {
        EngineTest t(contentsWith({}));
        t.engine.setText(0, AlarmEngine::Field::Message, QStringLiteral("draft"));
        QCOMPARE(t.engine.addEntry(dentist()).slot, 1);
    }

    void aFullTableTakesNothing()
    {
        FileContents c = contentsWith({});
        for (int slot = 0; slot < SlotCount; ++slot)
            c.table[slot].message = QStringLiteral("taken");
        EngineTest t(c);
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        const AlarmEngine::Added added = t.engine.addEntry(dentist());
        QCOMPARE(added.slot, std::nullopt);
        QVERIFY(!added.saved.ok);
        QCOMPARE(t.dir.read(AlarmStore::FileName), before);
        QCOMPARE(t.engine.row(31).message, QStringLiteral("taken"));
    }

    // Nothing is half done: the row is empty again and cleared, and the
    // reason goes back to the caller, not to a box of the running copy.
    void aFailedSaveLeavesTheRowAsItWas()
    {
        EngineTest t(contentsWith({{0, "03/01/09", "08:00:00"}}));
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        t.failSaves();
        const AlarmEngine::Added added = t.engine.addEntry(dentist());
        QCOMPARE(added.slot, 1);
        QVERIFY(!added.saved.ok);
        QVERIFY(!added.saved.reason.isEmpty());
        QCOMPARE(t.dir.read(AlarmStore::FileName), before);
        QCOMPARE(t.engine.row(1).date, QString());
        QCOMPARE(t.engine.row(1).repeat.weekly, qint16(0));
        QCOMPARE(t.engine.table()[1], (Entry{{}, {}, {}, 0, 0, 0, 1}));
        QCOMPARE(t.boxes.shown, QStringList());
        QCOMPARE(t.problems.reported, QStringList());
    }

    // It rings at its second, and once rung, the editor's next OK does not
    // take it for a typed edit and ring it again.
    void ringsWhenDueAndOnlyThen()
    {
        EngineTest t(contentsWith({}));
        QVERIFY(t.engine.acceptAtStartUp());
        QCOMPARE(t.engine.addEntry(dentist()).slot, 0);
        t.tick();
        QCOMPARE(t.windows.messages, QStringList());
        t.clock.advanceSeconds(5);
        t.tick();
        QCOMPARE(t.windows.messages, QStringList{QStringLiteral("Dentist, room \"4\"")});
        QCOMPARE(t.saved().table[0].fired, qint16(1));

        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(t.saved().table[0].fired, qint16(1));
        t.tick();
        QCOMPARE(t.windows.messages.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAddEntry)
#include "tst_addentry.moc"
