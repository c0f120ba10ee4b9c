// SPDX-License-Identifier: MIT
#include "app/frmtray.h"

#include "app/sessionsignals.h"

#include "editor/frmnotify.h"
#include "scheduler/appcontext.h"
#include "scheduler/frmpass.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

frmPopTray::frmPopTray(AppContext &context) : mnuFile(std::make_unique<QMenu>())
{
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->setTitle(QStringLiteral("&File"));
    auto item = [this](const char *name, const QString &caption) {
        QAction *action = mnuFile->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuTikora = item("mnuTikora", QStringLiteral("&Tikora"));
    mnuSet = item("mnuSet", QStringLiteral("&Set Alarm"));
    mnuHelp = item("mnuHelp", QStringLiteral("&Help"));
    mnuAbout = item("mnuAbout", QStringLiteral("&About"));
    mnuClose = item("mnuClose", QStringLiteral("&Exit"));

    connect(mnuTikora, &QAction::triggered, this, [&context] { context.showMainAlert(); });
    connect(mnuSet, &QAction::triggered, this,
            [&context] { context.openEditor(AppContext::FromTray); });
    connect(mnuHelp, &QAction::triggered, this, [&context] { context.openHelp(); });
    connect(mnuAbout, &QAction::triggered, this,
            [&context] { context.showAbout(AppContext::FromTray); });
}

frmPopTray::~frmPopTray() = default;

frmTray::frmTray(AppContext &context) : m_context(context), m_popTray(context)
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(850);
    connect(Timer1, &QTimer::timeout, this, &frmTray::Timer1_Timer);
    connect(m_popTray.mnuClose, &QAction::triggered, this, &frmTray::mnuClose_Click);
    m_context.exitProgram = [this] { mnuClose_Click(); };
    m_context.services.tray.onLeftPress = [this] { iconLeftPressed(); };
    auto *sessionSignals = new SessionSignals(this);
    connect(sessionSignals, &SessionSignals::endRequested, this, &frmTray::endSession);
}

frmTray::~frmTray()
{
    m_context.exitProgram = nullptr;
    m_context.services.tray.onLeftPress = nullptr;
}

void frmTray::startUp()
{
    Form_Load();
    CreateIcon();
    m_context.state.file.FileBanner1 = DefaultBanner1;
    m_context.state.file.FileBanner2 = DefaultBanner2;
    // Some desktops have no notification area: the main window is the way in.
    if (!m_context.services.tray.available())
        m_context.showMainAlert();
}

void frmTray::Form_Load()
{
    m_context.mainAlert();
    m_context.editor();
    Timer1->start();
}

void frmTray::CreateIcon()
{
    m_context.services.tray.add(AppTitle, m_popTray.mnuFile.get());
}

void frmTray::DeleteIcon()
{
    m_context.services.tray.remove();
}

void frmTray::Timer1_Timer()
{
    m_context.mainAlert().setWindowTitle(QString());
    Timer1->stop();
    m_context.editor().cmdOKnotify->click();
}

void frmTray::iconLeftPressed()
{
    m_context.showMainAlert();
}

void frmTray::mnuClose_Click()
{
    // Edits the user did not accept are dropped, not saved by the
    // acknowledgement below.
    if (m_context.editorVisible())
        m_context.editor().cancelEdits();
    if (m_context.mainAlertLoaded())
        m_context.mainAlert().Form_Unload();
    endSession();
}

void frmTray::endSession()
{
    if (m_context.editorLoaded())
        m_context.editor().hide();
    m_popTray.mnuFile->hide();
    DeleteIcon();
    Timer1->stop();
    if (m_context.endProcess)
        m_context.endProcess(0);
}
