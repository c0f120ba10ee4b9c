// SPDX-License-Identifier: MIT
// The desktop's wake-ups, through the real watchers on real folders: the
// data file and its folder watched, the file watched again after another
// program replaced it by a rename; a file another program is writing not
// read half-way by the program's clock; the time zone file watched, and
// nothing else in its folder (a test folder stands in for /etc).

#include "platform/clockchanges.h"
#include "platform/wakeups.h"
#include "store/alarmstore.h"
#include "store/datafile.h"
#include "support/entries.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alertwindow.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

namespace {

bool onRemoteFileSystem(const QString &path)
{
    return QtWakeUps::remoteFileSystem(QStorageInfo(path).fileSystemType());
}

// How another program writes the data file.
enum class Writer { InPlace, DeleteAndWrite };

// Writes `path` as `writer` does, in two halves, running `between` after
// each step: after the file is emptied (or gone, then made empty), and
// after its first half.
void writeLikeAnotherProgram(const QString &path, const QByteArray &bytes, Writer writer,
                             const std::function<void()> &between)
{
    QFile file(path);
    if (writer == Writer::DeleteAndWrite) {
        QVERIFY(QFile::remove(path));
        between();
    }
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered));
    between();
    const qsizetype half = bytes.size() / 2;
    QCOMPARE(file.write(bytes.left(half)), half);
    between();
    QCOMPARE(file.write(bytes.mid(half)), bytes.size() - half);
    file.close();
}

// A stand-in for /etc: etc/localtime a link to zoneinfo/Europe/Berlin, with
// zoneinfo/America/New_York beside it.
struct ZoneFolders
{
    QTemporaryDir root;

    ZoneFolders()
    {
        QDir dir(root.path());
        dir.mkpath(QStringLiteral("etc"));
        dir.mkpath(QStringLiteral("zoneinfo/Europe"));
        dir.mkpath(QStringLiteral("zoneinfo/America"));
        write(QStringLiteral("zoneinfo/Europe/Berlin"), "TZif Berlin");
        write(QStringLiteral("zoneinfo/America/New_York"), "TZif New York");
        link(QStringLiteral("zoneinfo/Europe/Berlin"), QStringLiteral("etc/localtime"));
    }

    QString path(const QString &name) const { return root.filePath(name); }
    QString zone() const { return path(QStringLiteral("etc/localtime")); }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    // A new link made beside `name` and renamed over it, as timedatectl
    // sets a zone.
    void link(const QString &target, const QString &name) const
    {
        const QByteArray fresh = QFile::encodeName(path(name) + QStringLiteral(".new"));
        QCOMPARE(::symlink(QFile::encodeName(path(target)).constData(), fresh.constData()), 0);
        QCOMPARE(std::rename(fresh.constData(), QFile::encodeName(path(name)).constData()), 0);
    }
    // A file written beside `name` and renamed over it, as a package update
    // replaces a file.
    void replace(const QString &name, const QByteArray &bytes) const
    {
        write(name + QStringLiteral(".dpkg-new"), bytes);
        QCOMPARE(
            std::rename(QFile::encodeName(path(name + QStringLiteral(".dpkg-new"))).constData(),
                        QFile::encodeName(path(name)).constData()),
            0);
    }
};

// The program's clocks with the data file watched: an entry in slot 3 at
// 10:00 on 03/10/09, read by a tick at 09:00.
struct WatchedFile
{
    TempCurrentDir dir;
    TestApp app;
    QtWakeUps wakeUps;
    AlertWindow &main = app.context.mainAlert();

    WatchedFile()
    {
        app.clock.setLocal(QDate(2009, 3, 10), QTime(9, 0));
        writeEntries(dir, {{3, "03/10/09", "10:00:00"}});
        app.context.alarmClock.useWakeUps(&wakeUps);
        app.context.engine.ensureLoaded();
        tick();
    }

    void tick() { app.context.alarmClock.tick(main); }
};

} // namespace

Q_DECLARE_METATYPE(Writer)

