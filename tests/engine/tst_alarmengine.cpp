// SPDX-License-Identifier: MIT
// The engine's working copy without any window: what a load makes of the
// file's repeat values and sound line, the accept's checks, and a picker's
// commit.

#include "store/datafile.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testengine.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(SoundChoice)

namespace {

// An engine over a data file in a fresh current directory.
struct EngineTest : TestEngine
{
    TempCurrentDir dir;

    explicit EngineTest(const FileContents &contents)
    {
        clock.setLocal(QDate(2009, 3, 10), QTime(9, 0));
        dir.write(AlarmStore::FileName, DataFile::encode(contents));
    }
};

} // namespace

class TestAlarmEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Checked values load as a box would take them in file order: a later
    // checked box clears the earlier, and each newly checked box arms the
    // entry; the close box's refill arms nothing.
    void repeatValuesLoadAsBoxesTakeThem()
    {
        FileContents c = contentsWith({{0, "03/10/09", "08:00:00", 1, 1, 0, 1},
                                       {1, "03/10/09", "08:00:00", 0, 0, 7, 1},
                                       {2, "03/10/09", "08:00:00", 2, 0, 0, 1}});
        EngineTest t(c);
        t.engine.ensureLoaded();
        const WorkingRow &both = t.engine.row(0);
        QCOMPARE((QList<int>{both.daily, both.weekly, both.monthly}), (QList<int>{0, 1, 0}));
        QCOMPARE(t.engine.state.table()[0].fired, qint16(0));
        QCOMPARE(t.engine.row(1).monthly, qint16(0)); // 7 is no box value
        QCOMPARE(t.engine.state.table()[1].fired, qint16(1));
        QCOMPARE(t.engine.row(2).daily, qint16(2)); // grey stays grey, arms nothing
        QCOMPARE(t.engine.state.table()[2].fired, qint16(1));

        t.engine.state.table()[0].fired = 1;
        t.engine.setRepeat(0, AlarmEngine::Repeat::Weekly, 0);
        t.engine.cancelEdits();
        QCOMPARE(t.engine.row(0).weekly, qint16(1));
        QCOMPARE(t.engine.state.table()[0].fired, qint16(1));
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
        t.engine.ensureLoaded();
        QCOMPARE(t.engine.sound(), loaded);
        QVERIFY(t.engine.save().ok);
        QCOMPARE(readContents(t.dir).sound, loaded);
    }

    // A bad time is named and emptied, the row says it changed, and nothing
    // is written until the next accept succeeds.
    void acceptNamesAndEmptiesABadTime()
    {
        EngineTest t(contentsWith({}));
        t.engine.ensureLoaded();
        const QByteArray before = t.dir.read(AlarmStore::FileName);
        t.engine.setText(4, AlarmEngine::Field::Time, QStringLiteral("25:00"));
        QSignalSpy changed(&t.engine, &AlarmEngine::rowChanged);

        QVERIFY(!t.engine.acceptEdits());
        QCOMPARE(t.boxes.shown, QStringList{"The TIME you entered was not valid."});
        QVERIFY(t.engine.row(4).time.isEmpty());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toInt(), 4);
        QCOMPARE(t.dir.read(AlarmStore::FileName), before);

        t.engine.setText(4, AlarmEngine::Field::Time, QStringLiteral("7 PM"));
        QVERIFY(t.engine.acceptEdits());
        QCOMPARE(readContents(t.dir).table[4].time, QStringLiteral("19:00:00"));
    }

    // A picker's OK: the text, the entry armed, the file saved.
    void aCommitArmsTheRowAndSaves()
    {
        EngineTest t(contentsWith({{6, "03/01/09", "08:00:00", 0, 0, 0, 1}}));
        t.engine.ensureLoaded();
        t.engine.commitText(6, AlarmEngine::Field::Date, QStringLiteral("03/12/09"));
        const FileContents saved = readContents(t.dir);
        QCOMPARE(saved.table[6].date, QStringLiteral("03/12/09"));
        QCOMPARE(saved.table[6].fired, qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestAlarmEngine)
#include "tst_alarmengine.moc"
