// SPDX-License-Identifier: MIT
// The editor's row rules: one repeat kind per row, Clear, the sound tests,
// and the clicks on a date or time box that open a picker for the row.

#include "editor/frmnotify.h"

#include "pickers/frmcal.h"
#include "pickers/frmtime.h"
#include "scheduler/appcontext.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>

void frmNotify::repeatRule(int row, QCheckBox *changed, QCheckBox *other1, QCheckBox *other2)
{
    if (boxValue(changed) != 1)
        return;
    setBoxValue(other1, 0);
    setBoxValue(other2, 0);
    if (m_rearm == Rearm::Yes)
        m_context.state.table().AlarmFired[row] = 0;
}

void frmNotify::ckDaily_Click(int Index)
{
    repeatRule(Index, ckDaily[Index], ckWeekly[Index], ckMonthly[Index]);
}

void frmNotify::ckWeekly_Click(int Index)
{
    repeatRule(Index, ckWeekly[Index], ckDaily[Index], ckMonthly[Index]);
}

void frmNotify::ckMonthly_Click(int Index)
{
    repeatRule(Index, ckMonthly[Index], ckDaily[Index], ckWeekly[Index]);
}

void frmNotify::cmdClear_Click(int Index)
{
    setBoxValue(ckDaily[Index], 0);
    setBoxValue(ckWeekly[Index], 0);
    setBoxValue(ckMonthly[Index], 0);
    // An empty date counts as long past: only the fired flag keeps the
    // emptied entry from being raised.
    m_context.state.table().AlarmFired[Index] = 1;
    txtDateNotify[Index]->clear();
    txtMessage[Index]->clear();
    txtTimeNote[Index]->clear();
}

void frmNotify::cmdTest1_Click()
{
    m_context.services.sound.play(QStringLiteral("checkmsgs.wav"));
}

void frmNotify::cmdTest2_Click()
{
    m_context.services.sound.play(QStringLiteral("Alert.wav"));
}

void frmNotify::cmdTest3_Click()
{
    m_context.services.sound.play(QStringLiteral("Keytry.wav"));
}

void frmNotify::cmdTest4_Click()
{
    m_context.services.sound.play(QStringLiteral("Keyhaw.wav"));
}

template <typename Picker> void frmNotify::openPickerFor(int row)
{
    // A picker is already open over the editor: bring it forward rather
    // than show a second one.
    if (m_picker) {
        m_picker->raise();
        m_picker->activateWindow();
        return;
    }
    m_context.state.EditorRow = static_cast<qint16>(row);
    m_context.state.table().AlarmFired[row] = 0;
    // Loaded afresh for every opening; it unloads when it closes.
    Picker picker(m_context);
    m_picker = &picker;
    picker.Form_Load();
    m_context.services.modal.exec(picker);
    m_picker = nullptr;
}

void frmNotify::txtDateNotify_Click(int Index)
{
    openPickerFor<frmCal>(Index);
}

void frmNotify::txtTimeNote_Click(int Index)
{
    openPickerFor<frmTime>(Index);
}

bool frmNotify::eventFilter(QObject *watched, QEvent *event)
{
    // A click: the left button released over the box it was pressed in.
    if (event->type() != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() == Qt::LeftButton &&
        static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint())) {
        for (int row = 0; row < SlotCount; ++row) {
            if (watched == txtDateNotify[row]) {
                txtDateNotify_Click(row);
                break;
            }
            if (watched == txtTimeNote[row]) {
                txtTimeNote_Click(row);
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
