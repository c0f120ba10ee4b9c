// SPDX-License-Identifier: MIT
// The editor's working copy: filling the rows from the table, the check box
// and option values, the save from the rows, and going back to the file.

#include "editor/alarmeditor.h"

#include "scheduler/alertwindow.h"
#include "scheduler/appcontext.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

void AlarmEditor::load()
{
    m_context.store.load();
    // editorRow is the loop counter, and is left at 32.
    ProgramState &state = m_context.state;
    for (state.editorRow = 0; state.editorRow < SlotCount; ++state.editorRow)
        fillRow(state.editorRow);
    fillOptions();
    m_filled = true;
    rememberRowTexts();
}

void AlarmEditor::fillRow(int row)
{
    const AlarmTable &table = m_context.state.table();
    dateBoxes[row]->setText(table.AlarmDate[row]);
    messageBoxes[row]->setText(table.AlarmMessage[row]);
    timeBoxes[row]->setText(table.AlarmTime[row]);
    setBoxValue(dailyBoxes[row], table.AlarmDaily[row]);
    setBoxValue(weeklyBoxes[row], table.AlarmWeekly[row]);
    setBoxValue(monthlyBoxes[row], table.AlarmMonthly[row]);
}

void AlarmEditor::fillRows(Rearm rearm)
{
    m_rearm = rearm;
    for (int row = 0; row < SlotCount; ++row)
        fillRow(row);
    m_rearm = Rearm::Yes;
    fillOptions();
    m_filled = true;
}

void AlarmEditor::fillOptions()
{
    const SoundChoice &sound = m_context.state.file.sound;
    setOption(messageButton, sound.Message);
    setOption(alert1Button, sound.Alert1);
    setOption(alert2Button, sound.Alert2);
    setOption(alert3Button, sound.Alert3);
}

void AlarmEditor::setOption(QRadioButton *button, bool value)
{
    if (value) {
        button->setChecked(true); // clears the other three
        return;
    }
    // The group would refuse to uncheck its checked button; set false only
    // clears this one, and may leave none selected.
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

SoundChoice AlarmEditor::soundButtons() const
{
    return SoundChoice{messageButton->isChecked(), alert1Button->isChecked(),
                       alert2Button->isChecked(), alert3Button->isChecked()};
}

qint16 AlarmEditor::boxValue(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void AlarmEditor::setBoxValue(QCheckBox *box, qint16 value)
{
    // Anything but 1 or 2 (a file edited by hand) shows as unchecked.
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

AlarmStore::SaveResult AlarmEditor::writeFile()
{
    // Reached inside the load sequence (a tick in the box of a broken file):
    // the rows get what the file gave first, so no entry is written empty.
    if (!m_filled)
        fillRows(Rearm::Yes);
    const ProgramState &state = m_context.state;
    FileContents contents;
    contents.banner1 = state.file.banner1;
    contents.banner2 = state.file.banner2;
    contents.sound = soundButtons();
    AlarmTable &table = contents.table;
    for (int slot = 0; slot < SlotCount; ++slot) {
        table.AlarmDate[slot] = dateBoxes[slot]->text();
        table.AlarmMessage[slot] = messageBoxes[slot]->text();
        table.AlarmTime[slot] = timeBoxes[slot]->text();
        table.AlarmDaily[slot] = boxValue(dailyBoxes[slot]);
        table.AlarmWeekly[slot] = boxValue(weeklyBoxes[slot]);
        table.AlarmMonthly[slot] = boxValue(monthlyBoxes[slot]);
    }
    table.AlarmFired = state.table().AlarmFired;
    return m_context.store.save(contents);
}

AlarmStore::SaveResult AlarmEditor::save()
{
    const AlarmStore::SaveResult result = writeFile();
    if (!result.ok && result.firstFailure)
        m_context.services.problems.report(AlarmStore::saveFailureText(result.reason));
    return result;
}

void AlarmEditor::rememberRowTexts()
{
    for (int row = 0; row < SlotCount; ++row) {
        m_shownDates[row] = dateBoxes[row]->text();
        m_shownTimes[row] = timeBoxes[row]->text();
    }
}

void AlarmEditor::cancelEdits()
{
    m_context.store.load();
    fillRows(Rearm::No);
    rememberRowTexts();
    m_context.mainAlert().clockTimer->start();
    hide();
}
