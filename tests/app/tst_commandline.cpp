// SPDX-License-Identifier: MIT
#include "app/commandline.h"
#include "support/tempdir.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QtTest>

namespace {

struct Run
{
    CommandLine::Outcome outcome;
    QString out;
    QString err;
};

Run run(const QStringList &options)
{
    Run result;
    QTextStream out(&result.out), err(&result.err);
    QList<QByteArray> arguments{"tikora"};
    for (const QString &option : options)
        arguments << QFile::encodeName(option);
    result.outcome = CommandLine::handle(arguments, out, err);
    return result;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endsWithoutTouchingAFile_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errContains");
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                                 << QStringLiteral("Tikora 8.8.0\n") << QString();
        QTest::newRow("short version") << QStringList{QStringLiteral("-v")} << 0
                                       << QStringLiteral("Tikora 8.8.0\n") << QString();
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 2 << QString()
                                        << QStringLiteral("Unknown option 'bogus'");
        QTest::newRow("a stray argument") << QStringList{QStringLiteral("Tikor.dat")} << 2
                                          << QString() << QStringLiteral("'Tikor.dat'");
        QTest::newRow("data-dir without a folder") << QStringList{QStringLiteral("--data-dir")} << 2
                                                   << QString() << QStringLiteral("--data-dir");
        QTest::newRow("unknown option before data-dir")
            << QStringList{QStringLiteral("--bogus"), QStringLiteral("--data-dir"),
                           QStringLiteral("made")}
            << 2 << QString() << QStringLiteral("bogus");
        QTest::newRow("a clock of no kind") << QStringList{QStringLiteral("--clock=fast")} << 2
                                            << QString() << QStringLiteral("'fast'");
        QTest::newRow("add without its texts")
            << QStringList{QStringLiteral("--add"), QStringLiteral("3/18/09"),
                           QStringLiteral("9:30")}
            << 2 << QString()
            << QStringLiteral("--add takes a date, a time and a message (2 given)");
        QTest::newRow("add with a fourth text")
            << QStringList{QStringLiteral("--add"), QStringLiteral("3/18/09"),
                           QStringLiteral("9:30"), QStringLiteral("Dentist"),
                           QStringLiteral("room 4")}
            << 2 << QString() << QStringLiteral("(4 given)");
        QTest::newRow("two repeats")
            << QStringList{QStringLiteral("--add"),   QStringLiteral("3/18/09"),
                           QStringLiteral("9:30"),    QStringLiteral("Dentist"),
                           QStringLiteral("--daily"), QStringLiteral("--weekly")}
            << 2 << QString() << QStringLiteral("not more than one");
        QTest::newRow("a repeat without add")
            << QStringList{QStringLiteral("--monthly")} << 2 << QString()
            << QStringLiteral("--monthly goes with --add");
        QTest::newRow("add and list")
            << QStringList{QStringLiteral("--list"), QStringLiteral("--add"),
                           QStringLiteral("3/18/09"), QStringLiteral("9:30"),
                           QStringLiteral("Dentist")}
            << 2 << QString() << QStringLiteral("one at a time");
        QTest::newRow("list with a text")
            << QStringList{QStringLiteral("--list"), QStringLiteral("all")} << 2 << QString()
            << QStringLiteral("unexpected argument 'all'");
        QTest::newRow("a bad command does not enter the folder")
            << QStringList{QStringLiteral("--data-dir"), QStringLiteral("made"),
                           QStringLiteral("--add"), QStringLiteral("3/18/09")}
            << 2 << QString() << QStringLiteral("(1 given)");
        QTest::newRow("version wins over data-dir")
            << QStringList{QStringLiteral("--data-dir"), QStringLiteral("made"),
                           QStringLiteral("--version")}
            << 0 << QStringLiteral("Tikora 8.8.0\n") << QString();
    }

