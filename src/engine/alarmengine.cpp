// SPDX-License-Identifier: MIT
// The engine's clock side: the tick, firing, the acknowledgement and saving.

#include "engine/alarmengine.h"

#include "engine/clockface.h"
#include "engine/services.h"
#include "scheduler/clock.h"
#include "scheduler/schedule.h"
#include "store/datetext.h"
#include "store/soundfiles.h"

#include <QCoreApplication>
#include <QScopeGuard>

AlarmEngine::AlarmEngine(Clock &clock, MessageBoxes &boxes, ProblemReporter &problems,
                         SoundPlayer &sound)
    : store(state), m_clock(clock), m_boxes(boxes), m_problems(problems), m_player(sound)
{
}

void AlarmEngine::loadFile()
{
    const std::optional<AlarmStore::Snapshot> broken = store.load();
    if (!broken || m_problemOpen)
        return;
    m_problemOpen = true;
    m_boxes.show(AlarmStore::problemText());
    m_problemOpen = false;
    store.dismissProblem(*broken);
}

QDateTime AlarmEngine::readClock()
{
    return Schedule::readClock(state, m_clock);
}

QDate AlarmEngine::readToday()
{
    const QDate today = m_clock.localNow().date();
    state.nowDate = DateText::formatDate(today);
    return today;
}

bool AlarmEngine::fileDamaged()
{
    return store.load().has_value();
}

void AlarmEngine::useDefaultBanners()
{
    state.file.banner1 = DefaultBanner1;
    state.file.banner2 = DefaultBanner2;
}

void AlarmEngine::tick(TickRun *run)
{
    TickRun none;
    TickRun &tick = run ? *run : none;
    loadFile();
    if (tick.cancelled)
        return;
    const QDateTime now = readClock();
    if (tick.face)
        tick.face->showTime(now);
    Schedule::raiseDueSlots(state, now, m_dueTest, [this, &tick](int slot) {
        fire(slot);
        return !tick.cancelled;
    });
    if (!tick.cancelled)
        raiseWaitingLeftAlerts();
    if (!tick.cancelled)
        raiseEndedSnoozes(now);
}

void AlarmEngine::watchFileChanges(std::function<bool()> changing)
{
    store.setChangeWatch(std::move(changing));
}

void AlarmEngine::fire(int slot)
{
    // A tick that runs inside this raising (in a problem box the new
    // window's load shows) finds the slot still armed: it is raised once,
    // here.
    if (m_raising.contains(slot) || !m_windows)
        return;
    // The user is editing: the entry stays armed and fires at a later tick.
    if (m_windows->holdAlerts())
        return;
    // Its alert is snoozed (a start armed the repeating entry again): it
    // opens at its instant, not now, and the entry stays fired.
    if (snoozed(slot))
        return;
    raise(slot, [this, slot] {
        state.table()[slot].fired = 1;
        // In the record before the fired flag is in the file: a run that
        // ends between the two rings the entry again as a due one, and the
        // record's alert, not fired, is dropped; never the other way round.
        const WorkingRow &row = m_rows.at(slot);
        const OpenAlerts::Id id = m_openAlerts.add({slot, row.date, row.time, row.message});
        save();
        reportRecordFailure();
        return id;
    });
}

void AlarmEngine::raise(int slot, const std::function<OpenAlerts::Id()> &record)
{
    m_raising.insert(slot);
    const auto raised = qScopeGuard([this, slot] { m_raising.remove(slot); });
    const AlertWindows::Window alert = m_windows->openAlert();
    if (alert == AlertWindows::NoWindow)
        return;

    ensureLoaded();
    for (const QString &fileName : chosenSounds()) {
        m_player.beep();
        m_player.play(fileName);
    }

    const OpenAlerts::Id id = record();
    m_windows->showMessage(alert, state.table()[slot].message, id);
}

void AlarmEngine::raiseLeftAlerts()
{
    m_openAlerts.read();
    m_raiseLeftAlerts = true;
    // Judged by what the file holds, as after every tick's load: start-up
    // arms repeating entries in memory only, until its accept saves.
    loadFile();
    raiseWaitingLeftAlerts();
    // Snoozes that ended while the program was not running open now.
    raiseEndedSnoozes(m_clock.now());
}

