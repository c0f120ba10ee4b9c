// SPDX-License-Identifier: MIT
#include "windows/appcontext.h"

#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

AppContext::AppContext(const Services &services)
    : services(services), engine(services.clock, services.boxes, services.problems, services.sound)
{
    engine.setAlertWindows(this);
}

AppContext::~AppContext()
{
    engine.setAlertWindows(nullptr);
    delete m_mainAlert;
    delete m_editor;
}

AlertWindow &AppContext::mainAlert()
{
    if (!m_mainAlert) {
        m_mainAlert = new AlertWindow(*this, AlertWindow::Main);
        m_mainAlert->startShowing();
    }
    return *m_mainAlert;
}

AlarmEditor &AppContext::editor()
{
    if (!m_editor) {
        m_editor = new AlarmEditor(*this);
        m_editor->showWorkingCopy();
    }
    return *m_editor;
}

bool AppContext::editorVisible() const
{
    return m_editor && m_editor->isVisible();
}

bool AppContext::holdAlerts() const
{
    return editorVisible() || commands.aboutVisible();
}

AlertWindows::Window AppContext::openAlert()
{
    QPointer<AlertWindow> window = new AlertWindow(*this, AlertWindow::Further);
    window->startShowing();
    if (!window)
        return NoWindow;
    window->show();
    // A box open now must be answered first: it stays in front.
    if (services.modal.active())
        commands.raiseActiveModal();
    if (!window)
        return NoWindow;
    m_opening[++m_lastOpened] = window;
    return m_lastOpened;
}

void AppContext::showMessage(Window window, const QString &message, OpenAlerts::Id id)
{
    const auto it = m_opening.find(window);
    if (it == m_opening.end())
        return;
    const QPointer<AlertWindow> alert = it->second;
    m_opening.erase(it);
    if (!alert)
        return;
    alert->setMessage(message, id);
    alert->announce();
}
