#pragma once

#include "store/alarmstore.h"
#include "store/alarmtable.h"

#include <QDialog>

#include <array>

class AppContext;
class QCheckBox;
class QFrame;
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
    QLabel *Image1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    AppContext &m_context;
};
