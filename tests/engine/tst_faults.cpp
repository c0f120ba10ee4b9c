// SPDX-License-Identifier: MIT
// What the desktop can throw at a running program: a full disk, the data
// file deleted or replaced by something that is not a file, the current
// directory gone, and the clock jumping. Nothing crashes, nothing is lost,
// nothing fires twice, and the user hears of a problem once.

#include "store/systemfiles.h"
#include "support/testengine.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Lowers this process's file-size limit for its lifetime: every write past
// it fails as on a full disk. The process has the program's own
// disposition of the signal such a write raises.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        SystemFiles::ignoreFileSizeSignal();
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

void tick(EngineTest &t, int times)
{
    for (int i = 0; i < times; ++i) {
        t.tick();
        t.clock.advanceMSecs(500);
    }
}

QStringList filesIn(const TempCurrentDir &dir)
{
    return QDir(dir.path())
        .entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFullDiskKeepsTheOldFileAndTheEntryFiresOnce()
    {
        EngineTest t(contentsWith({{0, "03/10/09", "09:30:00"}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 29, 59));
        const QByteArray old = t.dir.read(AlarmStore::FileName);
        {
            FileSizeLimit full(200);
            tick(t, 12);
            QCOMPARE(t.windows.messages.size(), 1);
            QCOMPARE(t.problems.reported.size(), 1);
            QVERIFY(t.problems.reported.first().startsWith(
                QStringLiteral("Tikor.dat could not be saved: ")));
            QCOMPARE(t.dir.read(AlarmStore::FileName), old);
            QCOMPARE(filesIn(t.dir), QStringList{AlarmStore::FileName});

            // The acknowledgement cannot be saved either; it is not undone.
            t.engine.acknowledge();
            tick(t, 4);
            QCOMPARE(t.windows.messages.size(), 1);
            QCOMPARE(t.problems.reported.size(), 1);
        }
        // Room again: the next save writes what memory held all along.
        t.engine.acknowledge();
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[0].fired, qint16(1));
        tick(t, 4);
        QCOMPARE(t.windows.messages.size(), 1);
    }

    void aDeletedFileIsCreatedAgainByTheNextSave()
    {
        EngineTest t(contentsWith({{3, "12/31/30", "08:00:00"}}));
        tick(t, 2);
        QVERIFY(QFile::remove(t.dir.filePath(AlarmStore::FileName)));
        tick(t, 4);
        QVERIFY(t.boxes.shown.isEmpty());
        t.engine.acknowledge();
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[3].message, QStringLiteral("slot 3"));
    }

    // The file is replaced while the program runs, just before an entry is
    // due: the entry fires once from memory, the failed save is reported
    // once, and nothing blocks or repeats.
    void somethingElseInPlaceOfTheFile_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("reports");
        QTest::newRow("a directory") << "directory" << 1;
        QTest::newRow("a named pipe") << "pipe" << 1;
        QTest::newRow("a link to nothing") << "dangling link" << 1;
    }

    void somethingElseInPlaceOfTheFile()
    {
        QFETCH(QString, what);
        QFETCH(int, reports);
        EngineTest t(contentsWith({{0, "03/10/09", "09:30:00"}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 29, 58));
        tick(t, 1);

        const QString path = t.dir.filePath(AlarmStore::FileName);
        QVERIFY(QFile::remove(path));
        if (what == u"directory")
            QVERIFY(QDir(t.dir.path()).mkdir(AlarmStore::FileName));
        else if (what == u"pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(t.dir.filePath(QStringLiteral("gone/away")), path));

        tick(t, 20);
        QCOMPARE(t.windows.messages.size(), 1);
        QVERIFY(t.boxes.shown.isEmpty());
        QCOMPARE(t.problems.reported.size(), reports);
        QCOMPARE(t.engine.table()[0].fired, qint16(1));
    }

    void theCurrentDirectoryGone()
    {
        EngineTest t(contentsWith({{0, "03/10/09", "09:30:00"}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 29, 58));
        tick(t, 1);
        QVERIFY(QDir(t.dir.path()).removeRecursively());
        tick(t, 20);
        QCOMPARE(t.windows.messages.size(), 1);
        QVERIFY(t.boxes.shown.isEmpty());
        QCOMPARE(t.problems.reported.size(), 1);
    }

    // The clock goes back an hour, then forward three days (a manual change,
    // a suspended laptop): every entry that came due fires once.
    void theClockJumpsBackAndForward()
    {
        EngineTest t(contentsWith({{0, "03/10/09", "10:00:00"},
                                   {1, "03/10/09", "10:00:00", 1},
                                   {2, "03/11/09", "08:00:00"},
                                   {3, "03/12/09", "20:00:00"},
                                   {4, "03/13/09", "07:00:00", 0, 1},
                                   {5, "03/20/09", "07:00:00"}}));
        t.clock.setLocal(QDate(2009, 3, 10), QTime(9, 59, 59));
        tick(t, 4);
        QCOMPARE(t.windows.messages, (QStringList{"slot 0", "slot 1"}));

        t.clock.advanceSeconds(60);
        t.engine.acknowledge(); // the daily entry moves to 03/11
        t.clock.advanceSeconds(-3600);
        tick(t, 10);
        t.clock.setLocal(QDate(2009, 3, 10), QTime(10, 1, 30));
        tick(t, 10);
        QCOMPARE(t.windows.messages.size(), 2);

        t.clock.advanceSeconds(3 * 24 * 3600);
        tick(t, 10);
        QCOMPARE(t.windows.messages.mid(1), (QStringList{"slot 1", "slot 1", "slot 2", "slot 4"}));

        t.clock.advanceSeconds(60);
        t.engine.acknowledge();
        tick(t, 10);
        QCOMPARE(t.windows.messages.size(), 5);

        // An entry whose day went by during the jump waits for its time of
        // day, as one dated yesterday always does.
        t.clock.setLocal(QDate(2009, 3, 13), QTime(19, 59, 59));
        tick(t, 10);
        QCOMPARE(t.windows.messages.mid(5), QStringList{"slot 3"});
        const FileContents saved = t.saved();
        QCOMPARE(saved.table[1].date, QStringLiteral("03/14/09"));
        QCOMPARE(saved.table[4].date, QStringLiteral("03/20/09"));
        QCOMPARE(saved.table[5].fired, qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
