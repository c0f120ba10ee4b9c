// SPDX-License-Identifier: MIT
// The desktop's wake-ups: the data file and its folder watched, the file
// watched again after another program replaced it by a rename.

#include "platform/wakeups.h"
#include "store/alarmstore.h"
#include "support/tempdir.h"

#include <QFile>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QtTest>

#include <cstdio>

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
        if (QtWakeUps::remoteFileSystem(QStorageInfo(dir.path()).fileSystemType()))
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
};

QTEST_GUILESS_MAIN(TestWakeUps)
#include "tst_wakeups.moc"
