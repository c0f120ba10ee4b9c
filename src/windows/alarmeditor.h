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

// The alarm editor: a view of the engine's working copy of all 32 entries
// and of the sound choice. What the user types goes to the working copy at
// once, so a save made while the editor is open writes what the rows show.
class AlarmEditor : public QDialog
{
    Q_OBJECT

public:
    explicit AlarmEditor(AppContext &context, QWidget *parent = nullptr);
    ~AlarmEditor() override;

    // Fills the rows and the sound options from the working copy, which is
    // read from the file on first use.
    void showWorkingCopy();

    // Accept: copy the rows into the table, check every time and date, and
    // on success save, switch the main clock on and hide.
    void acceptEdits();

    // The editor's close box: the rows go back to the last save, the main
    // clock runs again, the editor hides.
    void cancelEdits();

    // The date or time picker open over the editor, if any.
    QDialog *openPicker() const { return m_picker; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The sound options as the buttons hold them now.
    SoundChoice soundButtons() const;

    // Check box values as the file stores them: 0, 1, or 2 for grey.
    static qint16 boxValue(const QCheckBox *box);
    static void setBoxValue(QCheckBox *box, qint16 value);

    // The row rules. Each runs for the row of the control that raised it.
    void dailyBoxChanged(int row);
    void weeklyBoxChanged(int row);
    void monthlyBoxChanged(int row);
    void clearRow(int row);
    void dateBoxClicked(int row);
    void timeBoxClicked(int row);

    // The sound tests: each plays the file of the option beside it.
    void playMessageSound();
    void playAlert1Sound();
    void playAlert2Sound();
    void playAlert3Sound();

    // Paging: the row panel follows the scroll bar.
    void scrollRows();

    void buildSoundPanel();
    void buildRows();
    void drawPictures();
    void connectToEngine();
    void keepInView(QWidget *control);
    // The first row whose date box the scroll position shows whole.
    int firstRowInView() const;
    void showRow(int row);
    void showSound();
    void setOption(QRadioButton *button, bool value);
    template <typename Picker> void openPickerFor(int row);

    std::array<QLineEdit *, SlotCount> m_dateBoxes{};
    std::array<QLineEdit *, SlotCount> m_messageBoxes{};
    std::array<QLineEdit *, SlotCount> m_timeBoxes{};
    std::array<QCheckBox *, SlotCount> m_dailyBoxes{};
    std::array<QCheckBox *, SlotCount> m_weeklyBoxes{};
    std::array<QCheckBox *, SlotCount> m_monthlyBoxes{};
    std::array<QPushButton *, SlotCount> m_clearButtons{};

    QRadioButton *m_messageButton = nullptr;
    QRadioButton *m_alert1Button = nullptr;
    QRadioButton *m_alert2Button = nullptr;
    QRadioButton *m_alert3Button = nullptr;
    QPushButton *m_playMessageButton = nullptr;
    QPushButton *m_playAlert1Button = nullptr;
    QPushButton *m_playAlert2Button = nullptr;
    QPushButton *m_playAlert3Button = nullptr;
    QPushButton *m_acceptButton = nullptr;
    QScrollBar *m_scrollBar = nullptr;
    QFrame *m_rowPanel = nullptr;
    QGroupBox *m_soundPanel = nullptr;
    QGroupBox *m_dailyColumn = nullptr;
    QGroupBox *m_weeklyColumn = nullptr;
    QGroupBox *m_monthlyColumn = nullptr;
    QLabel *m_picture = nullptr;

    AppContext &m_context;
    bool m_showing = false; // the controls are being set from the engine
    QPointer<QDialog> m_picker;
};
