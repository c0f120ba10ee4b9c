#include "scheduler/appcontext.h"

#include "scheduler/frmpass.h"

AppContext::AppContext(const Services &services) : services(services), store(state, services.boxes)
{
}

AppContext::~AppContext()
{
    delete m_mainAlert;
}

frmPass &AppContext::mainAlert()
{
    if (!m_mainAlert) {
        m_mainAlert = new frmPass(*this, frmPass::Main);
        m_mainAlert->Form_Load();
    }
    return *m_mainAlert;
}

void AppContext::FireAlarm(int slot)
{
    state.CurrentSlot = static_cast<qint16>(slot);
    firedSlots.append(slot);
}