class TestWakeUps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void remoteFileSystemsAreNotTrusted_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<bool>("remote");
        QTest::newRow("ext4") << QByteArray("ext4") << false;
        QTest::newRow("tmpfs") << QByteArray("tmpfs") << false;
        QTest::newRow("btrfs") << QByteArray("btrfs") << false;
        QTest::newRow("nfs4") << QByteArray("nfs4") << true;
        QTest::newRow("cifs") << QByteArray("cifs") << true;
        QTest::newRow("sshfs") << QByteArray("fuse.sshfs") << true;
        QTest::newRow("9p") << QByteArray("9p") << true;
    }

    void remoteFileSystemsAreNotTrusted()
    {
        QFETCH(QByteArray, type);
        QFETCH(bool, remote);
        QCOMPARE(QtWakeUps::remoteFileSystem(type), remote);
    }

    void changesOfTheFileWakeTheClock()
    {
        TempCurrentDir dir;
        if (onRemoteFileSystem(dir.path()))
            QSKIP("the temporary folder is on a network file system");
        QtWakeUps wakeUps;
        QVERIFY(wakeUps.seesFileChanges());
        QSignalSpy woken(&wakeUps, &WakeUps::woken);

        // Made anew: the folder sees it.
        dir.write(AlarmStore::FileName, "first");
        QVERIFY(woken.wait(5000));

        // Replaced by a rename, as a careful editor saves.
        woken.clear();
        dir.write(QStringLiteral("Tikor.dat.new"), "second");
        QVERIFY(std::rename(qPrintable(dir.filePath(QStringLiteral("Tikor.dat.new"))),
                            qPrintable(dir.filePath(AlarmStore::FileName))) == 0);
        QVERIFY(woken.wait(5000));

        // Written in place afterwards: only a watch of the new file sees it.
        QCoreApplication::processEvents();
        woken.clear();
        QFile file(dir.filePath(AlarmStore::FileName));
        QVERIFY(file.open(QIODevice::Append));
        file.write(" more");
        file.close();
        QVERIFY(woken.wait(5000));
    }

    // Another program rewrites a valid data file, in place (emptied, then
    // written) or by deleting it and writing it anew, while the program's
    // clocks tick: a tick before the watcher has said a word, and ticks
    // while it has. None shows a problem box or takes half a file; the
    // wake-up once the file is quiet reads the new entries.
    void aFileBeingWrittenIsNotReadHalfWay_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::newRow("in place") << Writer::InPlace;
        QTest::newRow("deleted and written") << Writer::DeleteAndWrite;
    }

    void aFileBeingWrittenIsNotReadHalfWay()
    {
        QFETCH(Writer, writer);
        WatchedFile w;
        if (onRemoteFileSystem(w.dir.path()))
            QSKIP("the temporary folder is on a network file system");
        QSignalSpy woken(&w.wakeUps, &WakeUps::woken);

        const QByteArray next = DataFile::encode(
            contentsWith({{3, "03/10/09", "10:00:00"}, {4, "03/10/09", "11:00:00"}}));
        int step = 0;
        writeLikeAnotherProgram(w.dir.filePath(AlarmStore::FileName), next, writer, [&] {
            // The first time before the watcher's word is read, then after.
            if (step++ > 0)
                QCoreApplication::processEvents();
            w.tick();
            QCOMPARE(w.app.context.engine.table()[3].time, QStringLiteral("10:00:00"));
            QCOMPARE(w.app.context.engine.table()[4].time, QString());
        });
        QVERIFY(woken.wait(5000));
        QTRY_COMPARE(w.app.context.engine.table()[4].time, QStringLiteral("11:00:00"));
        QCOMPARE(w.app.boxes.shown, QStringList());
    }

    // A file left damaged is told of, once, at the wake-up after it.
    void aFileLeftDamagedIsToldOfOnce()
    {
        WatchedFile w;
        if (onRemoteFileSystem(w.dir.path()))
            QSKIP("the temporary folder is on a network file system");
        QSignalSpy woken(&w.wakeUps, &WakeUps::woken);

        w.dir.write(AlarmStore::FileName, "\"cut short");
        w.tick();
        QVERIFY(w.app.boxes.shown.isEmpty());
        QVERIFY(woken.wait(5000));
        QTRY_COMPARE(w.app.boxes.shown, QStringList{AlarmStore::ProblemText});
        w.tick();
        w.tick();
        QCOMPARE(w.app.boxes.shown.size(), 1);
    }

    // The file the time zone is read from, as the C library finds it.
    void theZoneFileIsTheOneTheCLibraryReads_data()
    {
        QTest::addColumn<QByteArray>("tz");
        QTest::addColumn<QString>("expected"); // %D: the test's zone folder
        QTest::newRow("no TZ") << QByteArray() << QStringLiteral("/etc/localtime");
        QTest::newRow("a file") << QByteArray(":/srv/zones/Here")
                                << QStringLiteral("/srv/zones/Here");
        QTest::newRow("a file, no colon")
            << QByteArray("/srv/zones/Here") << QStringLiteral("/srv/zones/Here");
        QTest::newRow("a zone name")
            << QByteArray("Europe/Berlin") << QStringLiteral("%D/Europe/Berlin");
        QTest::newRow("a zone name after a colon")
            << QByteArray(":Europe/Berlin") << QStringLiteral("%D/Europe/Berlin");
        QTest::newRow("empty: UTC") << QByteArray("") << QStringLiteral("%D/Universal");
        QTest::newRow("a rule") << QByteArray("EST5EDT,M3.2.0,M11.1.0") << QString();
        QTest::newRow("a colon alone") << QByteArray(":") << QString();
    }

    void theZoneFileIsTheOneTheCLibraryReads()
    {
#ifndef Q_OS_LINUX
        QSKIP("the zone file is watched on Linux only");
#endif
        QFETCH(QByteArray, tz);
        QFETCH(QString, expected);
        ZoneFolders zones;
        zones.write(QStringLiteral("zoneinfo/Universal"), "TZif UTC");
        const QByteArray oldTz = qgetenv("TZ");
        const bool hadTz = qEnvironmentVariableIsSet("TZ");
        qputenv("TZDIR", QFile::encodeName(zones.path(QStringLiteral("zoneinfo"))));
        if (tz.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", tz);
        const QString found = ClockChanges::systemZoneFile();
        qunsetenv("TZDIR");
        if (hadTz)
            qputenv("TZ", oldTz);
        else
            qunsetenv("TZ");
        QCOMPARE(found, QString(expected).replace(QStringLiteral("%D"),
                                                  zones.path(QStringLiteral("zoneinfo"))));
    }

    // A new zone (a new link renamed over the old, or the zone file it leads
    // to rewritten or replaced) tells the clock; nothing else written in the
    // folder does, however much.
    void onlyTheTimeZoneFileIsWatched()
    {
#ifndef Q_OS_LINUX
        QSKIP("the zone file is watched on Linux only");
#endif
        ZoneFolders zones;
        ClockChanges changes(zones.zone());
        QSignalSpy changed(&changes, &ClockChanges::changed);
        // A witness of the folder: once it has seen the other files, their
        // events have reached every watcher of it.
        QFileSystemWatcher witness({zones.path(QStringLiteral("etc"))});
        QSignalSpy seen(&witness, &QFileSystemWatcher::directoryChanged);
        const auto othersWritten = [&] {
            seen.clear();
            for (int i = 0; i < 20; ++i) {
                const QString name = QStringLiteral("etc/file%1").arg(i);
                zones.write(name, "x");
                zones.replace(name, "y");
                if (i % 2 == 0)
                    QVERIFY(QFile::remove(zones.path(name)));
            }
            QVERIFY(seen.wait(5000));
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            QCOMPARE(changed.count(), 0);
        };
        othersWritten();

        zones.link(QStringLiteral("zoneinfo/America/New_York"), QStringLiteral("etc/localtime"));
        QVERIFY(changed.wait(5000));
        changed.clear();
        othersWritten();

        // The file the new link leads to, rewritten, then replaced, then
        // rewritten again: each time.
        zones.write(QStringLiteral("zoneinfo/America/New_York"), "TZif New York 2");
        QVERIFY(changed.wait(5000));
        changed.clear();
        zones.replace(QStringLiteral("zoneinfo/America/New_York"), "TZif New York 3");
        QVERIFY(changed.wait(5000));
        changed.clear();
        zones.write(QStringLiteral("zoneinfo/America/New_York"), "TZif New York 4");
        QVERIFY(changed.wait(5000));
        changed.clear();
        // The old zone's file is no longer watched.
        zones.write(QStringLiteral("zoneinfo/Europe/Berlin"), "TZif Berlin 2");
        othersWritten();

        // Removed, and made anew as a plain file.
        QVERIFY(QFile::remove(zones.zone()));
        QVERIFY(changed.wait(5000));
        changed.clear();
        othersWritten();
        zones.write(QStringLiteral("etc/localtime"), "TZif UTC");
        QVERIFY(changed.wait(5000));
        changed.clear();
        zones.write(QStringLiteral("etc/localtime"), "TZif UTC 2");
        QVERIFY(changed.wait(5000));
    }
};

QTEST_MAIN(TestWakeUps)
#include "tst_wakeups.moc"
