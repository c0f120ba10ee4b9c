// SPDX-License-Identifier: MIT
#include "app/application.h"
#include "app/commandline.h"
#include "app/singlecopy.h"
#include "platform/alertnotifications.h"
#include "platform/qtmodalrunner.h"
#include "platform/qtservices.h"
#include "platform/systemclock.h"
#include "platform/trayicon.h"
#include "platform/wakeups.h"
#include "platform/windowtitle.h"
#include "store/posixfiles.h"
#include "windows/appcontext.h"
#include "windows/trayshell.h"

#include <QIcon>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char *argv[])
{
    CommandLine::ClockKind clockKind = CommandLine::ClockKind::Exact;
    {
        // Before any window or file: --help and --version need no display.
        QTextStream out(stdout), err(stderr);
        const auto start = CommandLine::handle(CommandLine::fromArgv(argc, argv), out, err);
        if (!start.run)
            return start.exitCode;
        clockKind = start.clock;
    }
    // A save past the file-size limit is a failed save, told like any other.
    PosixFiles::ignoreFileSizeSignal();
    TikoraApplication app(argc, argv);
    app.onFailure = [](const QString &what) {
        QtMessageBoxes().show(
            QStringLiteral("Tikora has met an unexpected problem and must close.\n%1").arg(what));
        std::fflush(nullptr);
        std::_Exit(EXIT_FAILURE);
    };
    QApplication::setApplicationName(AppTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Tikora"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tikora.png")));
    UntitledWindows untitled;

    QtMessageBoxes boxes;
    SingleCopy copy;
    if (!claimDataFolder(copy, boxes))
        return EXIT_FAILURE;

    SystemClock clock;
    QtSoundPlayer sound;
    QtModalRunner modal;
    QtHelpViewer help;
    QtTrayIcon tray;
    QtProblemReporter problems(boxes, tray);
    // A desktop notification with every alert, unless turned off.
    std::unique_ptr<DBusAlertNotifications> notifications;
    if (!DBusAlertNotifications::turnedOff())
        notifications = std::make_unique<DBusAlertNotifications>();
    AppContext context(Services{clock, boxes, sound, modal, problems, help, tray});
    context.useNotifications(notifications.get());

    context.endProcess = [&copy](int code) {
        copy.release();
        std::fflush(nullptr);
        std::_Exit(code);
    };

    // The exact clock watches the data file in the folder the copy holds.
    std::unique_ptr<QtWakeUps> wakeUps;
    if (clockKind == CommandLine::ClockKind::Exact) {
        wakeUps = std::make_unique<QtWakeUps>();
        context.useWakeUps(wakeUps.get());
    }

    TrayShell trayShell(context);
    trayShell.startUp();
    return QApplication::exec();
}
