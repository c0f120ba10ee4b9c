// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class AppContext;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// The time picker: fills the time of one editor row, and only
// on Accept, which also rearms the entry and saves. Cancel writes nothing.
// Made afresh for every opening.
class TimePicker : public QDialog
{
    Q_OBJECT

public:
    TimePicker(AppContext &context, int row, QWidget *parent = nullptr);

    // Empties a row time that is not a time, and starts the picker at the
    // row's time, or at the current time of day.
    void startFromRow();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void acceptTime();
    void setNow();
    void cancel();

    QPushButton *m_okButton = nullptr;
    QPushButton *m_nowButton = nullptr;
    QTimeEdit *m_timeEdit = nullptr;
    QPushButton *m_cancelButton = nullptr;
    AppContext &m_context;
    int m_row; // the editor row whose time this picks
};
