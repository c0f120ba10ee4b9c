// SPDX-License-Identifier: MIT
// The editor's row rules: one repeat kind per row, Clear, the sound tests,
// and the clicks on a date or time box that open a picker for the row.

#include "windows/alarmeditor.h"

#include "platform/windowfront.h"
#include "store/soundfiles.h"
#include "windows/appcontext.h"
#include "windows/datepicker.h"
#include "windows/timepicker.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

// A repeat box the user (or a test) changed; the engine applies the rule of
// one repeat kind per row, and the row shows its result.
void AlarmEditor::dailyBoxChanged(int row)
{
    if (!m_showing)
        m_context.engine.setRepeat(row, Repeat::Daily, boxValue(m_dailyBoxes[row]));
}

void AlarmEditor::weeklyBoxChanged(int row)
{
    if (!m_showing)
        m_context.engine.setRepeat(row, Repeat::Weekly, boxValue(m_weeklyBoxes[row]));
}

void AlarmEditor::monthlyBoxChanged(int row)
{
    if (!m_showing)
        m_context.engine.setRepeat(row, Repeat::Monthly, boxValue(m_monthlyBoxes[row]));
}

void AlarmEditor::clearRow(int row)
{
    m_context.engine.clearRow(row);
}

void AlarmEditor::playMessageSound()
{
    m_context.services.sound.play(soundFileOf(&SoundChoice::MessageSound));
}

void AlarmEditor::playAlert1Sound()
{
    m_context.services.sound.play(soundFileOf(&SoundChoice::Alert1));
}

void AlarmEditor::playAlert2Sound()
{
    m_context.services.sound.play(soundFileOf(&SoundChoice::Alert2));
}

void AlarmEditor::playAlert3Sound()
{
    m_context.services.sound.play(soundFileOf(&SoundChoice::Alert3));
}

template <typename Picker> void AlarmEditor::openPickerFor(int row)
{
    // A picker is already open over the editor: bring it forward rather
    // than show a second one.
    if (m_picker) {
        WindowFront::bringToFront(*m_picker);
        return;
    }
    m_context.engine.armRow(row);
    // Made afresh for every opening; it goes when it closes.
    Picker picker(m_context, row);
    m_picker = &picker;
    picker.startFromRow();
    m_context.services.modal.exec(picker);
    m_picker = nullptr;
}

void AlarmEditor::dateBoxClicked(int row)
{
    openPickerFor<DatePicker>(row);
}

void AlarmEditor::timeBoxClicked(int row)
{
    openPickerFor<TimePicker>(row);
}

bool AlarmEditor::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a focused speaker or clear cross presses it, not OK.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (auto *button = qobject_cast<QPushButton *>(watched);
            button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    // A click: the left button released over the box it was pressed in.
    if (event->type() != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() == Qt::LeftButton &&
        static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint())) {
        for (int row = 0; row < SlotCount; ++row) {
            if (watched == m_dateBoxes[row]) {
                dateBoxClicked(row);
                break;
            }
            if (watched == m_timeBoxes[row]) {
                timeBoxClicked(row);
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
