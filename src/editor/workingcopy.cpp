// SPDX-License-Identifier: MIT
// The editor's working copy: filling the rows from the table, the check box
// and option values, the save from the rows, and going back to the file.

#include "editor/frmnotify.h"

#include "scheduler/appcontext.h"
#include "scheduler/frmpass.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

void frmNotify::Form_Load()
{
    m_context.store.LoadAlarms();
    // EditorRow is the loop counter, and is left at 32.
    Module1 &state = m_context.state;
    for (state.EditorRow = 0; state.EditorRow < SlotCount; ++state.EditorRow)
        fillRow(state.EditorRow);
    fillOptions();
    m_filled = true;
    rememberRowTexts();
}

void frmNotify::fillRow(int row)
{
    const AlarmTable &table = m_context.state.table();
    txtDateNotify[row]->setText(table.AlarmDate[row]);
    txtMessage[row]->setText(table.AlarmMessage[row]);
    txtTimeNote[row]->setText(table.AlarmTime[row]);
    setBoxValue(ckDaily[row], table.AlarmDaily[row]);
    setBoxValue(ckWeekly[row], table.AlarmWeekly[row]);
    setBoxValue(ckMonthly[row], table.AlarmMonthly[row]);
}

void frmNotify::fillRows(Rearm rearm)
{
    m_rearm = rearm;
    for (int row = 0; row < SlotCount; ++row)
        fillRow(row);
    m_rearm = Rearm::Yes;
    fillOptions();
    m_filled = true;
}

void frmNotify::fillOptions()
{
    const SoundChoice &sound = m_context.state.file.sound;
    setOption(optMessage, sound.Message);
    setOption(optAlert, sound.Alert1);
    setOption(optDive, sound.Alert2);
    setOption(OptAlarm, sound.Alert3);
}

void frmNotify::setOption(QRadioButton *button, bool value)
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

SoundChoice frmNotify::soundButtons() const
{
    return SoundChoice{optMessage->isChecked(), optAlert->isChecked(), optDive->isChecked(),
                       OptAlarm->isChecked()};
}

qint16 frmNotify::boxValue(const QCheckBox *box)
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

void frmNotify::setBoxValue(QCheckBox *box, qint16 value)
{
    // Anything but 1 or 2 (a file edited by hand) shows as unchecked.
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

AlarmStore::SaveResult frmNotify::writeFile()
{
    // Reached inside the load sequence (a tick in the box of a broken file):
    // the rows get what the file gave first, so no entry is written empty.
    if (!m_filled)
        fillRows(Rearm::Yes);
    const Module1 &state = m_context.state;
    FileContents contents;
    contents.FileBanner1 = state.file.FileBanner1;
    contents.FileBanner2 = state.file.FileBanner2;
    contents.sound = soundButtons();
    AlarmTable &table = contents.table;
    for (int slot = 0; slot < SlotCount; ++slot) {
        table.AlarmDate[slot] = txtDateNotify[slot]->text();
        table.AlarmMessage[slot] = txtMessage[slot]->text();
        table.AlarmTime[slot] = txtTimeNote[slot]->text();
        table.AlarmDaily[slot] = boxValue(ckDaily[slot]);
        table.AlarmWeekly[slot] = boxValue(ckWeekly[slot]);
        table.AlarmMonthly[slot] = boxValue(ckMonthly[slot]);
    }
    table.AlarmFired = state.table().AlarmFired;
    return m_context.store.save(contents);
}

AlarmStore::SaveResult frmNotify::SaveMsg()
{
    const AlarmStore::SaveResult result = writeFile();
    if (!result.ok && result.firstFailure)
        m_context.services.problems.report(AlarmStore::saveFailureText(result.reason));
    return result;
}

void frmNotify::rememberRowTexts()
{
    for (int row = 0; row < SlotCount; ++row) {
        m_shownDates[row] = txtDateNotify[row]->text();
        m_shownTimes[row] = txtTimeNote[row]->text();
    }
}

void frmNotify::cancelEdits()
{
    m_context.store.LoadAlarms();
    fillRows(Rearm::No);
    rememberRowTexts();
    m_context.mainAlert().Timer1->start();
    hide();
}
