// SPDX-License-Identifier: MIT
#include "windows/appcontext.h"

#include "windows/aboutwindow.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include "scheduler/nextcheck.h"

#include <QApplication>
#include <QTimer>

#include <QLabel>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

AppContext::AppContext(const Services &services)
    : services(services), engine(services.clock, services.boxes, services.problems, services.sound)
{
    engine.setAlertWindows(this);
}

AppContext::~AppContext()
{
    engine.setAlertWindows(nullptr);
    m_wakeUps = nullptr;
    delete m_mainAlert;
    delete m_editor;
}

AlertWindow &AppContext::mainAlert()
{
    if (!m_mainAlert) {
        m_mainAlert = new AlertWindow(*this, AlertWindow::Main);
        if (m_wakeUps)
            m_mainAlert->clockTimer->setTimerType(Qt::PreciseTimer);
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

void AppContext::startMainClock()
{
    mainAlert().clockTimer->start();
    // Started afresh: its wait counts from now.
    m_plannedFor = {};
    paceMainClock();
}

void AppContext::useWakeUps(WakeUps *wakeUps)
{
    m_wakeUps = wakeUps;
    if (m_mainAlert)
        m_mainAlert->clockTimer->setTimerType(Qt::PreciseTimer);
    // A wake-up runs the main clock's tick at once, if the clock is on; the
    // wall clock or the time zone may have changed, so its wait is found
    // anew.
    QObject::connect(wakeUps, &WakeUps::woken, wakeUps, [this] {
        m_planner.forget();
        m_plannedFor = {};
        if (m_wakeUps && m_mainAlert && m_mainAlert->clockTimer->isActive())
            QMetaObject::invokeMethod(m_mainAlert, &AlertWindow::tick, Qt::QueuedConnection);
    });
    // A file being written is read again once it is quiet: by that tick.
    store.setChangeWatch([this] { return m_wakeUps && m_wakeUps->fileChanging(); });
    paceMainClock();
}

void AppContext::paceMainClock()
{
    if (!m_wakeUps || !m_mainAlert || !m_mainAlert->clockTimer->isActive())
        return;
    QTimer *timer = m_mainAlert->clockTimer;
    // Every 500 ms anyway: nothing to plan. A running 500 ms clock keeps its
    // phase.
    if (m_mainTicking > 0 || !m_wakeUps->seesFileChanges() || m_mainAlert->isVisible()) {
        m_plannedFor = {};
        if (timer->interval() != NextCheck::PollMs)
            timer->setInterval(NextCheck::PollMs);
        return;
    }
    // Further alert windows tick every 500 ms on their own clocks; the main
    // one sleeps beside them all the same, so it is never later than they.
    // After a tick of theirs that changed nothing, it is set already.
    const QDateTime now = services.clock.now();
    const NextCheck::Change next = m_planner.next(state.table(), now);
    if (next.at == m_plannedFor)
        return;
    m_plannedFor = next.at;
    timer->setInterval(NextCheck::waitMs(next, now));
    // Ready to sound at that second: loading the sound there would hold
    // the window back.
    if (next.due)
        engine.prepareSound();
}

void AppContext::alertVisibilityChanged(AlertWindow *window)
{
    if (window != m_mainAlert)
        return;
    paceMainClock();
    // Its labels were last set by a tick that may be a minute old: a tick
    // brings them up to date as soon as it shows.
    if (m_wakeUps && window->isVisible())
        QMetaObject::invokeMethod(window, &AlertWindow::tick, Qt::QueuedConnection);
}

void AppContext::tickStarted(AlertWindow *window)
{
    if (window != m_mainAlert)
        return;
    ++m_mainTicking;
    paceMainClock();
}

void AppContext::tickEnded(AlertWindow *window)
{
    if (window == m_mainAlert)
        --m_mainTicking;
    paceMainClock();
}

bool AppContext::holdAlerts() const
{
    return editorVisible() || aboutVisible();
}

QObject *AppContext::openAlert()
{
    QPointer<AlertWindow> window = new AlertWindow(*this, AlertWindow::Further);
    window->load();
    if (window) {
        window->show();
        // A box open now must be answered first: it stays in front.
        if (services.modal.active())
            raiseActiveModal();
    }
    return window;
}

void AppContext::showMessage(QObject *alert, const QString &message)
{
    if (auto *window = qobject_cast<AlertWindow *>(alert))
        window->setMessage(message);
}

bool AppContext::aboutVisible() const
{
    return m_about && m_about->isVisible();
}

void AppContext::raiseActiveModal()
{
    if (QWidget *modal = services.modal.active()) {
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
