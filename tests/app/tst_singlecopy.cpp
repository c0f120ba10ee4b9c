// SPDX-License-Identifier: MIT
#include "app/singlecopy.h"
#include "store/alarmstore.h"
#include "support/otheruser.h"
#include "support/recordingservices.h"
#include "support/tempdir.h"

#include <QDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// A copy that runs in another process, as the first of two real starts
// would: it takes the lock in `folder` and holds it until stopped.
class RunningCopy
{
public:
    explicit RunningCopy(const QString &folder)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_done) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(m_done[1]);
            OtherUser::becomeOwner();
            SingleCopy copy;
            const char answer =
                QDir::setCurrent(folder) && copy.acquire() == SingleCopy::Locked ? 'y' : 'n';
            (void)!::write(ready[1], &answer, 1);
            char byte;
            (void)!::read(m_done[0], &byte, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(m_done[0]);
        char answer = 0;
        m_locked = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~RunningCopy() { stop(); }
    RunningCopy(const RunningCopy &) = delete;
    RunningCopy &operator=(const RunningCopy &) = delete;

    bool locked() const { return m_locked; }
    // Ends it; killed, it has no chance to let go.
    void stop(bool kill = false)
    {
        if (m_pid <= 0)
            return;
        if (kill)
            ::kill(m_pid, SIGKILL);
        ::close(m_done[1]);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_done[2] = {-1, -1};
    bool m_locked = false;
};

// The copies the tests start are the owner's (when run by root).
void giveToOwner(const TempCurrentDir &dir)
{
    if (OtherUser::canPlayUsers())
        OtherUser::giveTo(dir.path(), OtherUser::Owner);
}

// What a second start in `folder` finds, from another process.
SingleCopy::Outcome secondStartIn(const QString &folder)
{
    const int code = OtherUser::inChild([&folder] {
        SingleCopy copy;
        return QDir::setCurrent(folder) ? int(copy.acquire()) : 99;
    });
    return SingleCopy::Outcome(code);
}

} // namespace

