// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class AppContext;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// The time picker: fills the time of the editor row in EditorRow, and only
// on Accept, which also rearms the entry and saves. Cancel writes nothing.
// Loaded afresh for every opening.
class frmTime : public QDialog
{
    Q_OBJECT

public:
    explicit frmTime(AppContext &context, QWidget *parent = nullptr);

    // Empties a row time that is not a time, and starts the picker at the
    // row's time, or at the current time of day.
    void Form_Load();

    // Writes the picked time into the row as "hh:mm:ss".
    void UpdateTime();

    void cmdOK_Click();
    void cmdNow_Click();
    void cmdCancel_Click();

    QPushButton *cmdOK = nullptr;
    QPushButton *cmdNow = nullptr;
    QTimeEdit *DTPicker1 = nullptr;
    QPushButton *cmdCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *rowTime() const;

    AppContext &m_context;
};
