// SPDX-License-Identifier: MIT
#include "store/alarmstore.h"
#include "store/datafile.h"
#include "store/systemfiles.h"
#include "support/engineinternals.h"
#include "support/entries.h"
#include "support/fulldevice.h"
#include "support/otheruser.h"
#include "support/recordingservices.h"
#include "support/tempdir.h"
#include "support/testengine.h"

#include <QDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

bool makeNode(const QString &path, const QString &kind)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == u"pipe")
        return ::mkfifo(name.constData(), 0600) == 0;
    // A node of the same device as /dev/null, where root can make one.
    return ::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0 ||
           ::mkfifo(name.constData(), 0600) == 0;
}

ino_t inodeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QString withPaths(QString text, const QString &file, const QString &target, const QString &folder)
{
    return text.replace(QStringLiteral("%F"), file)
        .replace(QStringLiteral("%T"), target)
        .replace(QStringLiteral("%D"), folder);
}

// A folder the owner may read but not write, in a folder the owner may
// enter, holding Tikor.dat of the owner's: saves there must go in place.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QByteArray &contents)
    {
        setMode(m_outer.path(), 0711);
        QDir(m_outer.path()).mkdir(QStringLiteral("data"));
        QFile file(filePath());
        if (file.open(QIODevice::WriteOnly))
            file.write(contents);
        file.close();
        OtherUser::giveTo(filePath(), OtherUser::Owner);
        OtherUser::giveTo(path(), OtherUser::Owner);
        setMode(path(), 0555);
    }
    ~ReadOnlyFolder() { setMode(path(), 0755); }

    QString path() const { return m_outer.filePath(QStringLiteral("data")); }
    QString filePath() const { return path() + QStringLiteral("/Tikor.dat"); }
    QByteArray read() const
    {
        QFile file(filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_outer;
};

// The store as the program runs it, inside the engine, in a fresh current
// directory.
struct StoreTest
{
    TempCurrentDir dir;
    TestEngine loader;
    ProgramState &state = EngineInternals::state(loader.engine);
    RecordingMessageBoxes &boxes = loader.boxes;
    AlarmStore &store = EngineInternals::store(loader.engine);
};

} // namespace

class TestAlarmStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aMissingFileChangesNothingAndTheFirstSaveCreatesIt()
    {
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        const ProgramState before = state;

        QVERIFY(!dir.exists(AlarmStore::FileName));
        loader.engine.loadFile();
        QCOMPARE(state.file, before.file);
        QVERIFY(boxes.shown.isEmpty());

        QVERIFY(store.save(state.file).ok);
        QVERIFY(dir.exists(AlarmStore::FileName));
        const QByteArray bytes = dir.read(AlarmStore::FileName);
        QCOMPARE(bytes.count("\r\n"), 227);
        QVERIFY(bytes.contains(
            "#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"\"\r\n\"\"\r\n\"\"\r\n0\r\n0\r\n0\r\n1\r\n"));
    }

    void loadsWhatASaveWrote()
    {
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        const FileContents written = weeklyEntry(QStringLiteral("Team meeting, room 4"));
        QVERIFY(store.save(written).ok);
        loader.engine.loadFile();
        QCOMPARE(state.file, written);
        QVERIFY(boxes.shown.isEmpty());
    }

    void aReloadOfTheSameBytesPutsBackEveryFieldChangedInMemory()
    {
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        FileContents written = weeklyEntry(QStringLiteral("Team meeting, room 4"));
        written.sound = SoundChoice{false, false, true, false};
        dir.write(AlarmStore::FileName, DataFile::encode(written));
        loader.engine.loadFile();
        QCOMPARE(state.file, written);

        // Changed in memory only, as an accept that stops at a bad row or
        // a tick's empty-date default leaves them.
        state.file.banner1 = QStringLiteral("changed");
        state.file.sound = SoundChoice{};
        state.table()[0].date = QStringLiteral("12/31/99");
        state.table()[1].message = QStringLiteral("typed");
        state.table()[0].time.clear();
        state.table()[0].repeat.weekly = 0;
        state.table()[2].repeat.monthly = 2;
        state.table()[0].fired = 1;
        state.table()[3].fired = 0;
        loader.engine.loadFile();
        QCOMPARE(state.file, written);

        // A damaged file in between reads part of the fields; the whole
        // file again puts every one back.
        const QByteArray damaged =
            cutAfterLine(DataFile::encode(weeklyEntry(QStringLiteral("from the damaged file"))), 5);
        dir.write(AlarmStore::FileName, damaged);
        loader.engine.loadFile();
        QCOMPARE(state.table()[0].message, QStringLiteral("from the damaged file"));
        dir.write(AlarmStore::FileName, DataFile::encode(written));
        loader.engine.loadFile();
        QCOMPARE(state.file, written);
        QCOMPARE(boxes.shown.size(), 1);
    }

    void theFileIsFoundInTheCurrentDirectoryOfEachCall()
    {
        TempCurrentDir first;
        TestEngine loader;
        AlarmStore &store = EngineInternals::store(loader.engine);
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
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        const QByteArray whole = DataFile::encode(weeklyEntry(QStringLiteral("kept")));
        dir.write(AlarmStore::FileName, cutAfterLine(whole, 100));

        loader.engine.loadFile();
        QCOMPARE(state.table()[0].message, QStringLiteral("kept"));
        QCOMPARE(state.table()[0].fired, qint16(0));
        QCOMPARE(boxes.shown, QStringList{AlarmStore::ProblemText});
        QCOMPARE(AlarmStore::ProblemText,
                 QStringLiteral("PROBLEM WITH SAVED FILE.\r\nFIND AND DELETE   Tikor.dat\r\n"
                                "A NEW ONE WILL BE CREATED."));

        // Dismissed: the same bytes do not bring the box back at every tick.
        loader.engine.loadFile();
        loader.engine.loadFile();
        QCOMPARE(boxes.shown.size(), 1);

        // Damaged differently: the user hears of it again.
        dir.write(AlarmStore::FileName, cutAfterLine(whole, 50));
        loader.engine.loadFile();
        QCOMPARE(boxes.shown.size(), 2);
    }

    // Damaged while it is being changed: another program's write caught
    // half-way. Nothing of it is taken and nothing is said; read again once
    // it is quiet, the whole file is taken, or the damage is told of once.
    void aFileDamagedWhileChangingIsReadAgainBeforeTheUserIsTold()
    {
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        bool changing = true;
        EngineInternals::store(loader.engine).setChangeWatch([&changing] { return changing; });
        dir.write(AlarmStore::FileName, DataFile::encode(weeklyEntry(QStringLiteral("before"))));
        loader.engine.loadFile();
        const FileContents before = state.file;

        const QByteArray next = DataFile::encode(weeklyEntry(QStringLiteral("after")));
        dir.write(AlarmStore::FileName, cutAfterLine(next, 100));
        loader.engine.loadFile();
        QVERIFY(state.file == before);
        QVERIFY(loader.boxes.shown.isEmpty());

        changing = false;
        dir.write(AlarmStore::FileName, next);
        loader.engine.loadFile();
        QCOMPARE(state.table()[0].message, QStringLiteral("after"));
        QVERIFY(loader.boxes.shown.isEmpty());

        // Damaged for good: once quiet, told once, and what was read kept.
        changing = true;
        dir.write(AlarmStore::FileName, cutAfterLine(next, 3));
        loader.engine.loadFile();
        QVERIFY(loader.boxes.shown.isEmpty());
        changing = false;
        loader.engine.loadFile();
        loader.engine.loadFile();
        QCOMPARE(loader.boxes.shown, QStringList{AlarmStore::ProblemText});
        QCOMPARE(state.table()[0].message, QStringLiteral("after"));
    }

    void aLoadInsideTheOpenProblemBoxOpensNoSecondBox()
    {
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        dir.write(AlarmStore::FileName, "\"only a banner\"\r\n");
        int nestedLoads = 0;
        boxes.whileOpen = [&](const QString &) {
            for (; nestedLoads < 3; ++nestedLoads)
                loader.engine.loadFile();
        };
        loader.engine.loadFile();
        QCOMPARE(nestedLoads, 3);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.mostOpen, 1);
        QCOMPARE(state.file.banner1, QStringLiteral("only a banner"));
    }

    void aSaveOverABrokenFileKeepsItAsBadCopy()
    {
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        const QByteArray broken = "\"b1\"\r\n\"b2\"\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n\"x\"\r\n";
        dir.write(AlarmStore::FileName, broken);
        loader.engine.loadFile();
        QVERIFY(store.save(state.file).ok);
        QCOMPARE(dir.read(AlarmStore::BadCopyName), broken);
        QCOMPARE(dir.read(AlarmStore::FileName).count("\r\n"), 227);

        // Once the file is whole again, later saves leave the copy alone.
        dir.write(AlarmStore::BadCopyName, "older copy");
        QVERIFY(store.save(state.file).ok);
        QCOMPARE(dir.read(AlarmStore::BadCopyName), QByteArray("older copy"));
    }

    // When the copy of a broken file cannot be made whole (a full disk, a
    // folder the user may not create files in, where the save would write
    // in place), the broken file stays byte for byte and nothing is saved.
    void aBrokenFileWhoseCopyCannotBeMadeIsKept_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("size"); // of the broken file; 0: a short one
        QTest::addColumn<QString>("why");
        QTest::newRow("a full disk") << "full" << 0 << "No space left on device";
        QTest::newRow("a full disk, a file too large to read")
            << "full" << 2 * 1048576 << "No space left on device";
        QTest::newRow("a read-only folder") << "read-only" << 0 << "Permission denied";
    }

    void aBrokenFileWhoseCopyCannotBeMadeIsKept()
    {
        QFETCH(QString, where);
        QFETCH(int, size);
        QFETCH(QString, why);
        if (where == u"read-only" && !OtherUser::canPlayUsers())
            QSKIP("needs a user that permissions stop");
        QTemporaryDir outer;
        QVERIFY(setMode(outer.path(), 0711));
        const QString folder = outer.filePath(QStringLiteral("alarms"));
        QVERIFY(QDir().mkdir(folder));
        const QString data = folder + QStringLiteral("/Tikor.dat");
        QByteArray broken = DataFile::encode(weeklyEntry(QStringLiteral("kept")));
        broken = size > 0 ? broken.leftJustified(size, '\0')
                          : cutAfterLine(broken, 40) + "not a number\r\n";
        {
            QFile file(data);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(broken), qint64(broken.size()));
        }
        if (OtherUser::canPlayUsers()) {
            QVERIFY(OtherUser::giveTo(folder, OtherUser::Owner));
            QVERIFY(OtherUser::giveTo(data, OtherUser::Owner));
        }
        if (where == u"read-only")
            QVERIFY(setMode(folder, 0555));

        QTemporaryFile report;
        QVERIFY(report.open());
        QVERIFY(report.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadOther | QFileDevice::WriteOther));
        const int saved = OtherUser::inChild([&] {
            if (!QDir::setCurrent(folder))
                return 99;
            TestEngine loader;
            AlarmStore &store = EngineInternals::store(loader.engine);
            if (where == u"full") {
                store.setDeviceFactory([](const QString &path) -> std::unique_ptr<QIODevice> {
                    if (path == AlarmStore::BadCopyName)
                        return std::make_unique<FullDevice>(100);
                    return WholeFile::openSaveFile(path);
                });
            }
            loader.engine.loadFile();
            const AlarmStore::SaveResult first = store.save(loader.engine.fileContents());
            const AlarmStore::SaveResult second = store.save(loader.engine.fileContents());
            QFile out(report.fileName());
            if (!out.open(QIODevice::WriteOnly))
                return 98;
            out.write(first.reason.toUtf8());
            return (first.ok ? 1 : 0) + (second.ok ? 2 : 0) + (first.firstFailure ? 4 : 0) +
                   (second.firstFailure ? 8 : 0);
        });
        setMode(folder, 0755);
        QCOMPARE(saved, 4); // neither saved; told of the first failure only
        QCOMPARE(QString::fromUtf8(report.readAll()),
                 QStringLiteral("it is damaged, and no copy of it could be kept as "
                                "%1/Tikor.dat.bad (%2); the damaged file is kept as it is in %1")
                     .arg(folder, why));
        QFile file(data);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == broken);
        QVERIFY(!QFile::exists(folder + QStringLiteral("/Tikor.dat.bad")));
    }

    void aFailedSaveLeavesTheOldFileWhole()
    {
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
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
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        dir.write(AlarmStore::FileName, DataFile::encode(weeklyEntry(QStringLiteral("m"))));
        loader.engine.loadFile();
        QCOMPARE(state.table()[0].fired, qint16(0));

        state.table()[0].fired = 1;
        store.setDeviceFactory([](const QString &) { return std::make_unique<FullDevice>(0); });
        QVERIFY(!store.save(state.file).ok);
        loader.engine.loadFile();
        QCOMPARE(state.table()[0].fired, qint16(1));

        dir.write(AlarmStore::FileName, DataFile::encode(weeklyEntry(QStringLiteral("edited"))));
        loader.engine.loadFile();
        QCOMPARE(state.table()[0].message, QStringLiteral("edited"));
        QCOMPARE(state.table()[0].fired, qint16(0));
    }

    // The real file system, made full by a file-size limit on a child
    // process with the program's own signal disposition: the save fails
    // with a reason instead of ending the process, and the old file is
    // untouched.
    void aSaveThatHitsTheFileSizeLimitKeepsTheOldFile()
    {
        TempCurrentDir dir;
        const QByteArray old = DataFile::encode(weeklyEntry(QStringLiteral("old")));
        dir.write(AlarmStore::FileName, old);

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            SystemFiles::ignoreFileSizeSignal();
            const rlimit limit{512, 512};
            setrlimit(RLIMIT_FSIZE, &limit);
            TestEngine loader;
            AlarmStore &store = EngineInternals::store(loader.engine);
            FileContents big = weeklyEntry(QString(2000, u'x'));
            const AlarmStore::SaveResult result = store.save(big);
            _exit(result.ok ? 1 : result.reason.isEmpty() ? 2 : 0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status), "the file-size signal ended the process");
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(dir.read(AlarmStore::FileName), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{AlarmStore::FileName});
    }

    // Where the folder takes no new file but the file may be written, the
    // save writes it in place, and never leaves it shorter than a whole
    // file: with no room for the new length, the old file stays as it was.
    void aSaveInPlaceNeverCutsTheFile_data()
    {
        QTest::addColumn<int>("oldLength");
        QTest::addColumn<int>("newLength");
        QTest::addColumn<int>("sizeLimit"); // 0: none
        QTest::addColumn<bool>("saved");
        QTest::newRow("shorter") << 5000 << 100 << 0 << true;
        QTest::newRow("longer") << 100 << 5000 << 0 << true;
        QTest::newRow("longer, room for it") << 100 << 5000 << 8192 << true;
        QTest::newRow("longer, no room for it") << 100 << 5000 << 4096 << false;
        QTest::newRow("no room for a byte more") << 100 << 101 << 1 << false;
    }

    void aSaveInPlaceNeverCutsTheFile()
    {
        QFETCH(int, oldLength);
        QFETCH(int, newLength);
        QFETCH(int, sizeLimit);
        QFETCH(bool, saved);
        const FileContents newContents = weeklyEntry(QString(newLength, u'n'));
        const QByteArray old = DataFile::encode(weeklyEntry(QString(oldLength, u'o')));
        ReadOnlyFolder folder(old);
        if (!OtherUser::canPlayUsers() && QFileInfo(folder.path()).isWritable())
            QSKIP("the folder stays writable for this user");
        const ino_t inode = inodeOf(folder.filePath());

        const int result = OtherUser::inChild([&] {
            if (!QDir::setCurrent(folder.path()))
                return 10;
            SystemFiles::ignoreFileSizeSignal();
            if (sizeLimit > 0) {
                const rlimit limit{rlim_t(sizeLimit), rlim_t(sizeLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            TestEngine loader;
            AlarmStore &store = EngineInternals::store(loader.engine);
            const AlarmStore::SaveResult r = store.save(newContents);
            return r.ok ? 0 : r.reason.isEmpty() ? 2 : 1;
        });
        QCOMPARE(result, saved ? 0 : 1);
        QCOMPARE(folder.read(), saved ? DataFile::encode(newContents) : old);
        QCOMPARE(inodeOf(folder.filePath()), inode);
    }

    // Who may own the folder and the data file. A folder other users can
    // write in (a shared one, sticky or not) lets them put a link or a lock
    // of theirs in place of the user's files; a link is followed only to a
    // regular file of the user's in a folder that is the user's alone.
    void thePlaceChecks_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("expected"); // %F the file, %T the link's target, %D a folder
        QTest::newRow("own private folder") << "own folder"
                                            << "";
        QTest::newRow("group may write") << "folder 0770"
                                         << "other users can write to the folder %D";
        QTest::newRow("shared sticky folder") << "folder 1777"
                                              << "other users can write to the folder %D";
        QTest::newRow("another user's folder") << "stranger's folder"
                                               << "the folder %D belongs to another user";
        QTest::newRow("no file") << "absent"
                                 << "";
        QTest::newRow("own file") << "own file"
                                  << "";
        QTest::newRow("another user's file") << "stranger's file"
                                             << "%F belongs to another user";
        QTest::newRow("a named pipe") << "pipe"
                                      << "%F is not a regular file";
        QTest::newRow("a device") << "device"
                                  << "%F is not a regular file";
        QTest::newRow("link to own file") << "link"
                                          << "";
        QTest::newRow("link to a device") << "link to device"
                                          << "%F is a link to %T, which is not a regular file";
        QTest::newRow("link to another user's file")
            << "link to stranger's file"
            << "%F is a link to %T, which belongs to another user";
        QTest::newRow("link into a shared folder")
            << "link into shared folder"
            << "%F is a link to %T, and other users can write to the folder %D";
        QTest::newRow("another user's link") << "stranger's link"
                                             << "%F is a link that belongs to another user";
        QTest::newRow("link to a link") << "link to link"
                                        << "%F is a link to %T, which is not a regular file";
        QTest::newRow("link to nothing") << "dangling link"
                                         << "%F is a link to %T, which does not exist";
    }

    void thePlaceChecks()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, expected);
        TempCurrentDir dir;
        QTemporaryDir elsewhere;
        const QString file = dir.filePath(AlarmStore::FileName);
        const QString target = elsewhere.filePath(QStringLiteral("alarms"));
        QString folder = dir.path();
        const bool needsStranger = setUp.contains(u"stranger");
        if (needsStranger && !OtherUser::canPlayUsers())
            QSKIP("only root can give files to another user");

        if (setUp.startsWith(u"folder "))
            QVERIFY(setMode(dir.path(), mode_t(setUp.mid(7).toInt(nullptr, 8))));
        else if (setUp == u"stranger's folder")
            QVERIFY(OtherUser::giveTo(dir.path(), OtherUser::Stranger));
        else if (setUp == u"own file" || setUp == u"stranger's file")
            dir.write(AlarmStore::FileName, "x");
        else if (setUp == u"pipe" || setUp == u"device")
            QVERIFY(makeNode(file, setUp));
        if (setUp == u"stranger's file")
            QVERIFY(OtherUser::giveTo(file, OtherUser::Stranger));

        if (setUp.contains(u"link")) {
            QVERIFY(QFile::link(target, file));
            if (setUp == u"link to device")
                QVERIFY(makeNode(target, QStringLiteral("device")));
            else if (setUp == u"link to link")
                QVERIFY(QFile::link(elsewhere.filePath(QStringLiteral("other")), target));
            else if (setUp != u"dangling link")
                QVERIFY(QFile(target).open(QIODevice::WriteOnly));
            if (setUp == u"link to stranger's file")
                QVERIFY(OtherUser::giveTo(target, OtherUser::Stranger));
            if (setUp == u"stranger's link")
                QVERIFY(OtherUser::giveTo(file, OtherUser::Stranger));
            if (setUp == u"link into shared folder") {
                QVERIFY(setMode(elsewhere.path(), 01777));
                folder = elsewhere.path();
            }
        }

        QString problem = SystemFiles::folderProblem(dir.path());
        if (problem.isEmpty())
            problem = SystemFiles::fileProblem(file);
        QCOMPARE(problem, withPaths(expected, file, target, folder));
        // The store asks the same of the current folder and its Tikor.dat.
        QCOMPARE(AlarmStore::placeProblem(), problem);
    }

    // Something put in place of the file while the program runs: the save
    // fails and says why, and what the name stood for stays as it was.
    void aSaveReplacesOnlyTheUsersOwnFile_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("expected");
        QTest::newRow("link to another user's file")
            << "stranger's file"
            << "%F is a link to %T, which belongs to another user";
        QTest::newRow("link into a shared folder")
            << "shared folder"
            << "%F is a link to %T, and other users can write to the folder %D";
        QTest::newRow("link to a device") << "device"
                                          << "%F is a link to %T, which is not a regular file";
    }

    void aSaveReplacesOnlyTheUsersOwnFile()
    {
        QFETCH(QString, what);
        QFETCH(QString, expected);
        if (what == u"stranger's file" && !OtherUser::canPlayUsers())
            QSKIP("only root can give files to another user");
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        QVERIFY(store.save(weeklyEntry(QStringLiteral("mine"))).ok);

        QTemporaryDir victimHome;
        const QString victim = victimHome.filePath(QStringLiteral(".bashrc"));
        if (what == u"device") {
            QVERIFY(makeNode(victim, what));
        } else {
            QFile file(victim);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("export PATH\n");
        }
        if (what == u"stranger's file")
            QVERIFY(OtherUser::giveTo(victim, OtherUser::Stranger));
        if (what == u"shared folder")
            QVERIFY(setMode(victimHome.path(), 01777));
        const QString file = dir.filePath(AlarmStore::FileName);
        QVERIFY(QFile::remove(file));
        QVERIFY(QFile::link(victim, file));
        const ino_t before = inodeOf(victim);

        const AlarmStore::SaveResult result = store.save(weeklyEntry(QStringLiteral("new")));
        QVERIFY(!result.ok);
        QCOMPARE(result.reason, withPaths(expected, file, victim, victimHome.path()));
        const QFileInfo after(victim);
        QCOMPARE(inodeOf(victim), before);
        QCOMPARE(after.isFile(), what != u"device");
        if (after.isFile()) {
            QFile check(victim);
            QVERIFY(check.open(QIODevice::ReadOnly));
            QCOMPARE(check.readAll(), QByteArray("export PATH\n"));
        }
        QCOMPARE(QFileInfo(file).symLinkTarget(), victim);
        QCOMPARE(QDir(victimHome.path()).entryList(QDir::Files | QDir::System | QDir::Hidden),
                 QStringList{QStringLiteral(".bashrc")});
    }

    // Only the temporary files of saves cut short are removed, and only
    // those older than the given time.
    void leftoversOfSavesCutShortAreRemoved()
    {
        TempCurrentDir dir;
        const QDateTime cutOff = QDateTime::currentDateTimeUtc();
        const QStringList older{"Tikor.dat",         "Tikor.dat.bad",      "Tikor.dat.lock",
                                "Tikor.dat.aB3xYz",  "Tikor.dat.Q7w2E9",   "Tikor.dat.notes",
                                "Tikor.dat.aB3xYz7", "Tikor.dat.ab_123",   "Other.dat.aB3xYz",
                                "Tikor.alerts",      "Tikor.alerts.x9Y8z7"};
        for (const QString &name : older)
            dir.write(name, "x");
        dir.write(QStringLiteral("Tikor.dat.Newer1"), "x");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Tikor.dat.Folder")));
        QVERIFY(QFile::link(dir.filePath("Tikor.dat.bad"), dir.filePath("Tikor.dat.Links1")));
        for (const QString &name : older) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(cutOff.addSecs(-60), QFileDevice::FileModificationTime));
        }
        QFile newer(dir.filePath(QStringLiteral("Tikor.dat.Newer1")));
        QVERIFY(newer.open(QIODevice::ReadWrite));
        QVERIFY(newer.setFileTime(cutOff.addSecs(5), QFileDevice::FileModificationTime));

        AlarmStore::removeLeftovers(cutOff);
        QDir listing(dir.path());
        listing.setSorting(QDir::Name);
        QCOMPARE(listing.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 (QStringList{"Other.dat.aB3xYz", "Tikor.alerts", "Tikor.dat", "Tikor.dat.Folder",
                              "Tikor.dat.Links1", "Tikor.dat.Newer1", "Tikor.dat.aB3xYz7",
                              "Tikor.dat.ab_123", "Tikor.dat.bad", "Tikor.dat.lock",
                              "Tikor.dat.notes"}));
    }

    // A file larger than 1 MiB is a broken one, whatever it starts with: it
    // is not read, the problem is told once, and the next save keeps it as
    // Tikor.dat.bad. Up to 1 MiB, what follows the last line is ignored.
    void aFileLargerThan1MiBIsABrokenOne_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("broken");
        QTest::newRow("1 MiB") << 1048576 << false;
        QTest::newRow("1 MiB and a byte") << 1048577 << true;
        QTest::newRow("100 MiB") << 100 * 1048576 << true;
    }

    void aFileLargerThan1MiBIsABrokenOne()
    {
        QFETCH(int, size);
        QFETCH(bool, broken);
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        const ProgramState before = state;
        const QByteArray whole = DataFile::encode(weeklyEntry(QStringLiteral("in the big file")));
        const QString path = dir.filePath(AlarmStore::FileName);
        dir.write(AlarmStore::FileName, whole);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(size)); // the rest is zero bytes
        file.close();

        loader.engine.loadFile();
        loader.engine.loadFile();
        if (!broken) {
            QVERIFY(boxes.shown.isEmpty());
            QCOMPARE(state.table()[0].message, QStringLiteral("in the big file"));
            return;
        }
        QCOMPARE(boxes.shown, QStringList{AlarmStore::ProblemText});
        QCOMPARE(state.file, before.file);

        // Other bytes, but the same size and time: not read, not told again.
        const QDateTime modified = QFileInfo(path).lastModified();
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.write("changed") == 7);
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        file.close();
        loader.engine.loadFile();
        QCOMPARE(boxes.shown.size(), 1);
        // A new time: a changed file, told again.
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified.addSecs(10), QFileDevice::FileModificationTime));
        file.close();
        loader.engine.loadFile();
        QCOMPARE(boxes.shown.size(), 2);

        QVERIFY(store.save(state.file).ok);
        QCOMPARE(QFileInfo(dir.filePath(AlarmStore::BadCopyName)).size(), qint64(size));
        QCOMPARE(dir.read(AlarmStore::FileName), DataFile::encode(before.file));
    }

    // The editor takes texts of any length; a save that would outgrow what a
    // load accepts fails instead, and the old file stays.
    void aSaveLargerThan1MiBIsRefused_data()
    {
        QTest::addColumn<int>("messageLength");
        QTest::addColumn<bool>("saved");
        // One entry's file is 1,048,576 bytes with a 1,047,650-character message
        // (926 bytes of banners, sound line and slots besides it).
        QTest::newRow("fits exactly") << 1047650 << true;
        QTest::newRow("a byte over") << 1047651 << false;
    }

    void aSaveLargerThan1MiBIsRefused()
    {
        QFETCH(int, messageLength);
        QFETCH(bool, saved);
        StoreTest t;
        auto &[dir, loader, state, boxes, store] = t;
        const QByteArray old = DataFile::encode(weeklyEntry(QStringLiteral("old")));
        dir.write(AlarmStore::FileName, old);

        const FileContents contents = weeklyEntry(QString(messageLength, u'x'));
        const AlarmStore::SaveResult result = store.save(contents);
        QCOMPARE(result.ok, saved);
        if (saved) {
            QCOMPARE(QFileInfo(dir.filePath(AlarmStore::FileName)).size(), qint64(1048576));
            loader.engine.loadFile();
            QVERIFY(loader.boxes.shown.isEmpty());
            QCOMPARE(loader.engine.table()[0].message.size(), messageLength);
            return;
        }
        QCOMPARE(AlarmStore::saveFailureText(result.reason),
                 QStringLiteral("Tikor.dat could not be saved: the messages are too long (the "
                                "file may hold 1 MiB)"));
        QCOMPARE(dir.read(AlarmStore::FileName), old);
    }

    void aVanishedDirectoryFailsTheSave()
    {
        TestEngine loader;
        ProgramState &state = EngineInternals::state(loader.engine);
        RecordingMessageBoxes &boxes = loader.boxes;
        AlarmStore &store = EngineInternals::store(loader.engine);
        TempCurrentDir dir;
        QVERIFY(QDir(dir.path()).removeRecursively());
        const AlarmStore::SaveResult result = store.save(state.file);
        QVERIFY(!result.ok);
        QVERIFY(!result.reason.isEmpty());
        loader.engine.loadFile();
        QVERIFY(boxes.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAlarmStore)
#include "tst_alarmstore.moc"
