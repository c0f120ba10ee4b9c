// SPDX-License-Identifier: MIT
// What the desktop can throw at a running program: a full disk, the data
// file deleted or replaced by something that is not a file, the current
// directory gone, and the clock jumping. Nothing crashes, nothing is lost,
// nothing fires twice, and the user hears of a problem once.

#include "store/datafile.h"
#include "store/posixfiles.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray fileWith(std::initializer_list<TestEntry> entries)
{
    return DataFile::encode(contentsWith(entries));
}

// Lowers this process's file-size limit for its lifetime: every write past
// it fails as on a full disk. The process has the program's own
// disposition of the signal such a write raises.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        PosixFiles::ignoreFileSizeSignal();
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

void tick(TestApp &app, int times)
{
    for (int i = 0; i < times; ++i) {
        app.context.mainAlert().tick();
        app.clock.advanceMSecs(500);
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
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 29, 59));
        const QByteArray old = fileWith({{0, "03/10/09", "09:30:00"}});
        dir.write(AlarmStore::FileName, old);
        app.context.editor();
        {
            FileSizeLimit full(200);
            tick(app, 12);
            QCOMPARE(app.alerts.shown.size(), 1);
            QCOMPARE(app.problems.reported.size(), 1);
            QVERIFY(app.problems.reported.first().startsWith(
                QStringLiteral("Tikor.dat could not be saved: ")));
            QCOMPARE(dir.read(AlarmStore::FileName), old);
            QCOMPARE(filesIn(dir), QStringList{AlarmStore::FileName});

            // The acknowledgement cannot be saved either; it is not undone.
            app.alerts.shown.first()->acknowledge();
            tick(app, 4);
            QCOMPARE(app.alerts.shown.size(), 1);
            QCOMPARE(app.problems.reported.size(), 1);
        }
        // Room again: the next save writes what memory held all along.
        app.context.mainAlert().acknowledge();
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[0].fired, qint16(1));
        tick(app, 4);
        QCOMPARE(app.alerts.shown.size(), 1);
    }

    void aDeletedFileIsCreatedAgainByTheNextSave()
    {
        TempCurrentDir dir;
        TestApp app;
        dir.write(AlarmStore::FileName, fileWith({{3, "12/31/30", "08:00:00"}}));
        app.context.editor();
        tick(app, 2);
        QVERIFY(QFile::remove(dir.filePath(AlarmStore::FileName)));
        tick(app, 4);
        QVERIFY(app.boxes.shown.isEmpty());
        app.context.mainAlert().acknowledge();
        const FileContents saved = readContents(dir);
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
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 29, 58));
        dir.write(AlarmStore::FileName, fileWith({{0, "03/10/09", "09:30:00"}}));
        app.context.editor();
        tick(app, 1);

        const QString path = dir.filePath(AlarmStore::FileName);
        QVERIFY(QFile::remove(path));
        if (what == u"directory")
            QVERIFY(QDir(dir.path()).mkdir(AlarmStore::FileName));
        else if (what == u"pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone/away")), path));

        tick(app, 20);
        QCOMPARE(app.alerts.shown.size(), 1);
        QVERIFY(app.boxes.shown.isEmpty());
        QCOMPARE(app.problems.reported.size(), reports);
        QCOMPARE(app.context.state.table()[0].fired, qint16(1));
    }

    // The file is damaged while the program runs: the problem box opens in
    // the main clock's own tick, with a real nested loop. The clock keeps
    // ticking inside it and entries due meanwhile fire on time.
    void theProblemBoxDoesNotStopTheClock()
    {
        TempCurrentDir dir;
        TestApp app;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 30, 10));
        const QByteArray whole =
            fileWith({{0, "03/10/09", "09:30:20"}, {1, "03/10/09", "09:30:30"}});
        dir.write(AlarmStore::FileName, whole);
        AlertWindow &main = app.context.mainAlert();
        app.context.editor();
        dir.write(AlarmStore::FileName, whole.left(whole.size() - 40));

        int ticks = 0;
        app.clock.onRead = [&] {
            ++ticks;
            app.clock.advanceSeconds(1);
        };
        app.boxes.whileOpen = [&](const QString &) {
            // Ends with the second alert, or after 500 turns of the loop
            // should the clock not tick in here.
            QEventLoop boxLoop;
            QTimer turn;
            int turns = 0;
            connect(&turn, &QTimer::timeout, &boxLoop, [&] {
                if (app.alerts.shown.size() == 2 || ++turns == 500)
                    boxLoop.quit();
            });
            turn.start(0);
            boxLoop.exec();
        };
        main.clockTimer->setInterval(0);
        main.clockTimer->start();
        for (int turn = 0; turn < 100 && app.boxes.shown.isEmpty(); ++turn)
            QCoreApplication::processEvents();
        main.clockTimer->stop();
        QVERIFY(ticks > 0);

        QCOMPARE(app.boxes.shown.size(), 1);
        QCOMPARE(app.alerts.messages(), (QStringList{"slot 0", "slot 1"}));
    }

    void theCurrentDirectoryGone()
    {
        TestApp app;
        TempCurrentDir dir;
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 29, 58));
        dir.write(AlarmStore::FileName, fileWith({{0, "03/10/09", "09:30:00"}}));
        app.context.editor();
        tick(app, 1);
        QVERIFY(QDir(dir.path()).removeRecursively());
        tick(app, 20);
        QCOMPARE(app.alerts.shown.size(), 1);
        QVERIFY(app.boxes.shown.isEmpty());
        QCOMPARE(app.problems.reported.size(), 1);
    }

    // The clock goes back an hour, then forward three days (a manual change,
    // a suspended laptop): every entry that came due fires once.
    void theClockJumpsBackAndForward()
    {
        TempCurrentDir dir;
        TestApp app;
        dir.write(AlarmStore::FileName, fileWith({{0, "03/10/09", "10:00:00"},
                                                  {1, "03/10/09", "10:00:00", 1},
                                                  {2, "03/11/09", "08:00:00"},
                                                  {3, "03/12/09", "20:00:00"},
                                                  {4, "03/13/09", "07:00:00", 0, 1},
                                                  {5, "03/20/09", "07:00:00"}}));
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 59, 59));
        app.context.editor();
        tick(app, 4);
        QCOMPARE(app.alerts.messages(), (QStringList{"slot 0", "slot 1"}));

        app.clock.advanceSeconds(60);
        app.alerts.shown.first()->acknowledge(); // the daily entry moves to 03/11
        app.clock.advanceSeconds(-3600);
        tick(app, 10);
        app.clock.setLocal(QDate(2009, 3, 10), QTime(10, 1, 30));
        tick(app, 10);
        QCOMPARE(app.alerts.shown.size(), 2);

        app.clock.advanceSeconds(3 * 24 * 3600);
        tick(app, 10);
        QCOMPARE(app.alerts.messages().mid(1),
                 (QStringList{"slot 1", "slot 1", "slot 2", "slot 4"}));

        app.clock.advanceSeconds(60);
        app.alerts.shown.last()->acknowledge();
        tick(app, 10);
        QCOMPARE(app.alerts.shown.size(), 5);

        // An entry whose day went by during the jump waits for its time of
        // day, as one dated yesterday always does.
        app.clock.setLocal(QDate(2009, 3, 13), QTime(19, 59, 59));
        tick(app, 10);
        QCOMPARE(app.alerts.messages().mid(5), QStringList{"slot 3"});
        const FileContents saved = readContents(dir);
        QCOMPARE(saved.table[1].date, QStringLiteral("03/14/09"));
        QCOMPARE(saved.table[4].date, QStringLiteral("03/20/09"));
        QCOMPARE(saved.table[5].fired, qint16(0));
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