class TestSingleCopy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneCopyPerFolder()
    {
        TempCurrentDir dir;
        giveToOwner(dir);
        SingleCopy first;
        QCOMPARE(first.acquire(), SingleCopy::Locked);
        QCOMPARE(secondStartIn(dir.path()), SingleCopy::AlreadyRunning);
        {
            TempCurrentDir other;
            SingleCopy elsewhere;
            QCOMPARE(elsewhere.acquire(), SingleCopy::Locked);
        }
        // The lock is the folder's own: nothing is written there for it.
        QCOMPARE(namesIn(dir.path()), QStringList());
        first.release();
        QCOMPARE(secondStartIn(dir.path()), SingleCopy::Locked);
    }

    void theLockOfACopyThatDiedIsTakenOver()
    {
        TempCurrentDir dir;
        giveToOwner(dir);
        RunningCopy crashed(dir.path());
        QVERIFY(crashed.locked());
        QCOMPARE(secondStartIn(dir.path()), SingleCopy::AlreadyRunning);
        crashed.stop(true);
        SingleCopy next;
        QCOMPARE(next.acquire(), SingleCopy::Locked);
    }

    // Whatever is done to the files of the folder while a copy runs, a
    // second one is not let in, and nothing put there makes a start hang.
    void nothingInTheFolderLetsASecondCopyIn_data()
    {
        QTest::addColumn<QString>("done");
        QTest::newRow("nothing") << "";
        QTest::newRow("the old lock file deleted") << "delete";
        QTest::newRow("a named pipe put at the lock's name") << "fifo";
        QTest::newRow("a folder put at the lock's name") << "folder";
        QTest::newRow("another user's file at the lock's name") << "stranger";
        QTest::newRow("every file of the folder deleted") << "empty";
    }

    void nothingInTheFolderLetsASecondCopyIn()
    {
        QFETCH(QString, done);
        TempCurrentDir dir;
        giveToOwner(dir);
        const QString lock = dir.filePath(SingleCopy::LockName);
        dir.write(SingleCopy::LockName, "1\ntikora\nhost\n"); // as an older copy left it
        RunningCopy first(dir.path());
        QVERIFY(first.locked());

        if (done == u"delete" || done == u"empty" || done == u"fifo" || done == u"folder")
            QVERIFY(QFile::remove(lock));
        if (done == u"empty") {
            for (const QString &name : namesIn(dir.path()))
                QVERIFY(QFile::remove(dir.filePath(name)));
        }
        if (done == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
        if (done == u"folder")
            QVERIFY(QDir().mkdir(lock));
        if (done == u"stranger" && OtherUser::canPlayUsers())
            QVERIFY(OtherUser::giveTo(lock, OtherUser::Stranger));

        QCOMPARE(secondStartIn(dir.path()), SingleCopy::AlreadyRunning);
        first.stop();
        // With the first copy gone the folder is free, whatever lies in it.
        QCOMPARE(secondStartIn(dir.path()), SingleCopy::Locked);
    }

    // A Tikor.dat that links into another folder is that folder's data
    // file: a copy started beside the link meets the one started there.
    void aLinkedDataFileIsLockedInItsOwnFolder()
    {
        TempCurrentDir home;
        const QString real = home.filePath(QStringLiteral("real"));
        const QString linked = home.filePath(QStringLiteral("linked"));
        QVERIFY(QDir().mkdir(real) && QDir().mkdir(linked));
        QFile(real + QStringLiteral("/Tikor.dat")).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(real + QStringLiteral("/Tikor.dat"),
                            linked + QStringLiteral("/Tikor.dat")));
        if (OtherUser::canPlayUsers()) {
            for (const QString &path :
                 {home.path(), real, linked, real + "/Tikor.dat", linked + "/Tikor.dat"})
                QVERIFY(OtherUser::giveTo(path, OtherUser::Owner));
        }
        {
            RunningCopy atTheFile(real);
            QVERIFY(atTheFile.locked());
            QCOMPARE(secondStartIn(linked), SingleCopy::AlreadyRunning);
        }
        RunningCopy atTheLink(linked);
        QVERIFY(atTheLink.locked());
        QCOMPARE(secondStartIn(real), SingleCopy::AlreadyRunning);
    }

    // Start-up looks at the folder and the data file before the lock, and
    // refuses, in words, a lock it cannot have.
    void startUpTakesOnlyTheUsersOwnFolder_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<int>("claim");
        QTest::addColumn<QString>("expected"); // %D the folder, %F Tikor.dat: the box shown
        const int run = int(Claim::Run), handedOver = int(Claim::HandedOver),
                  refused = int(Claim::Refused);
        QTest::newRow("own folder") << "own" << run << "";
        QTest::newRow("shared folder") << "shared" << refused
                                       << "Tikora cannot keep its alarms here: other users can "
                                          "write to the folder %D.";
        QTest::newRow("data file a link to a device")
            << "device link" << refused
            << "Tikora cannot keep its alarms here: %F is a link to /dev/null, "
               "which is not a regular file.";
        QTest::newRow("another copy running, which does not answer")
            << "running" << refused << "Tikora is already running in this folder.";
        // It brings its window forward: this start ends without a word.
        QTest::newRow("another copy running, which answers")
            << "running, answers" << handedOver << "";
        QTest::newRow("a folder that cannot be opened")
            << "unreadable" << refused
            << "Tikora cannot make sure it runs only once here: the folder %D cannot be "
               "opened (Permission denied).";
    }

    void startUpTakesOnlyTheUsersOwnFolder()
    {
        QFETCH(QString, setUp);
        QFETCH(int, claim);
        QFETCH(QString, expected);
        if (setUp == u"unreadable" && !OtherUser::canPlayUsers())
            QSKIP("needs a user that permissions stop");
        QTemporaryDir outer;
        QVERIFY(setMode(outer.path(), 0711));
        const QString folder = outer.filePath(QStringLiteral("alarms"));
        QVERIFY(QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        // A temporary file of a save cut short in an earlier run.
        const QString leftover = folder + QStringLiteral("/Tikor.dat.Ab12Cd");
        {
            QFile file(leftover);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("half");
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                     QFileDevice::FileModificationTime));
        }
        if (setUp == u"shared")
            QVERIFY(setMode(folder, 01777));
        else if (setUp == u"device link")
            QVERIFY(
                QFile::link(QStringLiteral("/dev/null"), folder + QStringLiteral("/Tikor.dat")));
        if (OtherUser::canPlayUsers()) {
            QVERIFY(OtherUser::giveTo(folder, OtherUser::Owner));
            QVERIFY(OtherUser::giveTo(leftover, OtherUser::Owner));
            if (setUp == u"device link")
                QVERIFY(OtherUser::giveTo(folder + QStringLiteral("/Tikor.dat"), OtherUser::Owner));
        }
        std::optional<RunningCopy> running;
        if (setUp.startsWith(u"running")) {
            running.emplace(folder);
            QVERIFY(running->locked());
        }
        if (setUp == u"unreadable")
            QVERIFY(setMode(folder, 0300));

        // The start, as the owner, in a child process that reports back the
        // message it showed, the folder it asked to hand over to, and its
        // claim.
        QTemporaryFile report;
        QVERIFY(report.open());
        QVERIFY(report.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadOther | QFileDevice::WriteOther));
        const int runs = OtherUser::inChild([&] {
            if (!QDir::setCurrent(folder))
                return 99;
            SingleCopy copy;
            RecordingMessageBoxes boxes;
            QString askedFolder = QStringLiteral("(none)");
            const Claim claimed =
                claimDataFolder(copy, boxes, [&askedFolder, &setUp](const QString &held) {
                    askedFolder = held;
                    return setUp == u"running, answers";
                });
            QFile out(report.fileName());
            if (!out.open(QIODevice::WriteOnly))
                return 98;
            out.write((askedFolder + u'\n' + boxes.shown.join(u'\n')).toUtf8());
            out.close();
            return int(claimed);
        });
        setMode(folder, 0700);
        QCOMPARE(runs, claim);
        const QString text =
            QString(expected)
                .replace(QStringLiteral("%D"), folder)
                .replace(QStringLiteral("%F"), folder + QStringLiteral("/Tikor.dat"));
        // Only a start that meets a running copy asks it, naming its folder.
        const QString asked =
            setUp.startsWith(u"running") ? QDir(folder).canonicalPath() : QStringLiteral("(none)");
        QCOMPARE(QString::fromUtf8(report.readAll()), asked + u'\n' + text);
        // Only a copy that holds the lock clears what earlier runs left.
        QCOMPARE(QFile::exists(leftover), claim != int(Claim::Run));
        QCOMPARE(QFileInfo(folder + QStringLiteral("/Tikor.dat")).isSymLink(),
                 setUp == u"device link");
        QVERIFY(!QFile::exists(folder + u'/' + SingleCopy::LockName));
    }

    // A folder the user may not write in (and no runtime folder, or one
    // another user made first) still takes the lock: two copies meet there.
    void aReadOnlyFolderStillHoldsOneCopy()
    {
        if (!OtherUser::canPlayUsers())
            QSKIP("needs a user that permissions stop");
        QTemporaryDir outer;
        QVERIFY(setMode(outer.path(), 0711));
        const QString folder = outer.filePath(QStringLiteral("read-only"));
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(OtherUser::giveTo(folder, OtherUser::Owner));
        QVERIFY(setMode(folder, 0555));
        const QString squatted = outer.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkdir(squatted));
        QVERIFY(setMode(squatted, 01777));
        QVERIFY(QDir().mkdir(squatted + QStringLiteral("/runtime-nobody")));
        QVERIFY(
            OtherUser::giveTo(squatted + QStringLiteral("/runtime-nobody"), OtherUser::Stranger));
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(squatted));

        RunningCopy first(folder);
        QVERIFY(first.locked());
        QCOMPARE(secondStartIn(folder), SingleCopy::AlreadyRunning);
        QCOMPARE(namesIn(folder), QStringList());
        QCOMPARE(namesIn(squatted + QStringLiteral("/runtime-nobody")), QStringList());
        qunsetenv("TMPDIR");
        setMode(folder, 0755);
    }

    // Where the file system has no folder locks, a lock file stands in: it
    // is taken only when it is a regular file of the user's own, and never
    // waited for.
    void theStandInLockFileIsTakenOnlyWhenSafe_data()
    {
        QTest::addColumn<QString>("atTheName");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("error"); // %L the lock file
        QTest::newRow("nothing") << "" << int(FolderLock::Locked) << "";
        QTest::newRow("the user's file") << "own" << int(FolderLock::Locked) << "";
        QTest::newRow("held by a running copy") << "held" << int(FolderLock::Busy) << "";
        QTest::newRow("a named pipe")
            << "fifo" << int(FolderLock::Failed) << "%L is not a regular file";
        QTest::newRow("a folder") << "folder" << int(FolderLock::Failed)
                                  << "the lock file %L cannot be opened (Is a directory)";
        QTest::newRow("a link") << "link" << int(FolderLock::Failed)
                                << "the lock file %L cannot be opened (Too many levels of "
                                   "symbolic links)";
        QTest::newRow("another user's file")
            << "stranger" << int(FolderLock::Failed) << "the lock file %L belongs to another user";
    }

    void theStandInLockFileIsTakenOnlyWhenSafe()
    {
        QFETCH(QString, atTheName);
        QFETCH(int, outcome);
        QFETCH(QString, error);
        if (atTheName == u"stranger" && !OtherUser::canPlayUsers())
            QSKIP("needs a second user");
        TempCurrentDir dir;
        const QString lock = dir.filePath(SingleCopy::LockName);
        if (atTheName == u"own" || atTheName == u"held" || atTheName == u"stranger")
            dir.write(SingleCopy::LockName, "");
        if (atTheName == u"fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
        if (atTheName == u"folder")
            QVERIFY(QDir().mkdir(lock));
        if (atTheName == u"link")
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("elsewhere")), lock));
        if (atTheName == u"stranger")
            QVERIFY(OtherUser::giveTo(lock, OtherUser::Stranger));

        // Held by another process: POSIX file locks are a process's own.
        int ready[2], done[2];
        QVERIFY(::pipe(ready) == 0 && ::pipe(done) == 0);
        pid_t holder = -1;
        if (atTheName == u"held") {
            holder = ::fork();
            if (holder == 0) {
                ::close(done[1]);
                FolderLock held;
                const char answer = held.lockFile(lock) == FolderLock::Locked ? 'y' : 'n';
                (void)!::write(ready[1], &answer, 1);
                char byte;
                (void)!::read(done[0], &byte, 1);
                ::_exit(0);
            }
            char answer = 0;
            QCOMPARE(::read(ready[0], &answer, 1), 1);
            QCOMPARE(answer, 'y');
        }

        FolderLock standIn;
        QCOMPARE(int(standIn.lockFile(lock)), outcome);
        QCOMPARE(standIn.error(), QString(error).replace(QStringLiteral("%L"), lock));
        QCOMPARE(standIn.locked(), outcome == FolderLock::Locked);
        for (int fd : {ready[0], ready[1], done[0], done[1]})
            ::close(fd);
        if (holder > 0)
            QCOMPARE(::waitpid(holder, nullptr, 0), holder);
    }
};

QTEST_GUILESS_MAIN(TestSingleCopy)
#include "tst_singlecopy.moc"
