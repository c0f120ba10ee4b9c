// SPDX-License-Identifier: MIT
#include "windows/menucommands.h"

#include "platform/helplookup.h"
#include "platform/windowfront.h"
#include "windows/aboutwindow.h"
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

void MenuCommands::showMainAlert()
{
    if (m_context.editorVisible() || aboutVisible())
        return;
    // Shown, or brought back in front if it is open (minimised or not).
    WindowFront::bringToFront(m_context.mainAlert());
    // A message box open now stays in front of it.
    if (m_context.services.modal.active())
        raiseActiveModal();
}

void MenuCommands::openEditor(Origin origin, AlertWindow *from)
{
    AlarmEditor &notify = m_context.editor();
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
    AlertWindow &owner = origin == FromTray || !from ? m_context.mainAlert() : *from;
    m_context.alarmClock.stop(owner);

    const QScreen *screen = notify.screen() ? notify.screen() : QGuiApplication::primaryScreen();
    const int screenTwips = screen ? screen->geometry().width() * 15 : 0;
    const int left = Placement::editorLeftTwips(screenTwips, notify.frameGeometry().width() * 15);
    notify.move(twipsToPixels(left), twipsToPixels(Placement::EditorTopTwips));
    m_context.services.modal.exec(notify);
}

void MenuCommands::showAbout(Origin origin)
{
    if (aboutVisible()) {
        raiseActiveModal();
        return;
    }
    if (origin == FromTray && ((m_context.mainAlertLoaded() && m_context.mainAlert().isVisible()) ||
                               m_context.editorVisible()))
        return;
    AboutWindow dialog;
    m_about = &dialog;
    dialog.fillTitleAndVersion();
    m_context.services.modal.exec(dialog);
}

bool MenuCommands::aboutVisible() const
{
    return m_about && m_about->isVisible();
}

QString MenuCommands::helpPath()
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(QStringLiteral("Tikora.chm")));
}

void MenuCommands::openHelp()
{
    // A help file in the current folder wins; else the page the program ships.
    const QString local = helpPath();
    const QString page = QFileInfo(local).isFile() ? local : HelpLookup::page();
    MessageBoxes &boxes = m_context.services.boxes;
    if (page.isEmpty()) {
        boxes.show(
            QCoreApplication::translate("MenuCommands", "Tikora could not find its help page."));
        return;
    }
    m_context.services.help.open(page, [&boxes, page] { boxes.show(helpFailureText(page)); });
}

QString MenuCommands::helpFailureText(const QString &page)
{
    return QCoreApplication::translate(
               "MenuCommands", "Tikora could not open its help page: no program to show it was "
                               "found, or it failed. The page can be opened in a web browser:\n%1")
        .arg(page);
}

void MenuCommands::raiseActiveModal()
{
    if (QWidget *modal = m_context.services.modal.active())
        WindowFront::bringToFront(*modal);
}
