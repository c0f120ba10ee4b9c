// SPDX-License-Identifier: MIT
#pragma once

#include "engine/clockface.h"
#include "platform/alertnotifications.h"
#include "store/openalerts.h"

#include <QDialog>
#include <QPointer>

class AlarmClock;
class AppContext;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;

// The alert window. The main one shows the clock and is opened from the
// tray; a further one is opened for each alarm, with the entry's message.
// Each is a face of the alarm clock, which tells it the time.
class AlertWindow : public QDialog, public ClockFace
{
    Q_OBJECT

public:
    enum Kind { Main, Further };

    AlertWindow(AppContext &context, Kind kind, QWidget *parent = nullptr);
    Kind kind() const { return m_kind; }
    ~AlertWindow() override;

    // Readies the window to be shown: kept on top, the time shown, no
    // message, the main window's title, and a fresh read of the data file.
    // Its clock starts here.
    void startShowing();

    // The time the clock read, in the date and time labels.
    void showTime(const QDateTime &localNow) override;
    bool shown() const override { return isVisible(); }

    // The acknowledgement (OK, or Enter): clear the message, move every
    // fired repeating entry on, save, hide. A further window is then done
    // with and goes away. The main window stays open while it is the only
    // way in (no notification area).
    void acknowledge();

    // Snoozes the alert (a further window's): the window goes without
    // acknowledging, and the alert opens again in `minutes`.
    void snooze(int minutes);

    // The message of the alarm this window was opened for, and the alert its
    // acknowledgement takes out of the record of open alerts.
    void setMessage(const QString &message, OpenAlerts::Id alert);
    QString message() const;

    // The alert is open: it is told to the desktop, in a notification (whose
    // OK acknowledges as this window's does) and to a screen reader.
    void announce();

    // Lays the window out as it is first shown (its picture, colours and
    // fonts), without showing it: after this, a first alert window opens
    // without loading them.
    void prepare() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The main window with no notification area: nothing else can show it.
    bool onlyWayIn() const;
    void dress();
    static void installAccessibleInterface();
    void addSnoozeMenu();
    void notificationChosen(AlertNotifications::Action action);
    void withdrawNotification();

    QLabel *m_dateLabel = nullptr;
    QLabel *m_timeLabel = nullptr;
    QLabel *m_messageLabel = nullptr;
    QPushButton *m_okButton = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QAction *m_setAction = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_helpAction = nullptr;
    QAction *m_aboutAction = nullptr;
    // A further window's "S&nooze" menu; the main window has none.
    QMenu *m_snoozeMenu = nullptr;

    AppContext &m_context;
    QPointer<AlarmClock> m_clock;
    Kind m_kind;
    QWidget *m_client = nullptr;
    bool m_dressed = false;
    OpenAlerts::Id m_alert = OpenAlerts::NoId;
    AlertNotifications::Handle m_notification = AlertNotifications::NoHandle;
};
