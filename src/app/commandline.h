// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

class QTextStream;

// The program's command line, read before anything else happens: --help and
// --version print and end the program, --data-dir DIR makes DIR (mode 0700,
// if missing) the current folder, where Tikor.dat is kept, and --clock
// chooses the clock (else TIKORA_CLOCK in the environment). Nothing is
// written, and no display is needed, unless the program is to run.
namespace CommandLine {

enum ExitCode { Ok = 0, StartRefused = 1, BadUsage = 2 };

// The exact clock sleeps while nothing can happen; the plain one ticks
// every 500 ms.
enum class ClockKind { Exact, Poll };

struct Outcome
{
    bool run = false;  // go on and start the program
    int exitCode = Ok; // when not: end with this code
    ClockKind clock = ClockKind::Exact;
};

// arguments[0] is the program's name; the arguments are the bytes main was
// given. Qt's own options (-platform, -style, -session...) are let through
// for QApplication. A folder named by bytes that are no text in the system's
// encoding is refused: Qt would make another name of it.
Outcome handle(const QList<QByteArray> &arguments, QTextStream &out, QTextStream &err);

// The arguments of main.
QList<QByteArray> fromArgv(int argc, char **argv);

} // namespace CommandLine
