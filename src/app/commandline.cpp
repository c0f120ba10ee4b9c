// SPDX-License-Identifier: MIT
#include "app/commandline.h"
#include "tikora/version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <utility>

namespace CommandLine {

namespace {

const QString Name = QStringLiteral("tikora");

// QApplication reads these itself; they must not count as unknown.
const QStringList QtValueOptions = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("qmljsdebugger"),   QStringLiteral("style"),
    QStringLiteral("stylesheet"),      QStringLiteral("session"),
    QStringLiteral("display"),         QStringLiteral("geometry"),
    QStringLiteral("title"),           QStringLiteral("name"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("fontengine")};
const QStringList QtFlagOptions = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                   QStringLiteral("sync"),    QStringLiteral("testability")};

QString usage()
{
    return QStringLiteral("Usage: %1 [--data-dir DIR] [--clock exact|poll]\n"
                          "       %1 [--data-dir DIR] --add DATE TIME MESSAGE"
                          " [--daily|--weekly|--monthly]\n"
                          "       %1 [--data-dir DIR] --list\n"
                          "Tikora, an alarm clock in the notification area. A second start\n"
                          "in the same folder brings the running copy's window forward.\n"
                          "\n"
                          "Options:\n"
                          "  --data-dir DIR  The folder that holds the alarms (Tikor.dat);\n"
                          "                  made, readable by you only, if missing.\n"
                          "                  Default: the current folder.\n"
                          "  --clock exact|poll\n"
                          "                  exact (the default) sleeps while no alarm can\n"
                          "                  be due; poll checks twice a second. Default:\n"
                          "                  TIKORA_CLOCK from the environment, else exact.\n"
                          "  --add DATE TIME MESSAGE\n"
                          "                  Put an alarm into the first empty row, armed,\n"
                          "                  through the running copy if there is one. DATE\n"
                          "                  is a day (03/17/09, \"March 17, 2009\"), TIME a\n"
                          "                  time of day (9:30, \"3:00 PM\"); they are kept\n"
                          "                  as mm/dd/yy and hh:mm:ss. Prints the new row as\n"
                          "                  --list does.\n"
                          "  --daily, --weekly, --monthly\n"
                          "                  With --add: the alarm repeats (at most one).\n"
                          "  --list          Print the rows that hold something, one a line,\n"
                          "                  six fields apart by tabs: the row (1 to 32), the\n"
                          "                  date, the time, the repeat (daily, weekly,\n"
                          "                  monthly or once), armed or fired, the message.\n"
                          "  -h, --help      Show this help and end.\n"
                          "  -v, --version   Show the version and end.\n"
                          "\n"
                          "Each alarm also shows a desktop notification, with OK and\n"
                          "Snooze 5 minutes; TIKORA_NO_NOTIFICATIONS=1 in the environment\n"
                          "turns them off.\n"
                          "\n"
                          "Exit status: 0; 1 when the start or the command is refused (an\n"
                          "unsafe or damaged data file, a folder that cannot be locked, a\n"
                          "table with no empty row, a running copy that does not answer);\n"
                          "2 for a bad option, date or time.\n")
        .arg(Name);
}

// The program ends at once with this code.
Outcome ended(int exitCode)
{
    Outcome outcome;
    outcome.exitCode = exitCode;
    return outcome;
}

Outcome badUsage(QTextStream &err, const QString &problem)
{
    err << Name << ": " << problem << "\nTry '" << Name << " --help' for more information.\n";
    err.flush();
    return ended(BadUsage);
}

// Makes the folder (and any missing parents) and enters it.
Outcome enter(const QString &folder, QTextStream &err)
{
    const QFileInfo info(folder);
    if (!info.exists()) {
        const QString path = info.absoluteFilePath();
        const QString parent = QFileInfo(path).path();
        if (!QDir().mkpath(parent) ||
            !QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
            err << Name << ": cannot make the data folder " << path << "\n";
            err.flush();
            return ended(StartRefused);
        }
    }
    if (!QDir::setCurrent(folder)) {
        err << Name << ": cannot enter the data folder " << info.absoluteFilePath() << "\n";
        err.flush();
        return ended(StartRefused);
    }
    Outcome entered;
    entered.run = true;
    return entered;
}

} // namespace

