// SPDX-License-Identifier: MIT
#include "platform/helplookup.h"
#include "platform/windowfront.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/appcontext.h"
#include "windows/placement.h"
#include "windows/twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

void AppContext::showMainAlert()
{
    if (editorVisible() || aboutVisible())
        return;
    // Shown, or brought back in front if it is open (minimised or not).
    WindowFront::bringToFront(mainAlert());
    // A message box open now stays in front of it.
    if (services.modal.active())
        raiseActiveModal();
}

void AppContext::openEditor(Origin origin, AlertWindow *from)
{
    AlarmEditor &notify = editor();
    if (notify.isVisible()) {
        raiseActiveModal();
        return;
    }
    // The clock stays on when the editor is not going to be shown: it runs
    // whenever the editor is hidden. About, in the way, comes to the front.
    if (origin == FromTray && aboutVisible()) {
        raiseActiveModal();
        return;
    }
    AlertWindow &owner = origin == FromTray || !from ? mainAlert() : *from;
    alarmClock.stop(owner);

    const QScreen *screen = notify.screen() ? notify.screen() : QGuiApplication::primaryScreen();
    const int screenTwips = screen ? screen->geometry().width() * 15 : 0;
    const int left = Placement::editorLeftTwips(screenTwips, notify.frameGeometry().width() * 15);
    notify.move(twipsToPixels(left), twipsToPixels(Placement::EditorTopTwips));
    services.modal.exec(notify);
}

QString AppContext::helpPath()
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("Tikora.chm")));
}

void AppContext::openHelp()
{
    // A help file in the current folder wins; else the page the program ships.
    const QString local = helpPath();
    const QString page = QFileInfo(local).isFile() ? local : HelpLookup::page();
    if (page.isEmpty()) {
        services.boxes.show(
            QCoreApplication::translate("AppContext", "Tikora could not find its help page."));
        return;
    }
    MessageBoxes &boxes = services.boxes;
    services.help.open(page, [&boxes, page] { boxes.show(helpFailureText(page)); });
}

QString AppContext::helpFailureText(const QString &page)
{
    return QCoreApplication::translate(
               "AppContext", "Tikora could not open its help page: no program to show it was "
                             "found, or it failed. The page can be opened in a web browser:\n%1")
        .arg(page);
}
