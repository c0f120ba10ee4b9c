// SPDX-License-Identifier: MIT
#include "scheduler/appcontext.h"

#include "app/frmabout.h"
#include "editor/frmnotify.h"
#include "scheduler/frmpass.h"

#include <QApplication>
#include <QScopeGuard>

#include <QLabel>
#include <cstdio>
#include <cstdlib>

AppContext::AppContext(const Services &services) : services(services), store(state, services.boxes)
{
}

AppContext::~AppContext()
{
    delete m_mainAlert;
    delete m_editor;
}

frmPass &AppContext::mainAlert()
{
    if (!m_mainAlert) {
        m_mainAlert = new frmPass(*this, frmPass::Main);
        m_mainAlert->Form_Load();
    }
    return *m_mainAlert;
}

frmNotify &AppContext::editor()
{
    if (!m_editor) {
        m_editor = new frmNotify(*this);
        m_editor->Form_Load();
    }
    return *m_editor;
}

bool AppContext::editorVisible() const
{
    return m_editor && m_editor->isVisible();
}

void AppContext::FireAlarm(int slot)
{
    // A tick that runs inside this raising (in a problem box its load shows)
    // finds the slot still armed: it is raised once, here.
    if (m_raising.contains(slot))
        return;
    state.CurrentSlot = static_cast<qint16>(slot);
    QPointer<frmPass> window = new frmPass(*this, frmPass::Further);
    AlertForm = window;

    // The user is editing: the entry stays armed and fires at a later tick.
    if (editorVisible() || aboutVisible()) {
        delete window;
        return;
    }

    // Loading the window reads the file again; a problem box shown there
    // runs other ticks, which is why the slot is this call's own.
    m_raising.insert(slot);
    const auto raised = qScopeGuard([this, slot] { m_raising.remove(slot); });
    window->Form_Load();
    if (!window)
        return;
    window->show();

    const SoundChoice sound = editor().soundButtons();
    const std::pair<bool, QString> sounds[] = {{sound.Message, QStringLiteral("checkmsgs.wav")},
                                               {sound.Alert1, QStringLiteral("Alert.wav")},
                                               {sound.Alert2, QStringLiteral("Keytry.wav")},
                                               {sound.Alert3, QStringLiteral("Keyhaw.wav")}};
    for (const auto &[chosen, fileName] : sounds) {
        if (chosen) {
            services.sound.beep();
            services.sound.play(fileName);
        }
    }

    state.table().AlarmFired[slot] = 1;
    editor().SaveMsg();
    if (window)
        window->LbMessage->setText(state.table().AlarmMessage[slot]);
}

bool AppContext::aboutVisible() const
{
    return m_about && m_about->isVisible();
}

void AppContext::raiseActiveModal()
{
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void AppContext::showAbout(Origin origin)
{
    if (aboutVisible()) {
        raiseActiveModal();
        return;
    }
    if (origin == FromTray && ((m_mainAlert && m_mainAlert->isVisible()) || editorVisible()))
        return;
    frmAbout dialog;
    m_about = &dialog;
    dialog.Form_Load();
    services.modal.exec(dialog);
}
