#include "app/singlecopy.h"
#include "support/tempdir.h"

#include <QDir>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

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

    void aFolderWhereNoLockCanBeMadeIsNotAlreadyRunning()
    {
        TempCurrentDir dir;
        QVERIFY(QDir(dir.path()).removeRecursively());
        SingleCopy copy;
        QCOMPARE(copy.acquire(), SingleCopy::NoLock);
    }
};

QTEST_GUILESS_MAIN(TestSingleCopy)
#include "tst_singlecopy.moc"
