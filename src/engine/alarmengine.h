// SPDX-License-Identifier: MIT
#pragma once

#include "scheduler/duetest.h"
#include "store/alarmstore.h"
#include "store/openalerts.h"
#include "store/programstate.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class Clock;
class MessageBoxes;
class ProblemReporter;
class SoundPlayer;
struct TickRun;

// One row of the editor's working copy: what the user sees and edits.
struct WorkingRow
{
    QString date;
    QString message;
    QString time;
    RepeatBoxes repeat;

    // The entry this row makes with the given fired flag.
    Entry entry(qint16 fired) const { return {date, message, time, repeat, fired}; }
};

// What the engine needs of the windows that show alerts.
class AlertWindows
{
public:
    virtual ~AlertWindows() = default;
    // Alerts wait while the user is in the editor or the About window.
    virtual bool holdAlerts() const = 0;
    // A further alert window, by the number openAlert gave it.
    using Window = int;
    static constexpr Window NoWindow = 0;

    // Opens a further alert window, loaded and shown. Its load reads the
    // file, where a problem box may run other ticks; NoWindow is returned
    // when the window went away meanwhile.
    virtual Window openAlert() = 0;
    // The window shows the entry's message; its acknowledgement names `id`.
    // A window gone meanwhile shows nothing.
    virtual void showMessage(Window window, const QString &message, OpenAlerts::Id id) = 0;
};

// The program without its windows: the shared state, the store, the clock
// and the working copy of the 32 entries and the sound choice, with every
// operation on them. The windows show it and forward the user's actions.
//
// Nested loops: a message box opened by any operation runs the clocks'
// ticks inside it. Each tick keeps its own slot index, and a slot whose
// alert is being raised is not raised again by a tick nested in that
// raising.
class AlarmEngine : public QObject
{
    Q_OBJECT

public:
    enum class Field { Date, Message, Time };

    AlarmEngine(Clock &clock, MessageBoxes &boxes, ProblemReporter &problems, SoundPlayer &sound);

    void setAlertWindows(AlertWindows *windows) { m_windows = windows; }

    // Reloads the file. A broken one is told of in a message box, one box at
    // a time, and not again for the same file once dismissed.
    void loadFile();

    // Reads the clock once; nowDate and nowTime come from that one reading.
    QDateTime readClock();
    // Reads the clock's date once (a picker's range, an accept); nowDate
    // comes from that reading.
    QDate readToday();

    // Start-up: the next save writes the program's own banners.
    void useDefaultBanners();

    // Reads the file and says whether it is damaged, telling no one.
    bool fileDamaged();

    // One tick of the clock: reload the file, read the clock, show it on
    // the tick's face, raise every due slot in slot order, then the alerts
    // left open by the last run that waited. The clock cancels the tick
    // when its face goes (in a nested loop); a tick without a run shows on
    // nothing and is never cancelled.
    void tick(TickRun *run = nullptr);

    // What the last load left, with the fired flags as the ticks and the
    // acknowledgements set them since; and the "mm/dd/yy" and "hh:mm:ss"
    // texts of the last clock reading (empty until then).
    const FileContents &fileContents() const { return state.file; }
    const AlarmTable &table() const { return state.table(); }
    const QString &nowDate() const { return state.nowDate; }
    const QString &nowTime() const { return state.nowTime; }
    // `changing` says whether the data file is being written at the moment:
    // a damaged one is then left for the wake-up that follows.
    void watchFileChanges(std::function<bool()> changing);

    // Raises the alarm of a due slot: a new alert window, a beep and the
    // chosen sound, the slot marked fired and saved. Held back while the
    // user is in the editor or About.
    void fire(int slot);

    // The acknowledgement: every fired repeating entry that is due moves on,
    // then everything is saved. The alert acknowledged (none for the main
    // alert window) then leaves the record of open alerts.
    void acknowledge(OpenAlerts::Id alert = OpenAlerts::NoId);

    // Start-up is complete: the alerts left open by the last run open again,
    // with their sound, in slot order, each whose entry still holds the same
    // date, time and message and is still fired (while alerts wait, at a
    // later tick). One whose entry changed is dropped.
    void raiseLeftAlerts();
    // Some are still to be raised: the clock must not sleep.
    bool leftAlertsWaiting() const;