    void endsWithoutTouchingAFile()
    {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, errContains);
        TempCurrentDir dir;
        const Run result = run(options);
        QVERIFY(!result.outcome.run);
        QCOMPARE(result.outcome.exitCode, exitCode);
        QCOMPARE(result.out, out);
        if (errContains.isEmpty())
            QCOMPARE(result.err, QString());
        else
            QVERIFY2(result.err.contains(errContains), qPrintable(result.err));
        QCOMPARE(QDir::currentPath(), dir.path());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void helpNamesEveryOption()
    {
        TempCurrentDir dir;
        const Run result = run({QStringLiteral("--help")});
        QVERIFY(!result.outcome.run);
        QCOMPARE(result.outcome.exitCode, 0);
        for (const char *option :
             {"--data-dir DIR", "--clock exact|poll", "TIKORA_CLOCK", "--help", "--version",
              "--add DATE TIME MESSAGE", "--daily", "--weekly", "--monthly", "--list",
              "six fields apart by tabs", "Exit status"})
            QVERIFY2(result.out.contains(QLatin1String(option)), option);
        QVERIFY(!result.out.contains(QLatin1String("platform")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void runsInTheCurrentFolderByDefault_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("Qt's own options")
            << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"),
                           QStringLiteral("-session"), QStringLiteral("1234")};
    }

    void runsInTheCurrentFolderByDefault()
    {
        QFETCH(QStringList, options);
        TempCurrentDir dir;
        const Run result = run(options);
        QVERIFY(result.outcome.run);
        QCOMPARE(result.err, QString());
        QCOMPARE(QDir::currentPath(), dir.path());
    }

    // The exact clock unless the option, or else the environment, says poll.
    void choosesTheClock_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<bool>("poll");
        QTest::newRow("default") << QStringList() << QString() << false;
        QTest::newRow("option") << QStringList{QStringLiteral("--clock"), QStringLiteral("poll")}
                                << QString() << true;
        QTest::newRow("environment") << QStringList() << QStringLiteral("poll") << true;
        QTest::newRow("option over environment")
            << QStringList{QStringLiteral("--clock=exact")} << QStringLiteral("poll") << false;
        QTest::newRow("unknown environment value")
            << QStringList() << QStringLiteral("slow") << false;
        QTest::newRow("with data-dir")
            << QStringList{QStringLiteral("--data-dir"), QStringLiteral("d"),
                           QStringLiteral("--clock"), QStringLiteral("poll")}
            << QString() << true;
    }

