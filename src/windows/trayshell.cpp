// SPDX-License-Identifier: MIT
#include "windows/trayshell.h"

#include "platform/sessionsignals.h"

#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"
#include "windows/appcontext.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

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
    connect(tikoraAction, &QAction::triggered, this, [&context] { context.showMainAlert(); });
    connect(
        setAlarmAction, &QAction::triggered, this,
        [&context] { context.openEditor(AppContext::FromTray); }, Qt::QueuedConnection);
    connect(
        helpAction, &QAction::triggered, this, [&context] { context.openHelp(); },
        Qt::QueuedConnection);
    connect(
        aboutAction, &QAction::triggered, this,
        [&context] { context.showAbout(AppContext::FromTray); }, Qt::QueuedConnection);
}

TrayMenu::~TrayMenu() = default;

TrayShell::TrayShell(AppContext &context) : m_context(context), m_trayMenu(context)
{
    startUpTimer = new QTimer(this);
    startUpTimer->setObjectName(QStringLiteral("Timer1"));
    startUpTimer->setInterval(850);
    connect(startUpTimer, &QTimer::timeout, this, &TrayShell::completeStartUp);
    connect(&m_trayMenu.exitAction(), &QAction::triggered, this, &TrayShell::exitProgram);
    m_context.exitProgram = [this] { exitProgram(); };
    m_context.services.tray.onLeftPress = [this] { iconLeftPressed(); };
    auto *sessionSignals = new SessionSignals(this);
    connect(sessionSignals, &SessionSignals::endRequested, this, &TrayShell::endSession);
}

TrayShell::~TrayShell()
{
    m_context.exitProgram = nullptr;
    m_context.services.tray.onLeftPress = nullptr;
}

void TrayShell::startUp()
{
    prepareHidden();
    addIcon();
    m_context.engine.useDefaultBanners();
    // Some desktops have no notification area: the main window is the way in.
    if (!m_context.services.tray.available())
        m_context.showMainAlert();
}

void TrayShell::prepareHidden()
{
    m_context.mainAlert();
    m_context.engine.ensureLoaded();
    startUpTimer->start();
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
    startUpTimer->stop();
    // The unattended accept: the editor's OK when the user has opened it
    // meanwhile, else the same accept on the working copy.
    if (m_context.editorLoaded())
        m_context.editor().acceptEdits();
    else if (m_context.engine.acceptAtStartUp())
        m_context.startMainClock();
    // Now that the file holds what start-up made of it, the alerts the last
    // run left open come back.
    m_context.alarmClock.raiseLeftAlerts();
}

void TrayShell::iconLeftPressed()
{
    m_context.showMainAlert();
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
    startUpTimer->stop();
    if (m_context.endProcess)
        m_context.endProcess(0);
}
