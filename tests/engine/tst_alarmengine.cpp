// SPDX-License-Identifier: MIT
// The engine's working copy without any window: what a load makes of the
// file, the row rules, what a save writes, the close box, and a picker's
// commit.

#include "support/engineinternals.h"
#include "support/testengine.h"

#include <QtTest>

Q_DECLARE_METATYPE(SoundChoice)

namespace {

using Field = AlarmEngine::Field;

QList<int> boxesOf(const WorkingRow &row)
{
    return {row.repeat.daily, row.repeat.weekly, row.repeat.monthly};
}

} // namespace

class TestAlarmEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Checked values load as boxes would take them in file order: a later
    // checked box clears the earlier, each newly checked box arms the
    // entry, grey stays grey, and other values read as unchecked. What the
    // rows hold is what a save writes.
    void repeatValuesLoadAsBoxesTakeThem()
    {
        EngineTest t(contentsWith({{0, "03/10/09", "08:00:00", 1, 1, 0, 1},
                                   {1, "03/10/09", "08:00:00", 0, 7, -3, 1},
                                   {2, "03/10/09", "08:00:00", 2, 0, 0, 1},
                                   {3, "03/10/09", "08:00:00", 1, 0, 1, 1}}));
        const QList<QList<int>> loaded = {{0, 1, 0, 0}, {0, 0, 0, 1}, {2, 0, 0, 1}, {0, 0, 1, 0}};
        QVERIFY(t.engine.save().ok);
        const FileContents saved = t.saved();
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(boxesOf(t.engine.row(row)) << t.engine.table()[row].fired, loaded[row]);
            const Entry &e = saved.table[row];
            QCOMPARE((QList<int>{e.repeat.daily, e.repeat.weekly, e.repeat.monthly, e.fired}),
                     loaded[row]);
        }
    }

    // The sound line loads as four exclusive options take it in order.
    void theSoundLineLoadsAsOptionsTakeIt_data()
    {
        QTest::addColumn<SoundChoice>("file");
        QTest::addColumn<SoundChoice>("loaded");
        QTest::newRow("one") << SoundChoice{false, false, true, false}
                             << SoundChoice{false, false, true, false};
        QTest::newRow("two: the later wins")
            << SoundChoice{true, false, true, false} << SoundChoice{false, false, true, false};
        QTest::newRow("none") << SoundChoice{false, false, false, false}
                              << SoundChoice{false, false, false, false};
    }

    void theSoundLineLoadsAsOptionsTakeIt()
    {
        QFETCH(SoundChoice, file);
        QFETCH(SoundChoice, loaded);
        FileContents c = contentsWith({});
        c.sound = file;
        EngineTest t(c);
        QCOMPARE(t.engine.sound(), loaded);
        QVERIFY(t.engine.save().ok);
        QCOMPARE(t.saved().sound, loaded);
    }

    // One repeat kind per row: a box that becomes checked clears the row's
    // others and arms the entry; unchecking arms nothing.
    void repeatBoxRule_data()
    {
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("value");
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<int>("firedAfter");

        QTest::newRow("weekly over daily") << QList{1, 0, 0} << 1 << 1 << QList{0, 1, 0} << 0;
        QTest::newRow("daily over monthly") << QList{0, 0, 1} << 0 << 1 << QList{1, 0, 0} << 0;
        QTest::newRow("unchecking the only one") << QList{0, 1, 0} << 1 << 0 << QList{0, 0, 0} << 1;
        QTest::newRow("grey checks") << QList{2, 0, 0} << 0 << 1 << QList{1, 0, 0} << 0;
        QTest::newRow("grey beside a check") << QList{2, 0, 0} << 2 << 1 << QList{0, 0, 1} << 0;
        QTest::newRow("unchecked checks") << QList{0, 0, 0} << 2 << 1 << QList{0, 0, 1} << 0;
    }

    void repeatBoxRule()
    {
        QFETCH(QList<int>, before);
        QFETCH(int, box);
        QFETCH(int, value);
        QFETCH(QList<int>, after);
        QFETCH(int, firedAfter);
        EngineTest t(contentsWith({{4, "03/17/09", "09:00:00", qint16(before[0]), qint16(before[1]),
                                    qint16(before[2]), 1}}));
        // The file's state, as a tick would have reloaded it.
        EngineInternals::state(t.engine).table()[4].fired = 1;
        t.engine.setRepeat(4, std::array{Repeat::Daily, Repeat::Weekly, Repeat::Monthly}[box],
                           qint16(value));
        QCOMPARE(boxesOf(t.engine.row(4)), after);
        QCOMPARE(t.engine.table()[4].fired, qint16(firedAfter));
        QCOMPARE(boxesOf(t.engine.row(3)), (QList<int>{0, 0, 0}));
    }

    // Clear empties the row and writes nothing; the entry is kept from
    // firing, and typing into the row does not arm it, a repeat box does.
    void clearEmptiesTheRowAndKeepsItFromFiring()
    {
        EngineTest t(contentsWith(
            {{3, "03/17/09", "09:00:00", 0, 1}, {4, "03/18/09", "10:00:00", 0, 0, 0, 0, "stays"}}));
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        t.engine.clearRow(3);
        const WorkingRow &row = t.engine.row(3);
        QVERIFY(row.date.isEmpty());
        QVERIFY(row.message.isEmpty());
        QVERIFY(row.time.isEmpty());
        QCOMPARE(boxesOf(row), (QList<int>{0, 0, 0}));
        QCOMPARE(t.engine.table()[3].fired, qint16(1));
        QCOMPARE(t.engine.row(4).message, QStringLiteral("stays"));
        QCOMPARE(t.dir.read(AlarmStore::FileName), before);

        t.engine.setText(3, Field::Message, QStringLiteral("new"));
        t.engine.setText(3, Field::Time, QStringLiteral("11:00:00"));
        QCOMPARE(t.engine.table()[3].fired, qint16(1));
        t.engine.setRepeat(3, Repeat::Monthly, 1);
        QCOMPARE(t.engine.table()[3].fired, qint16(0));
    }

    // Anything in the rows, accepted or not, is what a save writes; the
    // fired flags and banners come from memory.
    void aSaveWritesUnacceptedEdits()
    {
        EngineTest t(contentsWith({{1, "03/17/09", "09:00:00", 0, 0, 0, 0, "old"}}));
        t.engine.setText(1, Field::Message, QStringLiteral("typed, not \"accepted\""));
        t.engine.setText(7, Field::Date, QStringLiteral("next week"));
        t.engine.setRepeat(7, Repeat::Weekly, 1);
        t.engine.setSound({false, false, false, true});
        EngineInternals::state(t.engine).table()[1].fired = 1;
        EngineInternals::state(t.engine).file.banner2 = QStringLiteral("banner from memory");

        QVERIFY(t.engine.save().ok);
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[1].message, QStringLiteral("typed, not \"accepted\""));
        QCOMPARE(saved.table[7].date, QStringLiteral("next week"));
        QCOMPARE(saved.table[7].repeat.weekly, qint16(1));
        QCOMPARE(saved.table[1].fired, qint16(1));
        QCOMPARE(saved.table[7].fired, qint16(0));
        QCOMPARE(saved.banner2, QStringLiteral("banner from memory"));
        QCOMPARE(saved.sound, (SoundChoice{false, false, false, true}));
        // Nothing was accepted: the table still holds what the file held.
        QCOMPARE(t.engine.table()[1].message, QStringLiteral("old"));
    }

    // A tick inside the box about a broken file saves while the working copy
    // is still loading: the rows hold what the file gave, never empty rows.
    void aSaveDuringTheLoadWritesWhatTheFileGave()
    {
        TempCurrentDir dir;
        TestEngine t;
        const QByteArray whole =
            DataFile::encode(contentsWith({{0, "03/17/09", "09:00:00", 1},
                                           {1, "03/18/09", "10:00:00", 0, 0, 0, 0, "second"},
                                           {20, "03/19/09", "11:00:00", 0, 0, 0, 0, "lost"}}));
        const QByteArray broken = whole.left(whole.indexOf("\"lost\"")) + "\"lost\"\r\nnine\r\n";
        dir.write(AlarmStore::FileName, broken);

        int saves = 0;
        t.boxes.whileOpen = [&](const QString &) {
            ++saves;
            QVERIFY(t.engine.save().ok);
        };
        t.engine.ensureLoaded();
        QCOMPARE(saves, 1);
        QCOMPARE(t.boxes.shown, QStringList{AlarmStore::ProblemText});

        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[0].message, QStringLiteral("slot 0"));
        QCOMPARE(saved.table[0].repeat.daily, qint16(1));
        QCOMPARE(saved.table[1].message, QStringLiteral("second"));
        QCOMPARE(saved.table[20].message, QStringLiteral("lost"));
        QCOMPARE(dir.read(AlarmStore::BadCopyName), broken);
        QCOMPARE(t.engine.row(1).message, QStringLiteral("second"));
    }

    void aFailedSaveIsReportedOnce()
    {
        EngineTest t;
        t.failSaves();
        const AlarmStore::SaveResult first = t.engine.save();
        QVERIFY(!first.ok);
        QVERIFY(!t.engine.save().ok);
        QCOMPARE(t.problems.reported, QStringList{AlarmStore::saveFailureText(first.reason)});
        QVERIFY(t.boxes.shown.isEmpty());
    }

    // The close box puts rows and sound back as the file has them now,
    // without arming any entry or writing anything.
    void cancelPutsBackTheFile()
    {
        FileContents c = contentsWith({{2, "03/17/09", "09:30:00", 0, 1, 0, 0, "weekly"}});
        EngineTest t(c);
        c.table[2].fired = 1; // the entry fired since: the file says so
        t.dir.write(AlarmStore::FileName, DataFile::encode(c));
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        t.engine.setText(2, Field::Message, QStringLiteral("weekly edited"));
        t.engine.setText(9, Field::Time, QStringLiteral("12:00:00"));
        t.engine.setRepeat(2, Repeat::Daily, 1);
        t.engine.setSound({false, true, false, false});

        t.engine.cancelEdits();
        QCOMPARE(t.engine.row(2).message, QStringLiteral("weekly"));
        QVERIFY(t.engine.row(9).time.isEmpty());
        QCOMPARE(boxesOf(t.engine.row(2)), (QList<int>{0, 1, 0}));
        QCOMPARE(t.engine.sound(), (SoundChoice{true, false, false, false}));
        QCOMPARE(t.engine.table()[2].fired, qint16(1));
        QCOMPARE(t.dir.read(AlarmStore::FileName), before);
    }

    // A picker's OK: the text, the entry armed, the file saved.
    void aCommitArmsTheRowAndSaves()
    {
        EngineTest t(contentsWith({{6, "03/01/09", "08:00:00", 0, 0, 0, 1}}));
        t.engine.commitText(6, Field::Date, QStringLiteral("03/12/09"));
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[6].date, QStringLiteral("03/12/09"));
        QCOMPARE(saved.table[6].fired, qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestAlarmEngine)
#include "tst_alarmengine.moc"
