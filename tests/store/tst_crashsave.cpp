// SPDX-License-Identifier: MIT
// Saves killed at random moments, by a real process doing real saves: the
// data file is always one of the two complete files the saves alternate
// between, never a cut or mixed one, in the folder where a save renames a
// new file into place as in the read-only folder where it writes in place.

#include "crashcontents.h"
#include "store/alarmstore.h"
#include "store/datafile.h"
#include "support/otheruser.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <ctime>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int Kills = 200; // for each way of saving

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

ino_t inodeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Starts the driver (a copy the owner may run, whatever folder the build
// tree is in) in the folder as the owner; returns its id once its first save
// is done, or -1.
pid_t startDriver(const QString &driver, const QString &folder)
{
    const QByteArray program = QFile::encodeName(driver);
    int out[2];
    if (pipe(out) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        dup2(out[1], STDOUT_FILENO);
        OtherUser::becomeOwner();
        if (!QDir::setCurrent(folder))
            _exit(126);
        execl(program.constData(), program.constData(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char byte = 0;
    const bool ready = child > 0 && read(out[0], &byte, 1) == 1;
    close(out[0]);
    if (child > 0 && !ready) {
        waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

} // namespace

class TestCrashSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedDuringSaves_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("renamed into place") << false;
        QTest::newRow("written in place") << true;
    }

    void killedDuringSaves()
    {
        QFETCH(bool, inPlace);
        const QByteArray files[2] = {DataFile::encode(crashContents(0)),
                                     DataFile::encode(crashContents(1))};
        QVERIFY(files[0].size() > 8192 && files[1].size() < 4096);

        QTemporaryDir outer;
        QVERIFY(::chmod(QFile::encodeName(outer.path()).constData(), 0711) == 0);
        const QString driverCopy = outer.filePath(QStringLiteral("driver"));
        QVERIFY(QFile::copy(QStringLiteral(TIKORA_CRASH_DRIVER), driverCopy));
        QVERIFY(::chmod(QFile::encodeName(driverCopy).constData(), 0755) == 0);
        const QString folder = outer.filePath(QStringLiteral("data"));
        const QString path = folder + QStringLiteral("/Tikor.dat");
        QVERIFY(QDir().mkdir(folder));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(files[1]), files[1].size());
        }
        if (OtherUser::canPlayUsers()) {
            QVERIFY(OtherUser::giveTo(folder, OtherUser::Owner));
            QVERIFY(OtherUser::giveTo(path, OtherUser::Owner));
        }
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), inPlace ? 0555 : 0700) == 0);
        if (inPlace && !OtherUser::canPlayUsers() && QFileInfo(folder).isWritable())
            QSKIP("the folder stays writable for this user");
        const ino_t firstInode = inodeOf(path);

        int seen[2] = {0, 0};
        bool renamed = false;
        for (int kill = 0; kill < Kills; ++kill) {
            const pid_t driver = startDriver(driverCopy, folder);
            QVERIFY2(driver > 0, "the driver did not save");
            const long delay = long(QRandomGenerator::global()->bounded(3000)) * 1000;
            const timespec pause{0, delay};
            nanosleep(&pause, nullptr);
            QCOMPARE(::kill(driver, SIGKILL), 0);
            int status = 0;
            QCOMPARE(waitpid(driver, &status, 0), driver);
            QVERIFY2(WIFSIGNALED(status), "the driver stopped saving before it was killed");

            const QByteArray bytes = readAll(path);
            QVERIFY2(
                bytes.size() >= files[1].size(),
                qPrintable(QStringLiteral("kill %1 left %2 bytes").arg(kill).arg(bytes.size())));
            int which = bytes == files[0] ? 0 : bytes == files[1] ? 1 : -1;
            if (inPlace && which < 0) {
                // Written in place, a whole new file may still be followed by
                // the end of the old one, or a whole old one by the start of
                // the new end; the program reads only the whole file.
                FileContents read;
                if (DataFile::decode(bytes, read))
                    which = read == crashContents(0) ? 0 : read == crashContents(1) ? 1 : -1;
            }
            QVERIFY2(which >= 0, qPrintable(QStringLiteral("kill %1 left a file of %2 bytes that "
                                                           "is neither whole file")
                                                .arg(kill)
                                                .arg(bytes.size())));
            ++seen[which];
            renamed = renamed || inodeOf(path) != firstInode;
        }
        // Both files came up, and each way of saving was the one used.
        QVERIFY(seen[0] > 0 && seen[1] > 0);
        QCOMPARE(renamed, !inPlace);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
    }
};

QTEST_GUILESS_MAIN(TestCrashSave)
#include "tst_crashsave.moc"
