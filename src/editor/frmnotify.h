// SPDX-License-Identifier: MIT
#pragma once

#include "store/alarmstore.h"
#include "store/alarmtable.h"

#include <QDialog>
#include <QPointer>

#include <array>

class AppContext;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

// The alarm editor. Its controls are the program's working copy of all 32
// entries and of the sound choice: every save writes the file from them.
class frmNotify : public QDialog
{
    Q_OBJECT

public:
    explicit frmNotify(AppContext &context, QWidget *parent = nullptr);
    ~frmNotify() override;

    // The load sequence: read the file, fill the rows, set the sound options.
    void Form_Load();

    // Writes the whole data file: entries and sound from the controls, the
    // banners and fired flags from memory. The first failure of a run of
    // failed saves is reported to the user; the result says how it went.
    AlarmStore::SaveResult SaveMsg();

    // Accept: copy the rows into the table, check every time and date, and
    // on success save, switch the main clock on and hide.
    void cmdOKnotify_Click();

    // The editor's close box: the rows go back to the last save, the main
    // clock runs again, the editor hides.
    void cancelEdits();

    // The sound options as the buttons hold them now.
    SoundChoice soundButtons() const;

    // Check box values as the file stores them: 0, 1, or 2 for grey.
    static qint16 boxValue(const QCheckBox *box);
    static void setBoxValue(QCheckBox *box, qint16 value);

    // The row rules. Each runs for the row of the control that raised it.
    void ckDaily_Click(int Index);
    void ckWeekly_Click(int Index);
    void ckMonthly_Click(int Index);
    void cmdClear_Click(int Index);
    void txtDateNotify_Click(int Index);
    void txtTimeNote_Click(int Index);

    // The sound tests: each plays the file of the option beside it.
    void cmdTest1_Click();
    void cmdTest2_Click();
    void cmdTest3_Click();
    void cmdTest4_Click();

    // Paging: the row panel follows the scroll bar.
    void VScroll1_Change();

    // The date or time picker open over the editor, if any.
    QDialog *openPicker() const { return m_picker; }

    std::array<QLineEdit *, SlotCount> txtDateNotify{};
    std::array<QLineEdit *, SlotCount> txtMessage{};
    std::array<QLineEdit *, SlotCount> txtTimeNote{};
    std::array<QCheckBox *, SlotCount> ckDaily{};
    std::array<QCheckBox *, SlotCount> ckWeekly{};
    std::array<QCheckBox *, SlotCount> ckMonthly{};
    std::array<QPushButton *, SlotCount> cmdClear{};

    QRadioButton *optMessage = nullptr;
    QRadioButton *optAlert = nullptr;
    QRadioButton *optDive = nullptr;
    QRadioButton *OptAlarm = nullptr;
    QPushButton *cmdTest1 = nullptr;
    QPushButton *cmdTest2 = nullptr;
    QPushButton *cmdTest3 = nullptr;
    QPushButton *cmdTest4 = nullptr;
    QPushButton *cmdOKnotify = nullptr;
    QScrollBar *VScroll1 = nullptr;
    QFrame *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QGroupBox *Frame5 = nullptr;
    QLabel *Image1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Whether checking a repeat box rearms its entry: not while the close
    // box puts the rows back as the file has them.
    enum class Rearm { Yes, No };

    void buildSoundPanel();
    void buildRows();
    void fillRow(int row);
    void fillRows(Rearm rearm);
    void fillOptions();
    void setOption(QRadioButton *button, bool value);
    void repeatRule(int row, QCheckBox *changed, QCheckBox *other1, QCheckBox *other2);
    void rememberRowTexts();
    bool checkRow(int row, const QDate &today);
    void rearmEditedRows(const QDate &today);
    AlarmStore::SaveResult writeFile();
    template <typename Picker> void openPickerFor(int row);

    AppContext &m_context;
    bool m_filled = false;
    Rearm m_rearm = Rearm::Yes;
    QPointer<QDialog> m_picker;
    // Each row's date and time as the editor was last shown, loaded or
    // saved by accept: an edit since then rearms the entry at accept.
    std::array<QString, SlotCount> m_shownDates;
    std::array<QString, SlotCount> m_shownTimes;
};
