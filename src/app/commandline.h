// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QTextStream;

// The program's command line, read before anything else happens: --help and
// --version print and end the program, --data-dir DIR makes DIR (mode 0700,
// if missing) the current folder, where Tikor.dat is kept, and --clock
// chooses the clock (else TIKORA_CLOCK in the environment). --add DATE TIME
// MESSAGE [--daily|--weekly|--monthly] and --list are commands on the
// entries, run without a window. Nothing is written, and no display is
// needed, unless the program is to run.
namespace CommandLine {

enum ExitCode { Ok = 0, StartRefused = 1, BadUsage = 2 };

// The exact clock sleeps while nothing can happen; the plain one ticks
// every 500 ms.
enum class ClockKind { Exact, Poll };

// What the program is to do once the command line is read.
enum class Command { Start, Add, List };

struct Outcome
{
    bool run = false;  // go on: start the program or run the command
    int exitCode = Ok; // when not: end with this code
    ClockKind clock = ClockKind::Exact;
    Command command = Command::Start;
    // For Add: the date, time and message as typed, and the repeat's name
    // ("daily", "weekly", "monthly" or "once").
    QStringList entry;
    QString repeat;
};

// arguments[0] is the program's name; the arguments are the bytes main was
// given. Qt's own options (-platform, -style, -session...) are let through
// for QApplication. A folder named by bytes that are no text in the system's
// encoding is refused: Qt would make another name of it.
Outcome handle(const QList<QByteArray> &arguments, QTextStream &out, QTextStream &err);

// The arguments of main.
QList<QByteArray> fromArgv(int argc, char **argv);

} // namespace CommandLine
