// SPDX-License-Identifier: MIT
// The engine's working copy: loading it, the row rules, accept and cancel.

#include "engine/alarmengine.h"

#include "engine/services.h"
#include "scheduler/clock.h"
#include "store/datetext.h"
#include "store/entrytexts.h"

#include <QCoreApplication>

namespace {

const char *const BadTime = QT_TRANSLATE_NOOP("AlarmEngine", "The TIME you entered was not valid.");
const char *const BadDate = QT_TRANSLATE_NOOP("AlarmEngine", "The DATE you entered was not valid.");

// Whether a box's text holds the same date or time as it did before.
bool sameValue(const QString &text, const QString &before, const QDate &today)
{
    if (text == before)
        return true;
    const std::optional<DateText::Value> value = DateText::parse(text, today);
    return value && value == DateText::parse(before, today);
}

} // namespace

void AlarmEngine::ensureLoaded()
{
    if (m_filled || m_loading)
        return;
    m_loading = true;
    loadFile();
    m_loading = false;
    fillRows(Rearm::Yes);
    rememberShownTexts();
}

void AlarmEngine::fillRows(Rearm rearm)
{
    AlarmTable &t = state.table();
    for (int row = 0; row < SlotCount; ++row) {
        setText(row, Field::Date, t[row].date);
        setText(row, Field::Message, t[row].message);
        setText(row, Field::Time, t[row].time);
        // As the boxes take the file's values in order: a later checked box
        // clears the earlier, and each newly checked one arms the entry
        // (not when the edits are cancelled).
        bool checked = takeRepeat(row, Repeat::Daily, t[row].repeat.daily);
        checked = takeRepeat(row, Repeat::Weekly, t[row].repeat.weekly) || checked;
        checked = takeRepeat(row, Repeat::Monthly, t[row].repeat.monthly) || checked;
        if (checked && rearm == Rearm::Yes)
            t[row].fired = 0;
    }
    fillSound();
    m_filled = true;
}

void AlarmEngine::fillSound()
{
    // As four exclusive options take the file's values in order: a true one
    // is chosen alone, a false one is only cleared (so none may be chosen).
    const SoundChoice &file = state.file.sound;
    SoundChoice sound = m_sound;
    const auto take = [&sound](bool SoundChoice::*option, bool value) {
        if (value)
            sound = SoundChoice{false, false, false, false};
        sound.*option = value;
    };
    take(&SoundChoice::MessageSound, file.MessageSound);
    take(&SoundChoice::Alert1, file.Alert1);
    take(&SoundChoice::Alert2, file.Alert2);
    take(&SoundChoice::Alert3, file.Alert3);
    setSound(sound);
}

void AlarmEngine::setText(int row, Field field, const QString &text)
{
    WorkingRow &r = m_rows.at(row);
    QString &target = field == Field::Date ? r.date : field == Field::Time ? r.time : r.message;
    if (target == text)
        return;
    target = text;
    Q_EMIT rowChanged(row);
}

void AlarmEngine::setRepeat(int row, Repeat repeat, qint16 value)
{
    // A box that becomes checked arms the entry.
    if (takeRepeat(row, repeat, value))
        state.table()[row].fired = 0;
}

bool AlarmEngine::takeRepeat(int row, Repeat repeat, qint16 value)
{
    RepeatBoxes &r = m_rows.at(row).repeat;
    qint16 *const boxes[] = {&r.daily, &r.weekly, &r.monthly};
    qint16 *const box = r.box(repeat);
    if (!box)
        return false;
    qint16 &target = *box;
    value = RepeatBoxes::boxValue(value);
    if (target == value)
        return false;
    target = value;
    // One repeat kind per row.
    if (value == 1) {
        for (qint16 *other : boxes) {
            if (other != &target)
                *other = 0;
        }
    }
    Q_EMIT rowChanged(row);
    return value == 1;
}

void AlarmEngine::setSound(const SoundChoice &sound)
{
    if (m_sound == sound)
        return;
    m_sound = sound;
    Q_EMIT soundChanged();
}

void AlarmEngine::clearRow(int row)
{
    // An empty date counts as long past: only the fired flag keeps the
    // emptied entry from being raised.
    state.table()[row].fired = 1;
    m_rows.at(row) = WorkingRow{};
    Q_EMIT rowChanged(row);
}

void AlarmEngine::armRow(int row)
{
    state.table()[row].fired = 0;
}

