// SPDX-License-Identifier: MIT
// The editor's OK: copy the rows into the table, check every time and date,
// and on success save, switch the main clock on and hide.

#include "editor/alarmeditor.h"

#include "scheduler/alertwindow.h"
#include "scheduler/appcontext.h"
#include "store/datetext.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>

namespace {

const QString BadTime = QStringLiteral("The TIME you entered was not valid.");
const QString BadDate = QStringLiteral("The DATE you entered was not valid.");

// Whether a box's text holds the same date or time as it did before.
bool sameValue(const QString &text, const QString &before, const QDate &today)
{
    if (text == before)
        return true;
    const std::optional<DateText::Value> value = DateText::parse(text, today);
    return value && value == DateText::parse(before, today);
}

} // namespace

void AlarmEditor::acceptEdits()
{
    ProgramState &state = m_context.state;
    // One reading of the clock for the whole operation.
    const QDate today = m_context.services.clock.localNow().date();
    state.nowDate = DateText::formatDate(today);

    AlarmTable &table = state.table();
    for (state.editorRow = 0; state.editorRow < SlotCount; ++state.editorRow) {
        const int row = state.editorRow;
        table.AlarmDate[row] = dateBoxes[row]->text();
        table.AlarmMessage[row] = messageBoxes[row]->text();
        table.AlarmTime[row] = timeBoxes[row]->text();
        table.AlarmDaily[row] = boxValue(dailyBoxes[row]);
        table.AlarmWeekly[row] = boxValue(weeklyBoxes[row]);
        table.AlarmMonthly[row] = boxValue(monthlyBoxes[row]);
    }
    state.file.sound = soundButtons();

    // Rows in order, the time before the date; the first failure ends it and
    // leaves editorRow at its row.
    for (state.editorRow = 0; state.editorRow < SlotCount; ++state.editorRow) {
        if (!checkRow(state.editorRow, today))
            return;
    }

    rearmEditedRows(today);
    const AlarmStore::SaveResult saved = writeFile();
    if (!saved.ok) {
        // Nothing was written: the editor stays as it is, and says so.
        m_context.services.boxes.show(AlarmStore::saveFailureText(saved.reason));
        return;
    }
    rememberRowTexts();
    m_context.mainAlert().clockTimer->start();
    hide();
}

bool AlarmEditor::checkRow(int row, const QDate &today)
{
    AlarmTable &table = m_context.state.table();
    QLineEdit *time = timeBoxes[row];
    if (!time->text().isEmpty()) {
        const std::optional<DateText::Value> value = DateText::parse(time->text(), today);
        if (!value) {
            time->clear();
            m_context.services.boxes.show(BadTime);
            return false;
        }
        // A time of day typed by hand is stored as "hh:mm:ss", the form the
        // due test compares with; a text that also holds a date stays.
        if (value->date == DateText::timeOnlyDate()) {
            const QString formatted = DateText::formatTime(value->time);
            time->setText(formatted);
            table.AlarmTime[row] = formatted;
        }
    }
    QLineEdit *date = dateBoxes[row];
    if (!date->text().isEmpty() && !DateText::parse(date->text(), today)) {
        date->clear();
        m_context.services.boxes.show(BadDate);
        return false;
    }
    return true;
}

void AlarmEditor::rearmEditedRows(const QDate &today)
{
    // A date or time typed since the editor was shown arms the entry, as a
    // picker would have; a row left with neither (cleared) stays as it is,
    // or it would be raised at once. A text only rewritten into the form the
    // program writes ("9:30" as "09:30:00") is no edit: an entry that fired
    // must not ring again for it.
    AlarmTable &table = m_context.state.table();
    for (int row = 0; row < SlotCount; ++row) {
        const QString date = dateBoxes[row]->text();
        const QString time = timeBoxes[row]->text();
        const bool edited = !sameValue(date, m_shownDates[row], today) ||
                            !sameValue(time, m_shownTimes[row], today);
        if (edited && !(date.isEmpty() && time.isEmpty()))
            table.AlarmFired[row] = 0;
    }
}
