// SPDX-License-Identifier: MIT
#include "windows/appcontext.h"

#include "windows/aboutwindow.h"
#include "windows/alarmeditor.h"
#include "windows/alertwindow.h"

#include "platform/windowfront.h"
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
    // A snooze sets the instant the main clock next wakes at.
    QObject::connect(&engine, &AlarmEngine::snoozesChanged, &engine, [this] { paceMainClock(); });
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
    paceMainClock();
}

void AppContext::useWakeUps(WakeUps *wakeUps)
{
    m_wakeUps = wakeUps;
    if (m_mainAlert)
        m_mainAlert->clockTimer->setTimerType(Qt::PreciseTimer);
    // A wake-up runs the main clock's tick at once, if the clock is on.
    QObject::connect(wakeUps, &WakeUps::woken, wakeUps, [this] {
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
    // Every 500 ms anyway: nothing to look for. A running 500 ms clock keeps
    // its phase.
    // Alerts left open by the last run that wait for the editor or About to
    // close are raised by the next tick after they do.
    if (m_mainTicking > 0 || !m_wakeUps->seesFileChanges() || m_mainAlert->isVisible() ||
        engine.leftAlertsWaiting()) {
        if (timer->interval() != NextCheck::PollMs)
            timer->setInterval(NextCheck::PollMs);
        return;
    }
    const QDateTime now = services.clock.now();
    const NextCheck::Change next =
        NextCheck::firstChange(state.table(), now, NextCheck::LongestWaitMs / 1000);
    // An entry due already but held back: it keeps its 500 ms phase too.
    int wait = NextCheck::waitMs(next, now);
    // A snoozed alert opens again at its instant (at once when it is past,
    // unless alerts are held: then at the 500 ms pace, like a held entry).
    const QDateTime snoozeEnd = engine.firstSnoozeEnd();
    const bool snoozeEnds = snoozeEnd.isValid() && now.msecsTo(snoozeEnd) < wait;
    if (snoozeEnds)
        wait =
            snoozeEnd <= now ? (holdAlerts() ? NextCheck::PollMs : 0) : int(now.msecsTo(snoozeEnd));
    if (wait != NextCheck::PollMs || timer->interval() != NextCheck::PollMs)
        timer->setInterval(wait);
    // Ready for that second: loading the sound and the fonts the window is
    // laid out in there would hold the window back.
    if (next.due || snoozeEnds) {
        engine.prepareSound();
        m_mainAlert->prepare();
    }
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
    if (window != m_mainAlert)
        return;
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

void AppContext::showMessage(QObject *alert, const QString &message, OpenAlerts::Id id)
{
    if (auto *window = qobject_cast<AlertWindow *>(alert)) {
        window->setMessage(message, id);
        window->announce();
    }
}

bool AppContext::aboutVisible() const
{
    return m_about && m_about->isVisible();
}

void AppContext::raiseActiveModal()
{
    if (QWidget *modal = services.modal.active())
        WindowFront::bringToFront(*modal);
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
