// SPDX-License-Identifier: MIT
// The editor as a view of the engine's working copy: the controls show the
// rows and the sound choice, and every change the user makes goes back.

#include "windows/alarmeditor.h"

#include "windows/alertwindow.h"
#include "windows/appcontext.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

void AlarmEditor::connectToEngine()
{
    AlarmEngine &engine = m_context.engine;
    connect(&engine, &AlarmEngine::rowChanged, this, &AlarmEditor::showRow);
    connect(&engine, &AlarmEngine::soundChanged, this, &AlarmEditor::showSound);
    for (int row = 0; row < SlotCount; ++row) {
        const auto text = [this, row](QLineEdit *box, AlarmEngine::Field field) {
            connect(box, &QLineEdit::textChanged, this, [this, row, field](const QString &value) {
                if (!m_showing)
                    m_context.engine.setText(row, field, value);
            });
        };
        text(m_dateBoxes[row], AlarmEngine::Field::Date);
        text(m_messageBoxes[row], AlarmEngine::Field::Message);
        text(m_timeBoxes[row], AlarmEngine::Field::Time);
    }
    for (QRadioButton *button : {m_messageButton, m_alert1Button, m_alert2Button, m_alert3Button}) {
        connect(button, &QRadioButton::toggled, this, [this] {
            if (!m_showing)
                m_context.engine.setSound(soundButtons());
        });
    }
}

void AlarmEditor::showWorkingCopy()
{
    m_context.engine.ensureLoaded();
    for (int row = 0; row < SlotCount; ++row)
        showRow(row);
    showSound();
}

void AlarmEditor::showRow(int row)
{
    const WorkingRow &r = m_context.engine.row(row);
    m_showing = true;
    // Only what differs is set: setting a box's text moves its cursor.
    const auto text = [](QLineEdit *box, const QString &value) {
        if (box->text() != value)
            box->setText(value);
    };
    text(m_dateBoxes[row], r.date);
    text(m_messageBoxes[row], r.message);
    text(m_timeBoxes[row], r.time);
    setBoxValue(m_dailyBoxes[row], r.repeat.daily);
    setBoxValue(m_weeklyBoxes[row], r.repeat.weekly);
    setBoxValue(m_monthlyBoxes[row], r.repeat.monthly);
    m_showing = false;
}

void AlarmEditor::showSound()
{
    const SoundChoice &sound = m_context.engine.sound();
    m_showing = true;
    // Cleared first, so the chosen one is the only one checked.
    for (QRadioButton *button : {m_messageButton, m_alert1Button, m_alert2Button, m_alert3Button})
        setOption(button, false);
    setOption(m_messageButton, sound.MessageSound);
    setOption(m_alert1Button, sound.Alert1);
    setOption(m_alert2Button, sound.Alert2);
    setOption(m_alert3Button, sound.Alert3);
    m_showing = false;
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
    return SoundChoice{m_messageButton->isChecked(), m_alert1Button->isChecked(),
                       m_alert2Button->isChecked(), m_alert3Button->isChecked()};
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
    value = RepeatBoxes::boxValue(value);
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

void AlarmEditor::acceptEdits()
{
    if (!m_context.engine.acceptEdits())
        return;
    m_context.alarmClock.start(m_context.mainAlert());
    hide();
}

void AlarmEditor::cancelEdits()
{
    m_context.engine.cancelEdits();
    m_context.alarmClock.start(m_context.mainAlert());
    hide();
}
