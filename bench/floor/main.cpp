// SPDX-License-Identifier: MIT
// The floor program of the whole-program benchmark: the least a Qt program
// that sits in the tray as Tikora does can cost. A tray icon with the
// program's icons and a menu of five items, and one 500 ms timer that reads
// Tikor.dat with POSIX calls and splits it into lines. Nothing else: no
// windows, hidden or shown, no sound, none of the program's own classes, and
// only the Qt libraries it uses. bench/wholeprogram.py runs it beside
// build-bench/tikora.
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "readlines.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QMenu menu;
    for (const char *item : {"&Tikora", "&Set Alarm", "&Help", "&About", "&Exit"})
        menu.addAction(QString::fromLatin1(item));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tikora-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/tikora-32.png"), QSize(32, 32));
    QSystemTrayIcon tray(icon);
    tray.setToolTip(QStringLiteral("Tikora"));
    tray.setContextMenu(&menu);
    tray.show();

    std::string bytes;
    size_t lineCount = 0;
    QTimer clock;
    clock.setInterval(500);
    QObject::connect(&clock, &QTimer::timeout,
                     [&bytes, &lineCount] { lineCount = readLines(bytes).size(); });
    clock.start();
    return QApplication::exec();
}