    void choosesTheClock()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, environment);
        QFETCH(bool, poll);
        TempCurrentDir dir;
        if (environment.isEmpty())
            qunsetenv("TIKORA_CLOCK");
        else
            qputenv("TIKORA_CLOCK", environment.toUtf8());
        const Run result = run(options);
        qunsetenv("TIKORA_CLOCK");
        QVERIFY(result.outcome.run);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.outcome.clock == CommandLine::ClockKind::Poll, poll);
    }

    void dataDirIsMadeAndEntered()
    {
        TempCurrentDir dir;
        const QString folder = dir.filePath(QStringLiteral("share/tikora"));
        const Run result = run({QStringLiteral("--data-dir"), QStringLiteral("share/tikora")});
        QVERIFY(result.outcome.run);
        QCOMPARE(result.err, QString());
        QCOMPARE(QDir::currentPath(), folder);
        // Owner, group and others (Qt's "user" bits repeat the owner's here).
        const QFile::Permissions modeBits(0x7077);
        QCOMPARE(QFileInfo(folder).permissions() & modeBits,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void anExistingDataDirIsEnteredAsItIs()
    {
        TempCurrentDir dir;
        const QString folder = dir.filePath(QStringLiteral("mine"));
        QVERIFY(QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                         QFile::ReadGroup | QFile::ExeGroup));
        const Run result = run({QStringLiteral("--data-dir=") + folder});
        QVERIFY(result.outcome.run);
        QCOMPARE(QDir::currentPath(), folder);
        QVERIFY(QFileInfo(folder).permissions().testFlag(QFile::ReadGroup));
    }

    // The commands and what they are given, in the order typed; a message
    // that begins with a dash comes after "--".
    void readsTheCommands_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("entry");
        QTest::addColumn<QString>("repeat");
        const auto add = int(CommandLine::Command::Add);
        QTest::newRow("start") << QStringList() << int(CommandLine::Command::Start) << QStringList()
                               << QString();
        QTest::newRow("list") << QStringList{QStringLiteral("--list")}
                              << int(CommandLine::Command::List) << QStringList() << QString();
        QTest::newRow("add once") << QStringList{QStringLiteral("--add"),
                                                 QStringLiteral("March 18, 2009"),
                                                 QStringLiteral("3:00 PM"),
                                                 QStringLiteral("Call the bank")}
                                  << add
                                  << QStringList{QStringLiteral("March 18, 2009"),
                                                 QStringLiteral("3:00 PM"),
                                                 QStringLiteral("Call the bank")}
                                  << "once";
        QTest::newRow("add weekly, the repeat first")
            << QStringList{QStringLiteral("--weekly"), QStringLiteral("--add"),
                           QStringLiteral("3/18/09"), QStringLiteral("9:30"),
                           QStringLiteral("Team")}
            << add
            << QStringList{QStringLiteral("3/18/09"), QStringLiteral("9:30"),
                           QStringLiteral("Team")}
            << "weekly";
        QTest::newRow("add daily, an empty message")
            << QStringList{QStringLiteral("--add"), QStringLiteral("3/18/09"),
                           QStringLiteral("9:30"), QString(), QStringLiteral("--daily")}
            << add << QStringList{QStringLiteral("3/18/09"), QStringLiteral("9:30"), QString()}
            << "daily";
        QTest::newRow("a message with a dash, after --")
            << QStringList{QStringLiteral("--monthly"), QStringLiteral("--add"),
                           QStringLiteral("3/18/09"),   QStringLiteral("9:30"),
                           QStringLiteral("--"),        QStringLiteral("-5 degrees: boots")}
            << add
            << QStringList{QStringLiteral("3/18/09"), QStringLiteral("9:30"),
                           QStringLiteral("-5 degrees: boots")}
            << "monthly";
    }

    void readsTheCommands()
    {
        QFETCH(QStringList, options);
        QFETCH(int, command);
        QFETCH(QStringList, entry);
        QFETCH(QString, repeat);
        TempCurrentDir dir;
        const Run result = run(options);
        QVERIFY2(result.outcome.run, qPrintable(result.err));
        QCOMPARE(int(result.outcome.command), command);
        QCOMPARE(result.outcome.entry, entry);
        if (command == int(CommandLine::Command::Add))
            QCOMPARE(result.outcome.repeat, repeat);
        QCOMPARE(result.out, QString());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // Bytes that are no text name no folder Qt can keep: each would become
    // U+FFFD, the name of another folder. The start is refused, nothing made.
    void aDataDirThatIsNoTextIsRefused_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::newRow("--data-dir FOLDER")
            << QList<QByteArray>{"tikora", "--data-dir", "al\xffrms"};
        QTest::newRow("--data-dir=FOLDER") << QList<QByteArray>{"tikora", "--data-dir=\xfe\xff"};
        QTest::newRow("a cut character") << QList<QByteArray>{"tikora", "--data-dir", "caf\xc3"};
    }

    void aDataDirThatIsNoTextIsRefused()
    {
        QFETCH(QList<QByteArray>, arguments);
        TempCurrentDir dir;
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const CommandLine::Outcome outcome = CommandLine::handle(arguments, outStream, errStream);
        QVERIFY(!outcome.run);
        QCOMPARE(outcome.exitCode, 1);
        QCOMPARE(err, QStringLiteral("tikora: cannot use the data folder given: its name is not "
                                     "valid text in this system's encoding (UTF-8), so it would "
                                     "become another folder's name\n"));
        QCOMPARE(QDir::currentPath(), dir.path());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // A name in UTF-8, however far from ASCII, is used as it is.
    void aDataDirInUtf8IsUsedAsItIs()
    {
        TempCurrentDir dir;
        const Run result =
            run({QStringLiteral("--data-dir"), QStringLiteral("Wecker \u23f0 \u00e9t\u00e9")});
        QVERIFY(result.outcome.run);
        QCOMPARE(QFile::encodeName(QDir::currentPath()),
                 QFile::encodeName(dir.path()) + "/Wecker \xe2\x8f\xb0 \xc3\xa9t\xc3\xa9");
    }

    void aFileAsDataDirRefusesTheStart()
    {
        TempCurrentDir dir;
        dir.write(QStringLiteral("plain"), QByteArrayLiteral("x"));
        const Run result = run({QStringLiteral("--data-dir"), QStringLiteral("plain/tikora")});
        QVERIFY(!result.outcome.run);
        QCOMPARE(result.outcome.exitCode, 1);
        QVERIFY2(result.err.contains(QLatin1String("data folder")), qPrintable(result.err));
        QCOMPARE(QDir::currentPath(), dir.path());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
