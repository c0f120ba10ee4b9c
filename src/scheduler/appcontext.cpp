#include "scheduler/appcontext.h"

#include "editor/frmnotify.h"
#include "scheduler/frmpass.h"

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
    state.CurrentSlot = static_cast<qint16>(slot);
    firedSlots.append(slot);
}
