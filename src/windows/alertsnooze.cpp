// SPDX-License-Identifier: MIT
// Snoozing a further alert window: the third item of its menu bar.

#include "windows/alertwindow.h"
#include "windows/appcontext.h"

#include <QMenu>
#include <QMenuBar>

void AlertWindow::addSnoozeMenu()
{
    m_snoozeMenu = m_menuBar->addMenu(tr("S&nooze"));
    m_snoozeMenu->setObjectName(QStringLiteral("mnuSnooze"));
    const std::pair<const char *, int> choices[] = {{QT_TR_NOOP("&5 minutes"), 5},
                                                    {QT_TR_NOOP("1&0 minutes"), 10},
                                                    {QT_TR_NOOP("1&5 minutes"), 15},
                                                    {QT_TR_NOOP("&30 minutes"), 30},
                                                    {QT_TR_NOOP("1 &hour"), 60}};
    for (const auto &[caption, minutes] : choices) {
        QAction *action = m_snoozeMenu->addAction(tr(caption));
        action->setObjectName(QStringLiteral("mnuSnooze%1").arg(minutes));
        connect(action, &QAction::triggered, this, [this, minutes = minutes] { snooze(minutes); });
    }
}

void AlertWindow::snooze(int minutes)
{
    if (m_kind != Further)
        return;
    withdrawNotification();
    // Not acknowledged: the record keeps the alert, with its instant, and
    // the entry stays as it is in the file.
    const OpenAlerts::Id alert = m_alert;
    m_alert = OpenAlerts::NoId;
    hide();
    m_context.alarmClock.stop(*this);
    deleteLater();
    m_context.engine.snooze(alert, minutes);
}
