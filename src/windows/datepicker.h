// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class AppContext;
class QDateEdit;
class QLineEdit;
class QPushButton;

// The date picker: fills the date of one editor row. Every
// date the user picks goes into the row at once; OK writes it again,
// rearms the entry and saves. Made afresh for every opening.
class DatePicker : public QDialog
{
    Q_OBJECT

public:
    DatePicker(AppContext &context, int row, QWidget *parent = nullptr);

    // Reads today's date, places the window beside the editor and starts
    // the picker at the row's date, or at today.
    void startFromRow();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    // Writes the picked date into the row as "mm/dd/yy".
    void dateChanged();
    void dateClicked();
    // OK: write the date, rearm the entry, save, close.
    void acceptDate();
    void place();
    void writeBack();

    QDateEdit *m_dateEdit = nullptr;
    QPushButton *m_okButton = nullptr;

    AppContext &m_context;
    int m_row; // the editor row whose date this picks
    bool m_loaded = false;
    QPoint m_editorCorner;
    int m_placedByWidth = 0; // the outer width the window was last placed by
};
