// SPDX-License-Identifier: MIT
// `tikora --add` and `tikora --list`: on the file itself when no copy runs
// (what is written, what is refused and what is left as it was), and what
// the running copy does for them and for a second start.

#include "app/entrycommands.h"
#include "app/handoverrequests.h"
#include "platform/folderlock.h"
#include "store/datafile.h"
#include "support/engineinternals.h"
#include "support/entries.h"
#include "support/fulldevice.h"
#include "support/tempdir.h"
#include "support/testapp.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextStream>
#include <QtTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Result
{
    int code = -1;
    QString out;
    QString err;
    bool stuck = false;
};

Result runCommand(CommandLine::Command command, const QStringList &entry = {},
                  const QString &repeat = QStringLiteral("once"))
{
    CommandLine::Outcome outcome;
    outcome.run = true;
    outcome.command = command;
    outcome.entry = entry;
    outcome.repeat = repeat;
    Result result;
    QTextStream out(&result.out), err(&result.err);
    result.code = EntryCommands::run(outcome, out, err, result.stuck);
    return result;
}

Result add(const QString &date, const QString &time, const QString &message,
           const QString &repeat = QStringLiteral("once"))
{
    return runCommand(CommandLine::Command::Add, {date, time, message}, repeat);
}

// The real clock's tomorrow, typed as "m/d/yyyy" and kept as "mm/dd/yy".
QDate tomorrow()
{
    return QDate::currentDate().addDays(1);
}
QString typed(const QDate &day)
{
    return day.toString(QStringLiteral("M/d/yyyy"));
}
QString kept(const QDate &day)
{
    return day.toString(QStringLiteral("MM/dd/yy"));
}

// Another process holds the folder, as a running copy does.
class FolderHolder
{
public:
    explicit FolderHolder(const QString &folder)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_done) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            FolderLock lock;
            const char answer =
                lock.lock(folder, QStringLiteral("Tikor.dat.lock")) == FolderLock::Locked ? 'y'
                                                                                          : 'n';
            (void)!::write(ready[1], &answer, 1);
            // Held until the parent closes its end: then the read ends.
            ::close(m_done[1]);
            char byte;
            (void)!::read(m_done[0], &byte, 1);
            ::_exit(0);
        }
        char answer = 0;
        m_held = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~FolderHolder()
    {
        ::close(m_done[1]);
        ::close(m_done[0]);
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
    }
    FolderHolder(const FolderHolder &) = delete;
    FolderHolder &operator=(const FolderHolder &) = delete;

    bool held() const { return m_held; }

private:
    pid_t m_pid = -1;
    int m_done[2] = {-1, -1};
    bool m_held = false;
};

QStringList namesIn(const TempCurrentDir &dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Writes the data file with the entries; its bytes.
QByteArray writtenEntries(const TempCurrentDir &dir, std::initializer_list<TestEntry> entries)
{
    writeEntries(dir, entries);
    return dir.read(AlarmStore::FileName);
}

// The folder of a running copy: its file holds one entry, in row 1.
struct RunningCopyFolder
{
    TempCurrentDir dir;
    const QByteArray before = writtenEntries(dir, {{0, "03/18/09", "09:30:00"}});
};

// A running copy at 9:00 on March 17, 2009, in that folder, and what a later
// start there asks of it.
struct RunningCopy : RunningCopyFolder, TestApp
{
    RunningCopy() { clock.setLocal(QDate(2009, 3, 17), QTime(9, 0)); }
    HandOver::Reply addPills(const char *repeat)
    {
        return requests.add(QStringLiteral("3/19/09"), QStringLiteral("7:00"),
                            QStringLiteral("Pills"), QString::fromLatin1(repeat));
    }
    HandOverRequests requests{context};
};

} // namespace

class TestEntryCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // A bus that leads nowhere: no test reaches a real running copy.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tikora-test-bus");
    }

    // A first file: the program's banners, the entry in row 1, the rest
    // cleared; the new row is printed as --list prints it.
    void aFirstAddMakesTheFile()
    {
        TempCurrentDir dir;
        const Result result = add(typed(tomorrow()), QStringLiteral("9:30"),
                                  QStringLiteral("Dentist, room 4"), QStringLiteral("weekly"));
        QCOMPARE(result.err, QString());
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out, QStringLiteral("1\t%1\t09:30:00\tweekly\tarmed\tDentist, room 4\n")
                                 .arg(kept(tomorrow())));
        FileContents expected = contentsWith({});
        expected.table[0] = {kept(tomorrow()),
                             QStringLiteral("Dentist, room 4"),
                             QStringLiteral("09:30:00"),
                             0,
                             1,
                             0,
                             0};
        QCOMPARE(dir.read(AlarmStore::FileName), DataFile::encode(expected));
    }

    // Only the first empty row's lines change, byte for byte.
    void anAddChangesOnlyItsRow()
    {
        TempCurrentDir dir;
        FileContents c = contentsWith({{0, "03/01/09", "08:00:00", 0, 0, 0, 1},
                                       {1, "", "", 0, 0, 0, 1, QStringLiteral("a note")},
                                       {3, "03/20/09", "10:00:00", 0, 0, 1, 0}});
        c.banner1 = QStringLiteral("A BANNER OF ITS OWN");
        c.sound = {false, false, false, true};
        dir.write(AlarmStore::FileName, DataFile::encode(c));
        const Result result =
            add(typed(tomorrow()), QStringLiteral("3:00 PM"), QString(), QStringLiteral("daily"));
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out,
                 QStringLiteral("3\t%1\t15:00:00\tdaily\tarmed\t\n").arg(kept(tomorrow())));
        c.table[2] = {kept(tomorrow()), QString(), QStringLiteral("15:00:00"), 1, 0, 0, 0};
        QCOMPARE(dir.read(AlarmStore::FileName), DataFile::encode(c));
    }

    // Nothing is written, or made, when the command is refused.
    void aRefusedAddWritesNothing_data()
    {
        QTest::addColumn<QString>("file"); // none, full, damaged
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");
        QTest::newRow("no such day")
            << "none"
            << "2/30/2009"
            << "9:30" << 2
            << "tikora: the date '2/30/2009' is not a day, such as 03/17/09 or \"March 17, "
               "2009\"; nothing was added\n";
        QTest::newRow("no such time")
            << "full"
            << ""
            << "25:00" << 2
            << "tikora: the date is empty: give a day, such as 03/17/09 or \"March 17, "
               "2009\"; nothing was added\n";
        QTest::newRow("a bad time beside a full table")
            << "full"
            << "tomorrow"
            << "9:75" << 2
            << "tikora: the time '9:75' is not a time of day, such as 09:30 or \"3:00 PM\"; "
               "nothing was added\n";
        QTest::newRow("a full table")
            << "full"
            << "tomorrow"
            << "9:30" << 1
            << "tikora: all 32 rows hold an alarm: empty one in the editor first; nothing was "
               "added\n";
        QTest::newRow("a damaged file")
            << "damaged"
            << "tomorrow"
            << "9:30" << 1
            << "tikora: Tikor.dat is damaged; nothing was added. Start Tikora to see what it "
               "can read (it keeps the damaged file as Tikor.dat.bad).\n";
    }

    void aRefusedAddWritesNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(int, code);
        QFETCH(QString, err);
        TempCurrentDir dir;
        QByteArray bytes;
        if (file == u"full") {
            FileContents c = contentsWith({});
            for (int slot = 0; slot < SlotCount; ++slot)
                c.table[slot].time = QStringLiteral("07:00:00");
            bytes = DataFile::encode(c);
        } else if (file == u"damaged") {
            bytes = DataFile::encode(contentsWith({{0, "03/01/09", "08:00:00"}}));
            bytes.replace("\r\n0\r\n", "\r\nnot a number\r\n");
        }
        if (!bytes.isEmpty())
            dir.write(AlarmStore::FileName, bytes);
        const QStringList before = namesIn(dir);
        if (date == u"tomorrow")
            date = typed(tomorrow());

        const Result result = add(date, time, QStringLiteral("m"));
        QCOMPARE(result.code, code);
        QCOMPARE(result.err, err);
        QCOMPARE(result.out, QString());
        QCOMPARE(namesIn(dir), before);
        if (!bytes.isEmpty())
            QCOMPARE(dir.read(AlarmStore::FileName), bytes);
    }

    void listsTheRowsThatHoldSomething()
    {
        TempCurrentDir dir;
        const QByteArray before = writtenEntries(
            dir, {{0, "03/18/09", "09:30:00", 0, 1, 0, 0, QStringLiteral("Team, room 4")},
                  {5, "", "", 0, 0, 0, 1, QStringLiteral("a note")},
                  {31, "12/24/09", "18:00:00", 0, 0, 0, 1, QStringLiteral("Eve")}});
        const Result result = runCommand(CommandLine::Command::List);
        QCOMPARE(result.code, 0);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.out, QStringLiteral("1\t03/18/09\t09:30:00\tweekly\tarmed\tTeam, room 4\n"
                                            "6\t\t\tonce\tfired\ta note\n"
                                            "32\t12/24/09\t18:00:00\tonce\tfired\tEve\n"));
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    void listingNoFileMakesNone()
    {
        TempCurrentDir dir;
        const Result result = runCommand(CommandLine::Command::List);
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out, QString());
        QCOMPARE(namesIn(dir), QStringList());
    }

    // Where a copy runs but does not answer (no session bus), the command
    // says so and leaves the file alone: that copy would save over it.
    void aRunningCopyThatDoesNotAnswerIsNotWrittenBeside()
    {
        TempCurrentDir dir;
        const QByteArray before = writtenEntries(dir, {});
        FolderHolder running(dir.path());
        QVERIFY(running.held());
        Result result = add(typed(tomorrow()), QStringLiteral("9:30"), QStringLiteral("m"));
        QCOMPARE(result.code, 1);
        QCOMPARE(result.err, QStringLiteral("tikora: Tikora is already running in this folder and "
                                            "did not answer (it answers on the session bus); "
                                            "nothing was added\n"));
        QVERIFY(!result.stuck);
        result = runCommand(CommandLine::Command::List);
        QCOMPARE(result.code, 1);
        QCOMPARE(result.out, QString());
        QCOMPARE(dir.read(AlarmStore::FileName), before);
    }

    void anUnsafeFolderIsRefused()
    {
        TempCurrentDir dir;
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
        const Result result = runCommand(CommandLine::Command::List);
        QCOMPARE(result.code, 1);
        QCOMPARE(result.err,
                 QStringLiteral("tikora: Tikora cannot keep its alarms here: other users can "
                                "write to the folder %1.\n")
                     .arg(dir.path()));
        QCOMPARE(namesIn(dir), QStringList());
    }

    // The running copy's side. An add goes into its working copy and is
    // saved at once, and the editor shows it; with the editor open it is
    // refused, and nothing changes.
    void theRunningCopyAddsUnlessTheEditorIsOpen()
    {
        RunningCopy app;
        HandOver::Reply whileEditing{-1, {}};
        app.modal.whileOpen = [&](QDialog &) { whileEditing = app.addPills("daily"); };
        app.context.commands.openEditor(MenuCommands::FromTray);
        QCOMPARE(whileEditing.exitCode, 1);
        QCOMPARE(whileEditing.text,
                 QStringLiteral("the editor is open in the running copy: add the alarm there, "
                                "or close the editor and try again; nothing was added"));
        QCOMPARE(app.context.engine.row(1).message, QString());

        const HandOver::Reply added = app.addPills("daily");
        QCOMPARE(added.exitCode, 0);
        QCOMPARE(added.text, QStringLiteral("2\t03/19/09\t07:00:00\tdaily\tarmed\tPills\n"));
        QCOMPARE(readContents(app.dir).table[1],
                 (Entry{QStringLiteral("03/19/09"), QStringLiteral("Pills"),
                        QStringLiteral("07:00:00"), 1, 0, 0, 0}));
        QCOMPARE(Row::message(app.context.editor(), 1)->text(), QStringLiteral("Pills"));
        QCOMPARE(Row::date(app.context.editor(), 1)->text(), QStringLiteral("03/19/09"));

        // Checked again by the running copy's own clock and rules.
        QCOMPARE(app.addPills("hourly").exitCode, 2);
        const HandOver::Reply farOff = app.requests.add(
            QStringLiteral("3/19/2060"), QStringLiteral("7:00"), QStringLiteral("x"), {});
        QCOMPARE(farOff.exitCode, 2);
        QCOMPARE(app.context.engine.row(2).message, QString());

        QCOMPARE(app.requests.list().text,
                 QStringLiteral("1\t03/18/09\t09:30:00\tonce\tarmed\tslot 0\n"
                                "2\t03/19/09\t07:00:00\tdaily\tarmed\tPills\n"));
    }

    // While a message box waits for the user, the program is in the middle
    // of something (a tick's load, a save's failure): the add is refused in
    // words and nothing changes. About holds nothing a save could mix with.
    void theRunningCopyRefusesAnAddWhileAMessageWaits()
    {
        RunningCopy app;
        app.context.engine.ensureLoaded();
        HandOver::Reply whileAsking{-1, {}};
        app.modal.whileOpen = [&](QDialog &) { whileAsking = app.addPills("once"); };
        QMessageBox box;
        app.modal.exec(box);
        QCOMPARE(whileAsking.exitCode, 1);
        QCOMPARE(whileAsking.text,
                 QStringLiteral("a message of the running copy waits for an answer: answer it "
                                "and try again; nothing was added"));
        QCOMPARE(app.context.engine.row(1).message, QString());
        QCOMPARE(app.dir.read(AlarmStore::FileName), app.before);

        whileAsking = {-1, {}};
        app.context.commands.showAbout(MenuCommands::FromTray);
        QCOMPARE(whileAsking.exitCode, 0);
        QCOMPARE(whileAsking.text, QStringLiteral("2\t03/19/09\t07:00:00\tonce\tarmed\tPills\n"));
        QCOMPARE(readContents(app.dir).table[1].message, QStringLiteral("Pills"));
    }

    // A failed save is told by the running copy as the editor's OK tells it,
    // in a box that opens after the answer has gone (the later start must
    // not wait on the user); the later start reports the failure.
    void theRunningCopyTellsAFailedSaveAfterAnswering()
    {
        RunningCopy app;
        app.context.engine.ensureLoaded();
        EngineInternals::store(app.context.engine).setDeviceFactory([](const QString &) {
            return std::make_unique<FullDevice>();
        });

        const HandOver::Reply reply = app.addPills("once");
        QCOMPARE(reply.exitCode, 1);
        QVERIFY2(reply.text.startsWith(QStringLiteral("Tikor.dat could not be saved: ")),
                 qPrintable(reply.text));
        QVERIFY(reply.text.endsWith(QStringLiteral("; nothing was added")));
        QCOMPARE(app.boxes.shown, QStringList());
        QCoreApplication::processEvents();
        QCOMPARE(app.boxes.shown.size(), 1);
        QVERIFY2(app.boxes.shown.at(0).startsWith(QStringLiteral("Tikor.dat could not be saved: ")),
                 qPrintable(app.boxes.shown.at(0)));
        QCOMPARE(app.context.engine.row(1).message, QString());
        QCOMPARE(app.dir.read(AlarmStore::FileName), app.before);
    }

    // A second start shows the main alert window, as "&Tikora" does: not
    // over the editor.
    void aSecondStartShowsTheMainWindowAsTikoraDoes()
    {
        RunningCopy app;
        app.modal.whileOpen = [&](QDialog &) { QCOMPARE(app.requests.show().exitCode, 0); };
        app.context.commands.openEditor(MenuCommands::FromTray);
        QVERIFY(!app.context.mainAlert().isVisible());
        QCOMPARE(app.requests.show().exitCode, 0);
        QVERIFY(app.context.mainAlert().isVisible());
    }
};

QTEST_MAIN(TestEntryCommands)
#include "tst_entrycommands.moc"