void AlarmEngine::raiseWaitingLeftAlerts()
{
    if (!m_raiseLeftAlerts || !m_windows || !m_openAlerts.anyLeftFromLastRun())
        return;
    for (const auto &[id, alert] : m_openAlerts.leftFromLastRun()) {
        // A tick nested in an earlier raising may have raised it already.
        if (!m_openAlerts.isLeftFromLastRun(id) || m_raising.contains(alert.slot))
            continue;
        // Snoozed: it opens at its instant, as a snooze of this run; its
        // entry, armed again by the start if it repeats, stays fired.
        if (alert.snoozedUntil.isValid() && snoozed(alert.slot)) {
            m_openAlerts.raisedAgain(id);
            Q_EMIT snoozesChanged();
            continue;
        }
        if (!stillTheSame(alert)) {
            // Edited, cleared or moved on meanwhile: not this alert any more.
            m_openAlerts.remove(id);
            reportRecordFailure();
            continue;
        }
        if (m_windows->holdAlerts())
            return;
        m_openAlerts.raisedAgain(id);
        const OpenAlerts::Id again = id;
        raise(alert.slot, [again] { return again; });
    }
}

bool AlarmEngine::leftAlertsWaiting() const
{
    return m_raiseLeftAlerts && m_openAlerts.anyLeftFromLastRun();
}

QStringList AlarmEngine::chosenSounds() const
{
    QStringList files;
    for (const SoundFile &sound : SoundFiles)
        if (m_sound.*sound.option)
            files.append(QString::fromLatin1(sound.fileName));
    return files;
}

void AlarmEngine::prepareSound()
{
    // Before the first load nothing is chosen yet, and loading here could
    // open a box.
    if (!m_filled)
        return;
    // Each sound cuts off the one before it: the last is the one heard.
    const QStringList files = chosenSounds();
    if (!files.isEmpty())
        m_player.prepare(files.last());
}

void AlarmEngine::acknowledge(OpenAlerts::Id alert)
{
    const QDateTime now = readClock();
    ensureLoaded();
    // The repeat boxes come from the working copy, and the new dates go
    // there too: the save writes the file from it.
    Schedule::moveRepeatingEntries(
        state, now, [this](int slot) { return m_rows.at(slot).repeat; },
        [this](int slot, const QString &date) { setText(slot, Field::Date, date); });
    save();
    // Out of the record once the entry has moved on in the file: a run that
    // ends between the two raises the alert once more, and never loses it.
    m_openAlerts.remove(alert);
    reportRecordFailure();
}

void AlarmEngine::reportRecordFailure()
{
    // While Tikor.dat cannot be saved either (a full disk, a folder gone),
    // the user has been told of that, and once is enough.
    const OpenAlerts::WriteResult written = m_openAlerts.lastWrite();
    if (written.firstFailure && !store.saveFailing()) {
        m_problems.report(
            QCoreApplication::translate("AlarmEngine",
                                        "The record of open alerts (%1) could not be saved: %2")
                .arg(OpenAlerts::FileName, written.reason));
    }
}

AlarmStore::SaveResult AlarmEngine::save()
{
    ensureLoaded();
    const AlarmStore::SaveResult result = writeFile();
    if (!result.ok && result.firstFailure)
        m_problems.report(AlarmStore::saveFailureText(result.reason));
    return result;
}

AlarmStore::SaveResult AlarmEngine::writeFile()
{
    // Reached inside the first load (a tick in the box of a broken file):
    // the rows get what the file gave first, so no entry is written empty.
    if (!m_filled)
        fillRows(Rearm::Yes);
    FileContents contents;
    contents.banner1 = state.file.banner1;
    contents.banner2 = state.file.banner2;
    contents.sound = m_sound;
    AlarmTable &table = contents.table;
    for (int slot = 0; slot < SlotCount; ++slot)
        table[slot] = m_rows.at(slot).entry(state.table()[slot].fired);
    return store.save(contents);
}
