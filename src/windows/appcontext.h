// SPDX-License-Identifier: MIT
#pragma once

#include "engine/alarmclock.h"
#include "engine/alarmengine.h"
#include "platform/alertnotifications.h"
#include "platform/modalrunner.h"
#include "platform/seams.h"
#include "platform/trayicon.h"
#include "scheduler/clock.h"
#include "store/alarmstore.h"
#include "store/programstate.h"
#include "windows/aboutwindow.h"

#include <QPointer>
#include <functional>
#include <map>

class QDialog;
class AlarmEditor;
class AlertWindow;

// The platform services a window may use.
struct Services
{
    Clock &clock;
    MessageBoxes &boxes;
    SoundPlayer &sound;
    ModalRunner &modal;
    ProblemReporter &problems;
    HelpViewer &help;
    TrayIcon &tray;
};

// The program: its shared state, its store and services, and its
// long-lived windows. The application owns one; tests make a fresh one.
class AppContext : public AlertWindows
{
public:
    explicit AppContext(const Services &services);
    ~AppContext() override;
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    Services services;
    AlarmEngine engine;
    AlarmClock alarmClock{engine, services.clock};

    // The main alert window: created and loaded (hidden) on first use.
    AlertWindow &mainAlert();
    bool mainAlertLoaded() const { return m_mainAlert != nullptr; }

    // The editor: created and loaded (hidden) on first use, so nothing ever
    // saves its controls before they hold the file's entries.
    AlarmEditor &editor();
    bool editorLoaded() const { return m_editor != nullptr; }
    bool editorVisible() const;

    // The main clock runs whenever the editor is hidden.
    void startMainClock();

    // The exact clock: the alarm clock's main face sleeps until a tick can
    // find something new, or until `wakeUps` wakes it (AlarmClock).
    void useWakeUps(WakeUps *wakeUps);

    // The desktop notifications that go with the further alert windows;
    // none (the default) shows none.
    void useNotifications(AlertNotifications *notifications) { m_notifications = notifications; }
    AlertNotifications *notifications() const { return m_notifications; }

    // What the engine asks of the windows when an alarm fires.
    bool holdAlerts() const override;
    Window openAlert() override;
    void showMessage(Window window, const QString &message, OpenAlerts::Id id) override;

    // The About window, shown modally. From the tray it opens only while
    // neither the main alert window nor the editor is visible; from an alert
    // window's menu, always. Already open: the window in front is raised.
    enum Origin { FromTray, FromAlertWindow };
    void showAbout(Origin origin);
    bool aboutVisible() const;

    // "&Tikora", and a left press on the icon: show the main alert window,
    // unless the editor or About is visible.
    void showMainAlert();

    // "&Set Alarm" from the tray, "&Set" from an alert window: switch that
    // clock off, place the editor and show it modally. From the tray it is
    // not shown while About is visible, and then no clock is switched.
    void openEditor(Origin origin, AlertWindow *from = nullptr);

    // Help, in the desktop's viewer: Tikora.chm in the current directory if
    // it is there, else the help page the program ships. When no viewer can
    // open it, a message box says so, with the page's path.
    void openHelp();
    static QString helpPath();
    static QString helpFailureText(const QString &page);

    // "&Exit", set by the tray shell; closing the main alert window runs it
    // when the desktop has no notification area.
    std::function<void()> exitProgram;

    // Ends the process at once, without returning into any event loop.
    std::function<void(int code)> endProcess;

    // Brings the modal window the user is in (a picker over the editor, the
    // editor, About) to the front instead of showing a second copy.
    void raiseActiveModal();

private:
    AlertWindow *m_mainAlert = nullptr;
    AlarmEditor *m_editor = nullptr;
    QPointer<AboutWindow> m_about;
    // The further alert windows opened and not yet given their message.
    std::map<Window, QPointer<AlertWindow>> m_opening;
    Window m_lastOpened = NoWindow;

    AlertNotifications *m_notifications = nullptr;
};
