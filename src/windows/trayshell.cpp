// SPDX-License-Identifier: MIT
#include "windows/trayshell.h"

#include "platform/sessionsignals.h"

#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/appcontext.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

TrayMenu::TrayMenu(AppContext &context) : m_menu(std::make_unique<QMenu>())
{
    m_menu->setObjectName(QStringLiteral("mnuFile"));
    m_menu->setTitle(tr("&File"));
    auto item = [this](const char *name, const QString &caption) {
        QAction *action = m_menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    QAction *tikoraAction = item("mnuTikora", tr("&Tikora"));
    QAction *setAlarmAction = item("mnuSet", tr("&Set Alarm"));
    QAction *helpAction = item("mnuHelp", tr("&Help"));
    QAction *aboutAction = item("mnuAbout", tr("&About"));
    m_exitAction = item("mnuClose", tr("&Exit"));

    // A command returns at once and its window opens after it (the editor,
    // About and a message box each run a loop until they close): a screen
    // reader choosing it over the accessibility bus waits for the answer.
    connect(tikoraAction, &QAction::triggered, this,
            [&context] { context.commands.showMainAlert(); });
    connect(
        setAlarmAction, &QAction::triggered, this,
        [&context] { context.commands.openEditor(MenuCommands::FromTray); }, Qt::QueuedConnection);
    connect(
        helpAction, &QAction::triggered, this, [&context] { context.commands.openHelp(); },
        Qt::QueuedConnection);
    connect(
        aboutAction, &QAction::triggered, this,
        [&context] { context.commands.showAbout(MenuCommands::FromTray); }, Qt::QueuedConnection);
}

TrayMenu::~TrayMenu() = default;

TrayShell::TrayShell(AppContext &context) : m_context(context), m_trayMenu(context)
{
    connect(&m_context.alarmClock, &AlarmClock::startUpDue, this, &TrayShell::completeStartUp);
    connect(&m_trayMenu.exitAction(), &QAction::triggered, this, &TrayShell::exitProgram);
    m_context.commands.exitProgram = [this] { exitProgram(); };
    m_context.services.tray.onLeftPress = [this] { iconLeftPressed(); };
    auto *sessionSignals = new SessionSignals(this);
    connect(sessionSignals, &SessionSignals::endRequested, this, &TrayShell::endSession);
}

TrayShell::~TrayShell()
{
    m_context.commands.exitProgram = nullptr;
    m_context.services.tray.onLeftPress = nullptr;
    m_context.alarmClock.cancelStartUp();
}

void TrayShell::startUp()
{
    prepareHidden();
    addIcon();
    m_context.engine.useDefaultBanners();
    // Some desktops have no notification area: the main window is the way in.
    if (!m_context.services.tray.available())
        m_context.commands.showMainAlert();
}

void TrayShell::prepareHidden()
{
    m_context.mainAlert();
    m_context.engine.ensureLoaded();
    m_context.alarmClock.completeStartUpAfter(850);
}

void TrayShell::addIcon()
{
    m_context.services.tray.add(AppTitle, &m_trayMenu.menu());
}

void TrayShell::removeIcon()
{
    m_context.services.tray.remove();
}

void TrayShell::completeStartUp()
{
    m_context.mainAlert().setWindowTitle(QString());
    // The unattended accept: the editor's OK when the user has opened it
    // meanwhile, else the same accept on the working copy.
    if (m_context.editorLoaded())
        m_context.editor().acceptEdits();
    else if (m_context.engine.acceptAtStartUp())
        m_context.alarmClock.start(m_context.mainAlert());
}

void TrayShell::iconLeftPressed()
{
    m_context.commands.showMainAlert();
}

void TrayShell::exitProgram()
{
    // Edits the user did not accept are dropped, not saved by the
    // acknowledgement below.
    if (m_context.editorVisible())
        m_context.editor().cancelEdits();
    if (m_context.mainAlertLoaded())
        m_context.mainAlert().acknowledge();
    endSession();
}

void TrayShell::endSession()
{
    if (m_context.editorLoaded())
        m_context.editor().hide();
    m_trayMenu.menu().hide();
    removeIcon();
    m_context.alarmClock.cancelStartUp();
    if (m_context.commands.endProcess)
        m_context.commands.endProcess(0);
}