    // Snoozes an open alert for `minutes`: it stays in the record of open
    // alerts, nothing in the file changes and nothing moves on, and at that
    // instant (by the wall clock) it opens again with its sound, unless its
    // entry was edited or cleared meanwhile.
    void snooze(OpenAlerts::Id alert, int minutes);
    // When the first snooze ends (UTC); not valid when none.
    QDateTime firstSnoozeEnd() const;
    // A snooze has ended and its alert is still to be raised (it waits
    // while alerts are held): the clock must not sleep.
    bool snoozeEnded() const;

    // Gets the chosen sound ready to play, for an alarm about to be due.
    void prepareSound();

    // The working copy. It is loaded from the file on first use.
    const WorkingRow &row(int row) const { return m_rows.at(row); }
    const SoundChoice &sound() const { return m_sound; }
    void ensureLoaded();

    // The user's edits. A repeat box that becomes checked clears the row's
    // other two and arms the entry.
    void setText(int row, Field field, const QString &text);
    void setRepeat(int row, Repeat repeat, qint16 value); // Repeat::None: no box, no change
    void setSound(const SoundChoice &sound);
    // Empties the row; its fired flag keeps it from being raised.
    void clearRow(int row);
    // A click on the row's date or time box arms the entry.
    void armRow(int row);
    // A picker's OK: the row takes the text, is armed, and all is saved.
    void commitText(int row, Field field, const QString &text);

    // The texts the rows held when the editor was last shown.
    void rememberShownTexts();

    // The editor's OK: copy the rows into the table, check every time and
    // date (a bad one is named and emptied), rearm edited rows and save.
    // False when something was wrong and nothing was saved.
    bool acceptEdits();
    // The same accept, unattended, once at start-up: a failed save is told
    // only if it is the first failure (the user may have been told already,
    // by a box of the alarm that rang first).
    bool acceptAtStartUp();

    // The editor's close box: the rows go back to the file.
    void cancelEdits();

    // An entry from outside the editor (the command line, through the
    // running copy): it goes into the first row that holds nothing, as it
    // stands and armed, and is saved at once, as an accept of that row
    // alone. `slot` is the row it went to, none when every row holds
    // something (nothing is saved then); when the save fails, the row is as
    // it was.
    struct Added
    {
        std::optional<int> slot;
        AlarmStore::SaveResult saved;
    };
    Added addEntry(const Entry &entry);

    // Writes the whole file: entries and sound from the working copy,
    // banners and fired flags from the table. The first failure of a run
    // is reported to the user.
    AlarmStore::SaveResult save();

Q_SIGNALS:
    void rowChanged(int row);
    void soundChanged();
    // An alert was snoozed, or a snooze ended: the next instant to wake at
    // may have changed.
    void snoozesChanged();

private:
    // The tests' way in (tests/support/engineinternals.h).
    friend struct EngineInternals;

    ProgramState state;
    AlarmStore store;

    enum class Rearm { Yes, No };
    // Sets one repeat box; true when it became checked.
    bool takeRepeat(int row, Repeat repeat, qint16 value);
    // Opens the slot's alert window and plays the chosen sound; `record`
    // then names the alert in the record before the message shows.
    void raise(int slot, const std::function<OpenAlerts::Id()> &record);
    void raiseWaitingLeftAlerts();
    void raiseEndedSnoozes(const QDateTime &now);
    // Whether the slot's alert is snoozed; its entry is then fired.
    bool snoozed(int slot);
    // Whether the entry still holds what the alert was raised with.
    bool stillTheSame(const OpenAlerts::Alert &alert) const;
    void reportRecordFailure();
    void fillRows(Rearm rearm);
    void fillSound();
    bool checkRow(int row, const QDate &today);
    void rearmEditedRows(const QDate &today);
    AlarmStore::SaveResult writeFile();
    bool accept(bool toldAlways);
    // The wave files of the chosen sounds, in the order they are played.
    QStringList chosenSounds() const;

    Clock &m_clock;
    MessageBoxes &m_boxes;
    ProblemReporter &m_problems;
    SoundPlayer &m_player;
    AlertWindows *m_windows = nullptr;

    DueTest::SlotTester m_dueTest;
    QSet<int> m_raising; // slots whose alert is being raised
    bool m_problemOpen = false;
    OpenAlerts m_openAlerts;
    bool m_raiseLeftAlerts = false; // start-up is complete

    std::array<WorkingRow, SlotCount> m_rows;
    SoundChoice m_sound;
    bool m_filled = false;  // the rows hold what a load gave them
    bool m_loading = false; // the first load is reading the file
    std::array<QString, SlotCount> m_shownDates;
    std::array<QString, SlotCount> m_shownTimes;
};
