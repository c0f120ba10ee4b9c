// SPDX-License-Identifier: MIT
#include "app/singlecopy.h"
#include "store/alarmstore.h"
#include "support/otheruser.h"
#include "support/recordingservices.h"
#include "support/tempdir.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// What a lock of a running copy holds: its process id, name and host.
QByteArray lockOfLiveProcess()
{
    return "1\ntikora\n" + QSysInfo::machineHostName().toUtf8() + "\n";
}

} // namespace

class TestSingleCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneCopyPerFolder()
    {
        TempCurrentDir dir;
        SingleCopy first;
        QCOMPARE(first.acquire(), SingleCopy::Locked);
        // A second copy started in the same folder (another process, as a
        // real second start would be).
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            SingleCopy second;
            _exit(second.acquire() == SingleCopy::AlreadyRunning ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(!dir.exists(QStringLiteral("Tikor.dat")));

        {
            TempCurrentDir other;
            SingleCopy elsewhere;
            QCOMPARE(elsewhere.acquire(), SingleCopy::Locked);
        }
        first.release();
        QVERIFY(!dir.exists(SingleCopy::LockName));
    }

    void theLockOfACopyThatDiedIsTakenOver()
    {
        TempCurrentDir dir;
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            SingleCopy crashed;
            // Ends without releasing, as a crash would.
            _exit(crashed.acquire() == SingleCopy::Locked ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(dir.exists(SingleCopy::LockName));

        SingleCopy next;
        QCOMPARE(next.acquire(), SingleCopy::Locked);
    }

    // Start-up looks at the folder and the data file before the lock: in a
    // folder others can write, a lock they planted must not pass for a
    // running copy, and a link they planted must not be followed.
    void startUpTakesOnlyTheUsersOwnFolder_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("expected"); // %D the folder, %F Tikor.dat; empty: it runs
        QTest::newRow("own folder") << "own"
                                    << "";
        QTest::newRow("shared folder with a planted lock")
            << "shared"
            << "Tikora cannot keep its alarms here: other users can write to the "
               "folder %D.";
        QTest::newRow("data file a link to a device")
            << "device link"
            << "Tikora cannot keep its alarms here: %F is a link to /dev/null, "
               "which is not a regular file.";
        QTest::newRow("another copy running") << "running"
                                              << "Tikora is already running in this folder.";
    }

    void startUpTakesOnlyTheUsersOwnFolder()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, expected);
        TempCurrentDir dir;
        // A temporary file of a save cut short in an earlier run.
        const QString leftover = QStringLiteral("Tikor.dat.Ab12Cd");
        dir.write(leftover, "half");
        {
            QFile file(dir.filePath(leftover));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                     QFileDevice::FileModificationTime));
        }
        if (setUp == u"shared") {
            QVERIFY(setMode(dir.path(), 01777));
            dir.write(SingleCopy::LockName, lockOfLiveProcess());
        } else if (setUp == u"device link") {
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath(AlarmStore::FileName)));
        }
        // Held by this process, as by a copy that runs.
        QLockFile running(dir.filePath(SingleCopy::LockName));
        if (setUp == u"running")
            QVERIFY(running.tryLock());
        const QByteArray lockBefore = dir.read(SingleCopy::LockName);

        SingleCopy copy;
        RecordingMessageBoxes boxes;
        const bool runs = claimDataFolder(copy, boxes);
        QCOMPARE(runs, expected.isEmpty());
        const QString text = QString(expected)
                                 .replace(QStringLiteral("%D"), dir.path())
                                 .replace(QStringLiteral("%F"), dir.filePath(AlarmStore::FileName));
        QCOMPARE(boxes.shown, runs ? QStringList() : QStringList{text});
        if (runs) {
            QCOMPARE(copy.lockPath(), dir.filePath(SingleCopy::LockName));
            QVERIFY(!dir.exists(leftover));
        } else {
            QCOMPARE(copy.lockPath(), QString());
            QCOMPARE(dir.read(SingleCopy::LockName), lockBefore);
            QVERIFY(dir.exists(leftover));
        }
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("Tikor.dat"))).isSymLink(),
                 setUp == u"device link");
    }

    // Where no lock can be made beside the file (a read-only folder), two
    // copies still meet: at a lock in the user's runtime folder named after
    // the data file's path. Only a copy that can make no lock anywhere runs
    // without one.
    void withoutALockBesideTheFileTheRuntimeFolderHoldsIt()
    {
        QTemporaryDir outer;
        QVERIFY(setMode(outer.path(), 0711));
        const QString folder = outer.filePath(QStringLiteral("read-only"));
        const QString other = outer.filePath(QStringLiteral("other"));
        const QString runtime = outer.filePath(QStringLiteral("runtime"));
        for (const QString &path : {folder, other, runtime}) {
            QVERIFY(QDir().mkdir(path));
            if (OtherUser::canPlayUsers())
                QVERIFY(OtherUser::giveTo(path, OtherUser::Owner));
        }
        QVERIFY(setMode(runtime, 0700));
        QVERIFY(setMode(folder, 0555));
        if (!OtherUser::canPlayUsers() && QFileInfo(folder).isWritable())
            QSKIP("the folder stays writable for this user");
        const auto inFolder = [&runtime](const QString &path) {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
            return QDir::setCurrent(path);
        };

        // The first copy holds its lock until the pipe is closed.
        int ready[2];
        int done[2];
        QVERIFY(pipe(ready) == 0 && pipe(done) == 0);
        const pid_t first = fork();
        QVERIFY(first >= 0);
        if (first == 0) {
            close(ready[0]);
            close(done[1]);
            OtherUser::becomeOwner();
            SingleCopy copy;
            const bool locked = inFolder(folder) && copy.acquire() == SingleCopy::Locked &&
                                copy.lockPath().startsWith(runtime + u'/');
            const char answer = locked ? 'y' : 'n';
            (void)!write(ready[1], &answer, 1);
            char byte;
            (void)!read(done[0], &byte, 1);
            _exit(0);
        }
        close(ready[1]);
        close(done[0]);
        char answer = 0;
        QCOMPARE(read(ready[0], &answer, 1), 1);
        QCOMPARE(answer, 'y');

        const int second = OtherUser::inChild([&] {
            SingleCopy copy;
            return inFolder(folder) && copy.acquire() == SingleCopy::AlreadyRunning ? 0 : 1;
        });
        const int elsewhere = OtherUser::inChild([&] {
            SingleCopy copy;
            return inFolder(other) && copy.acquire() == SingleCopy::Locked ? 0 : 1;
        });
        // No lock beside the file, and no runtime folder to fall back on.
        const int nowhere = OtherUser::inChild([&] {
            SingleCopy copy;
            qputenv("TMPDIR", "/nonexistent");
            return inFolder(folder) && qputenv("XDG_RUNTIME_DIR", "/nonexistent/run") &&
                           copy.acquire() == SingleCopy::NoLock
                       ? 0
                       : 1;
        });
        close(done[1]);
        int status = 0;
        QCOMPARE(waitpid(first, &status, 0), first);
        close(ready[0]);
        QCOMPARE(second, 0);
        QCOMPARE(elsewhere, 0);
        QCOMPARE(nowhere, 0);
        QVERIFY(!QFile::exists(folder + u'/' + SingleCopy::LockName));
        setMode(folder, 0755);
    }
};

QTEST_GUILESS_MAIN(TestSingleCopy)
#include "tst_singlecopy.moc"
