#include "store/alarmstore.h"
#include "store/datafile.h"
#include "support/entries.h"
#include "support/fulldevice.h"
#include "support/recordingservices.h"
#include "support/tempdir.h"

#include <QDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

FileContents weeklyEntry(const QString &message)
{
    return contentsWith({{0, "03/17/09", "09:30:00", 0, 1, 0, 0, message}});
}

QByteArray cutAfterLine(const QByteArray &bytes, int lines)
{
    return bytes.split('\n').mid(0, lines).join('\n') + '\n';
}

} // namespace

class TestAlarmStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aMissingFileChangesNothingAndTheFirstSaveCreatesIt()
    {
        TempCurrentDir dir;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        const Module1 before = state;

        QVERIFY(!store.DataFileExists());
        store.LoadAlarms();
        QCOMPARE(state.file, before.file);
        QVERIFY(boxes.shown.isEmpty());

        QVERIFY(store.save(state.file).ok);
        QVERIFY(store.DataFileExists());
        const QByteArray bytes = dir.read(AlarmStore::FileName);
        QCOMPARE(bytes.count("\r\n"), 227);
        QVERIFY(bytes.contains(
            "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n0\r\n1\r\n"));
    }

    void loadsWhatASaveWrote()
    {
        TempCurrentDir dir;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        const FileContents written = weeklyEntry(QStringLiteral("Team meeting, room 4"));
        QVERIFY(store.save(written).ok);
        store.LoadAlarms();
        QCOMPARE(state.file, written);
        QVERIFY(boxes.shown.isEmpty());
    }

    void aReloadOfTheSameBytesPutsBackEveryFieldChangedInMemory()
    {
        TempCurrentDir dir;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        FileContents written = weeklyEntry(QStringLiteral("Team meeting, room 4"));
        written.sound = SoundChoice{false, false, true, false};
        dir.write(AlarmStore::FileName, DataFile::encode(written));
        store.LoadAlarms();
        QCOMPARE(state.file, written);

        // Changed in memory only, as an accept that stops at a bad row or
        // a tick's empty-date default leaves them.
        state.file.FileBanner1 = QStringLiteral("changed");
        state.file.sound = SoundChoice{};
        state.table().AlarmDate[0] = QStringLiteral("12/31/99");
        state.table().AlarmMessage[1] = QStringLiteral("typed");
        state.table().AlarmTime[0].clear();
        state.table().AlarmWeekly[0] = 0;
        state.table().AlarmMonthly[2] = 2;
        state.table().AlarmFired[0] = 1;
        state.table().AlarmFired[3] = 0;
        store.LoadAlarms();
        QCOMPARE(state.file, written);

        // A damaged file in between reads part of the fields; the whole
        // file again puts every one back.
        const QByteArray damaged =
            cutAfterLine(DataFile::encode(weeklyEntry(QStringLiteral("from the damaged file"))), 5);
        dir.write(AlarmStore::FileName, damaged);
        store.LoadAlarms();
        QCOMPARE(state.table().AlarmMessage[0], QStringLiteral("from the damaged file"));
        dir.write(AlarmStore::FileName, DataFile::encode(written));
        store.LoadAlarms();
        QCOMPARE(state.file, written);
        QCOMPARE(boxes.shown.size(), 1);
    }

    void theFileIsFoundInTheCurrentDirectoryOfEachCall()
    {
        TempCurrentDir first;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        QVERIFY(store.save(weeklyEntry(QStringLiteral("one"))).ok);
        {
            TempCurrentDir second;
            QVERIFY(store.save(weeklyEntry(QStringLiteral("two"))).ok);
            QVERIFY(second.read(AlarmStore::FileName).contains("\"two\""));
        }
        QVERIFY(first.read(AlarmStore::FileName).contains("\"one\""));
    }

    void aBrokenFileKeepsWhatWasReadAndSaysSoOnce()
    {
        TempCurrentDir dir;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        const QByteArray whole = DataFile::encode(weeklyEntry(QStringLiteral("kept")));
        dir.write(AlarmStore::FileName, cutAfterLine(whole, 100));

        store.LoadAlarms();
        QCOMPARE(state.table().AlarmMessage[0], QStringLiteral("kept"));
        QCOMPARE(state.table().AlarmFired[0], qint16(0));
        QCOMPARE(boxes.shown, QStringList{AlarmStore::ProblemText});
        QCOMPARE(AlarmStore::ProblemText,
                 QStringLiteral("PROBLEM WITH SAVED FILE.\r\nFIND AND DELETE   Tikor.dat\r\n"
                                "A NEW ONE WILL BE CREATED."));

        // Dismissed: the same bytes do not bring the box back at every tick.
        store.LoadAlarms();
        store.LoadAlarms();
        QCOMPARE(boxes.shown.size(), 1);

        // Damaged differently: the user hears of it again.
        dir.write(AlarmStore::FileName, cutAfterLine(whole, 50));
        store.LoadAlarms();
        QCOMPARE(boxes.shown.size(), 2);
    }

    void aLoadInsideTheOpenProblemBoxOpensNoSecondBox()
    {
        TempCurrentDir dir;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        dir.write(AlarmStore::FileName, "\"only a banner\"\r\n");
        int nestedLoads = 0;
        boxes.whileOpen = [&](const QString &) {
            for (; nestedLoads < 3; ++nestedLoads)
                store.LoadAlarms();
        };
        store.LoadAlarms();
        QCOMPARE(nestedLoads, 3);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.mostOpen, 1);
        QCOMPARE(state.file.FileBanner1, QStringLiteral("only a banner"));
    }

    void aSaveOverABrokenFileKeepsItAsBadCopy()
    {
        TempCurrentDir dir;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        const QByteArray broken = "\"b1\"\r\n\"b2\"\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"x\"\r\n";
        dir.write(AlarmStore::FileName, broken);
        store.LoadAlarms();
        QVERIFY(store.save(state.file).ok);
        QCOMPARE(dir.read(AlarmStore::BadCopyName), broken);
        QCOMPARE(dir.read(AlarmStore::FileName).count("\r\n"), 227);

        // Once the file is whole again, later saves leave the copy alone.
        dir.write(AlarmStore::BadCopyName, "older copy");
        QVERIFY(store.save(state.file).ok);
        QCOMPARE(dir.read(AlarmStore::BadCopyName), QByteArray("older copy"));
    }

    void aFailedSaveLeavesTheOldFileWhole()
    {
        TempCurrentDir dir;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        const QByteArray old = DataFile::encode(weeklyEntry(QStringLiteral("old")));
        dir.write(AlarmStore::FileName, old);

        store.setDeviceFactory([](const QString &) { return std::make_unique<FullDevice>(100); });
        const AlarmStore::SaveResult first = store.save(weeklyEntry(QStringLiteral("new")));
        QVERIFY(!first.ok);
        QVERIFY(first.firstFailure);
        QCOMPARE(first.reason, QStringLiteral("No space left on device"));
        QCOMPARE(AlarmStore::saveFailureText(first.reason),
                 QStringLiteral("Tikor.dat could not be saved: No space left on device"));
        const AlarmStore::SaveResult second = store.save(weeklyEntry(QStringLiteral("new")));
        QVERIFY(!second.ok);
        QVERIFY(!second.firstFailure);
        QVERIFY(store.saveFailing());
        QCOMPARE(dir.read(AlarmStore::FileName), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{AlarmStore::FileName});
    }

    // While saves fail, memory holds what the user did: the unchanged file is
    // not read back over it; a file changed from outside still is.
    void whileSavesFailMemoryWinsOverTheUnchangedFile()
    {
        TempCurrentDir dir;
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        dir.write(AlarmStore::FileName, DataFile::encode(weeklyEntry(QStringLiteral("m"))));
        store.LoadAlarms();
        QCOMPARE(state.table().AlarmFired[0], qint16(0));

        state.table().AlarmFired[0] = 1;
        store.setDeviceFactory([](const QString &) { return std::make_unique<FullDevice>(0); });
        QVERIFY(!store.save(state.file).ok);
        store.LoadAlarms();
        QCOMPARE(state.table().AlarmFired[0], qint16(1));

        dir.write(AlarmStore::FileName, DataFile::encode(weeklyEntry(QStringLiteral("edited"))));
        store.LoadAlarms();
        QCOMPARE(state.table().AlarmMessage[0], QStringLiteral("edited"));
        QCOMPARE(state.table().AlarmFired[0], qint16(0));
    }

    // The real file system, made full by a file-size limit on a child
    // process: the save fails and the old file is untouched.
    void aSaveThatHitsTheFileSizeLimitKeepsTheOldFile()
    {
        TempCurrentDir dir;
        const QByteArray old = DataFile::encode(weeklyEntry(QStringLiteral("old")));
        dir.write(AlarmStore::FileName, old);

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{512, 512};
            setrlimit(RLIMIT_FSIZE, &limit);
            Module1 state;
            RecordingMessageBoxes boxes;
            AlarmStore store(state, boxes);
            FileContents big = weeklyEntry(QString(2000, u'x'));
            const AlarmStore::SaveResult result = store.save(big);
            _exit(result.ok ? 1 : result.reason.isEmpty() ? 2 : 0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(dir.read(AlarmStore::FileName), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{AlarmStore::FileName});
    }

    void aVanishedDirectoryFailsTheSave()
    {
        Module1 state;
        RecordingMessageBoxes boxes;
        AlarmStore store(state, boxes);
        TempCurrentDir dir;
        QVERIFY(QDir(dir.path()).removeRecursively());
        const AlarmStore::SaveResult result = store.save(state.file);
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
        store.LoadAlarms();
        QVERIFY(boxes.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAlarmStore)
#include "tst_alarmstore.moc"