void AlarmEngine::commitText(int row, Field field, const QString &text)
{
    setText(row, field, text);
    armRow(row);
    save();
}

void AlarmEngine::rememberShownTexts()
{
    for (int row = 0; row < SlotCount; ++row) {
        m_shownDates[row] = m_rows[row].date;
        m_shownTimes[row] = m_rows[row].time;
    }
}

bool AlarmEngine::acceptEdits()
{
    return accept(true);
}

bool AlarmEngine::acceptAtStartUp()
{
    return accept(false);
}

bool AlarmEngine::accept(bool toldAlways)
{
    // One reading of the clock for the whole operation.
    const QDate today = readToday();

    ensureLoaded();
    AlarmTable &table = state.table();
    for (int row = 0; row < SlotCount; ++row)
        table[row] = m_rows[row].entry(table[row].fired);
    state.file.sound = m_sound;

    // Rows in order, the time before the date; the first failure ends it.
    for (int row = 0; row < SlotCount; ++row) {
        if (!checkRow(row, today))
            return false;
    }

    rearmEditedRows(today);
    const AlarmStore::SaveResult saved = writeFile();
    if (!saved.ok) {
        // Nothing was written: the editor stays as it is, and says so.
        if (toldAlways || saved.firstFailure)
            m_boxes.show(AlarmStore::saveFailureText(saved.reason));
        return false;
    }
    rememberShownTexts();
    return true;
}

bool AlarmEngine::checkRow(int row, const QDate &today)
{
    const QString time = m_rows[row].time;
    if (!time.isEmpty()) {
        const std::optional<DateText::Value> value = DateText::parse(time, today);
        if (!value) {
            setText(row, Field::Time, QString());
            m_boxes.show(QCoreApplication::translate("AlarmEngine", BadTime));
            return false;
        }
        // A time of day typed by hand is stored as "hh:mm:ss", the form the
        // due test compares with; a text that also holds a date stays.
        if (value->date == DateText::timeOnlyDate()) {
            const QString formatted = DateText::formatTime(value->time);
            setText(row, Field::Time, formatted);
            state.table()[row].time = formatted;
        }
    }
    const QString date = m_rows[row].date;
    if (!date.isEmpty() && !DateText::parse(date, today)) {
        setText(row, Field::Date, QString());
        m_boxes.show(QCoreApplication::translate("AlarmEngine", BadDate));
        return false;
    }
    return true;
}

void AlarmEngine::rearmEditedRows(const QDate &today)
{
    // A date or time typed since the editor was shown arms the entry, as a
    // picker would have; a row left with neither (cleared) stays as it is,
    // or it would be raised at once. A text only rewritten into the form the
    // program writes ("9:30" as "09:30:00") is no edit: an entry that fired
    // must not ring again for it.
    AlarmTable &table = state.table();
    for (int row = 0; row < SlotCount; ++row) {
        const QString &date = m_rows[row].date;
        const QString &time = m_rows[row].time;
        const bool edited = !sameValue(date, m_shownDates[row], today) ||
                            !sameValue(time, m_shownTimes[row], today);
        if (edited && !(date.isEmpty() && time.isEmpty()))
            table[row].fired = 0;
    }
}

AlarmEngine::Added AlarmEngine::addEntry(const Entry &entry)
{
    ensureLoaded();
    Added added;
    for (int row = 0; row < SlotCount && !added.slot; ++row) {
        const WorkingRow &r = m_rows[row];
        if (EntryTexts::isEmpty(r.date, r.message, r.time))
            added.slot = row;
    }
    if (!added.slot)
        return added;
    const int row = *added.slot;
    const WorkingRow before = m_rows[row];
    const Entry tableBefore = state.table()[row];

    m_rows[row] = WorkingRow{entry.date, entry.message, entry.time, entry.repeat};
    state.table()[row] = m_rows[row].entry(0);
    added.saved = writeFile();
    if (!added.saved.ok) {
        m_rows[row] = before;
        state.table()[row] = tableBefore;
        return added;
    }
    // Accepted: the row is no edit for the editor's next OK.
    m_shownDates[row] = entry.date;
    m_shownTimes[row] = entry.time;
    Q_EMIT rowChanged(row);
    return added;
}

void AlarmEngine::cancelEdits()
{
    loadFile();
    fillRows(Rearm::No);
    rememberShownTexts();
}
