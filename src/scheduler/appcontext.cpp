// SPDX-License-Identifier: MIT
#include "scheduler/appcontext.h"

#include "app/aboutwindow.h"
#include "editor/alarmeditor.h"
#include "scheduler/alertwindow.h"

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

AlertWindow &AppContext::mainAlert()
{
    if (!m_mainAlert) {
        m_mainAlert = new AlertWindow(*this, AlertWindow::Main);
        m_mainAlert->load();
    }
    return *m_mainAlert;
}

AlarmEditor &AppContext::editor()
{
    if (!m_editor) {
        m_editor = new AlarmEditor(*this);
        m_editor->load();
    }
    return *m_editor;
}

bool AppContext::editorVisible() const
{
    return m_editor && m_editor->isVisible();
}

void AppContext::fire(int slot)
{
    // A tick that runs inside this raising (in a problem box its load shows)
    // finds the slot still armed: it is raised once, here.
    if (m_raising.contains(slot))
        return;
    state.currentSlot = static_cast<qint16>(slot);
    QPointer<AlertWindow> window = new AlertWindow(*this, AlertWindow::Further);
    lastAlert = window;

    // The user is editing: the entry stays armed and fires at a later tick.
    if (editorVisible() || aboutVisible()) {
        delete window;
        return;
    }

    // Loading the window reads the file again; a problem box shown there
    // runs other ticks, which is why the slot is this call's own.
    m_raising.insert(slot);
    const auto raised = qScopeGuard([this, slot] { m_raising.remove(slot); });
    window->load();
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
    editor().save();
    if (window)
        window->messageLabel->setText(state.table().AlarmMessage[slot]);
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
    AboutWindow dialog;
    m_about = &dialog;
    dialog.load();
    services.modal.exec(dialog);
}
