// SPDX-License-Identifier: MIT
// Snoozed alerts: open alerts that wait, in the record of open alerts, for
// the instant they open again.

#include "engine/alarmengine.h"

#include "scheduler/clock.h"

void AlarmEngine::snooze(OpenAlerts::Id alert, int minutes)
{
    if (alert == OpenAlerts::NoId)
        return;
    // By the wall clock: a suspend or a clock set meanwhile does not move it.
    m_openAlerts.snooze(alert, m_clock.now().addSecs(qint64(minutes) * 60));
    reportRecordFailure();
    Q_EMIT snoozesChanged();
}

QDateTime AlarmEngine::firstSnoozeEnd() const
{
    return m_openAlerts.firstSnoozeEnd();
}

bool AlarmEngine::snoozeEnded() const
{
    const QDateTime end = m_openAlerts.firstSnoozeEnd();
    return end.isValid() && end <= m_clock.now();
}

bool AlarmEngine::stillTheSame(const OpenAlerts::Alert &alert) const
{
    const Entry &entry = state.table()[alert.slot];
    return entry.fired == 1 && entry.date == alert.date && entry.time == alert.time &&
           entry.message == alert.message;
}

bool AlarmEngine::snoozed(int slot)
{
    Entry &entry = state.table()[slot];
    if (!m_openAlerts.snoozedFor({slot, entry.date, entry.time, entry.message}))
        return false;
    // Armed again by the start (which arms every repeating entry): fired
    // again, in the file too, as the snooze left it.
    if (entry.fired != 1) {
        entry.fired = 1;
        if (m_filled)
            save();
    }
    return true;
}

void AlarmEngine::raiseEndedSnoozes(const QDateTime &now)
{
    if (!m_windows)
        return;
    for (const auto &[id, alert] : m_openAlerts.snoozed()) {
        // Raised already by a tick nested in an earlier raising.
        if (m_raising.contains(alert.slot) || !m_openAlerts.snoozedUntil(id).isValid())
            continue;
        // An edit or a clear of the entry meanwhile drops it, at once.
        if (!stillTheSame(alert)) {
            m_openAlerts.remove(id);
            reportRecordFailure();
            Q_EMIT snoozesChanged();
            continue;
        }
        if (alert.snoozedUntil > now || m_windows->holdAlerts())
            continue;
        // The same alert, open again: no longer snoozed.
        m_openAlerts.snooze(id, QDateTime());
        reportRecordFailure();
        Q_EMIT snoozesChanged();
        const OpenAlerts::Id again = id;
        raise(alert.slot, [again] { return again; });
    }
}