// The bytes the folder of --data-dir was given as, among the arguments.
QByteArray folderBytes(const QList<QByteArray> &arguments, const QString &folder)
{
    const QByteArray encoded = QFile::encodeName(folder);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        for (const QByteArray &option : {QByteArray("--data-dir"), QByteArray("-data-dir")}) {
            if (argument == option && i + 1 < arguments.size() &&
                QFile::decodeName(arguments[i + 1]) == folder)
                return arguments[i + 1];
            if (argument.startsWith(option + '=') &&
                QFile::decodeName(argument.mid(option.size() + 1)) == folder)
                return argument.mid(option.size() + 1);
        }
    }
    return encoded;
}

Outcome handle(const QList<QByteArray> &rawArguments, QTextStream &out, QTextStream &err)
{
    QStringList arguments;
    for (const QByteArray &argument : rawArguments)
        arguments << QFile::decodeName(argument);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption dataDir(QStringLiteral("data-dir"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption clock(QStringLiteral("clock"), QString(), QStringLiteral("KIND"));
    const QCommandLineOption add(QStringLiteral("add"));
    const QCommandLineOption list(QStringLiteral("list"));
    const QCommandLineOption daily(QStringLiteral("daily"));
    const QCommandLineOption weekly(QStringLiteral("weekly"));
    const QCommandLineOption monthly(QStringLiteral("monthly"));
    parser.addOptions({help, version, dataDir, clock, add, list, daily, weekly, monthly});
    for (const QString &name : QtValueOptions) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString &name : QtFlagOptions) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    if (!parser.parse(arguments))
        return badUsage(err, parser.errorText());
    const QStringList positional = parser.positionalArguments();
    QString repeat = QStringLiteral("once");
    int repeats = 0;
    for (const auto &[option, name] : {std::pair{&daily, "daily"}, std::pair{&weekly, "weekly"},
                                       std::pair{&monthly, "monthly"}}) {
        if (parser.isSet(*option)) {
            repeat = QString::fromLatin1(name);
            ++repeats;
        }
    }
    if (parser.isSet(add) && parser.isSet(list))
        return badUsage(err, QStringLiteral("--add and --list go one at a time."));
    if (parser.isSet(add)) {
        if (positional.size() != 3)
            return badUsage(err, QStringLiteral("--add takes a date, a time and a message "
                                                "(%1 given).")
                                     .arg(positional.size()));
        if (repeats > 1)
            return badUsage(err, QStringLiteral("an alarm repeats daily, weekly or monthly, "
                                                "not more than one."));
    } else {
        if (repeats > 0)
            return badUsage(err, QStringLiteral("--%1 goes with --add.").arg(repeat));
        if (!positional.isEmpty())
            return badUsage(
                err, QStringLiteral("unexpected argument '%1'.").arg(positional.constFirst()));
    }
    if (parser.isSet(help)) {
        out << usage();
        out.flush();
        return ended(Ok);
    }
    if (parser.isSet(version)) {
        out << "Tikora " << TIKORA_VERSION << "\n";
        out.flush();
        return ended(Ok);
    }
    const QString clockKind =
        parser.isSet(clock) ? parser.value(clock) : qEnvironmentVariable("TIKORA_CLOCK");
    ClockKind kind = ClockKind::Exact;
    if (clockKind == QStringLiteral("poll"))
        kind = ClockKind::Poll;
    else if (parser.isSet(clock) && clockKind != QStringLiteral("exact"))
        return badUsage(err, QStringLiteral("--clock is exact or poll, not '%1'.").arg(clockKind));
    Outcome outcome;
    outcome.run = true;
    outcome.clock = kind;
    if (parser.isSet(add)) {
        outcome.command = Command::Add;
        outcome.entry = positional;
        outcome.repeat = repeat;
    } else if (parser.isSet(list)) {
        outcome.command = Command::List;
    }
    if (parser.isSet(dataDir)) {
        const QString folder = parser.value(dataDir);
        if (folder.isEmpty())
            return badUsage(err, QStringLiteral("--data-dir needs a folder."));
        if (QFile::encodeName(folder) != folderBytes(rawArguments, folder)) {
            err << Name << ": cannot use the data folder given: its name is not valid "
                << "text in this system's encoding (UTF-8), so it would become another "
                << "folder's name\n";
            err.flush();
            return ended(StartRefused);
        }
        const Outcome entered = enter(folder, err);
        if (!entered.run)
            return entered;
    }
    return outcome;
}

QList<QByteArray> fromArgv(int argc, char **argv)
{
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return arguments;
}

} // namespace CommandLine
