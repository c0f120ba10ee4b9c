// SPDX-License-Identifier: MIT
#include "app/application.h"
#include "app/commandline.h"
#include "app/entrycommands.h"
#include "app/handoverrequests.h"
#include "app/singlecopy.h"
#include "platform/alertnotifications.h"
#include "platform/handover.h"
#include "platform/qtmodalrunner.h"
#include "platform/qtservices.h"
#include "platform/systemclock.h"
#include "platform/translations.h"
#include "platform/trayicon.h"
#include "platform/wakeups.h"
#include "platform/windowtitle.h"
#include "store/systemfiles.h"
#include "windows/appcontext.h"
#include "windows/trayshell.h"

#include <QCoreApplication>
#include <QIcon>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Ends the process without its exit handlers: a thread still waits on a
// session bus that never answered.
[[noreturn]] void endAtOnce(int code)
{
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace

int main(int argc, char *argv[])
{
    CommandLine::Outcome start;
    {
        // Before any window or file: --help and --version need no display.
        QTextStream out(stdout), err(stderr);
        start = CommandLine::handle(CommandLine::fromArgv(argc, argv), out, err);
        if (!start.run)
            return start.exitCode;
    }
    // A save past the file-size limit is a failed save, told like any other.
    SystemFiles::ignoreFileSizeSignal();

    if (start.command != CommandLine::Command::Start) {
        // --add and --list need no display: an application object without
        // one, for the session bus.
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        bool mustEndAtOnce = false;
        const int code = EntryCommands::run(start, out, err, mustEndAtOnce);
        if (mustEndAtOnce)
            endAtOnce(code);
        return code;
    }

    TikoraApplication app(argc, argv);
    app.onFailure = [](const QString &what) {
        QtMessageBoxes().show(
            QCoreApplication::translate("Tikora",
                                        "Tikora has met an unexpected problem and must close.\n%1")
                .arg(what));
        std::fflush(nullptr);
        std::_Exit(EXIT_FAILURE);
    };
    // The windows in the user's language, before any of them is made.
    const Translations translations;
    QApplication::setApplicationName(AppTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Tikora"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tikora.png")));
    UntitledWindows untitled;

    QtMessageBoxes boxes;
    SingleCopy copy;
    // Another copy runs here: it brings its main window forward, and this
    // start ends quietly.
    bool busStuck = false;
    const Claim claim = claimDataFolder(copy, boxes, [&busStuck](const QString &folder) {
        const HandOver::Answer answer = HandOver::ask(folder, HandOver::Request::Show);
        busStuck = answer.stuck;
        return answer.answered && answer.reply.exitCode == EXIT_SUCCESS;
    });
    if (claim != Claim::Run) {
        const int code = claim == Claim::HandedOver ? EXIT_SUCCESS : EXIT_FAILURE;
        if (busStuck)
            endAtOnce(code);
        return code;
    }

    SystemClock clock;
    QtSoundPlayer sound;
    QtModalRunner modal;
    QtHelpViewer help;
    QtTrayIcon tray;
    QtProblemReporter problems(boxes, tray);
    // A desktop notification with every alert, unless turned off.
    const std::unique_ptr<AlertNotifications> notifications = DesktopNotifications::make();
    AppContext context(Services{clock, boxes, sound, modal, problems, help, tray});
    context.useNotifications(notifications.get());

    context.commands.endProcess = [&copy](int code) {
        copy.release();
        endAtOnce(code);
    };

    // Later starts in this folder hand over to this copy.
    HandOverRequests requests(context);
    HandOver::Service handOver(requests);
    handOver.start(copy.lockedFolders());

    // The exact clock watches the data file in the folder the copy holds.
    std::unique_ptr<QtWakeUps> wakeUps;
    if (start.clock == CommandLine::ClockKind::Exact) {
        wakeUps = std::make_unique<QtWakeUps>();
        context.alarmClock.useWakeUps(wakeUps.get());
    }

    TrayShell trayShell(context);
    trayShell.startUp();
    return QApplication::exec();
}
