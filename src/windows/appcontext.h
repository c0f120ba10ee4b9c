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
#include "windows/menucommands.h"

#include <QPointer>
#include <map>

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

// The program's parts: its services, the engine, the alarm clock, the
// long-lived windows (made on first use) and the further alert windows the
// engine asks for. The application owns one; tests make a fresh one.
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

    // The desktop notifications that go with the further alert windows;
    // none (the default) shows none.
    void useNotifications(AlertNotifications *notifications) { m_notifications = notifications; }
    AlertNotifications *notifications() const { return m_notifications; }

    // What the engine asks of the windows when an alarm fires.
    bool holdAlerts() const override;
    Window openAlert() override;
    void showMessage(Window window, const QString &message, OpenAlerts::Id id) override;

    // The commands the windows' menus and the tray run.
    MenuCommands commands{*this};

private:
    AlertWindow *m_mainAlert = nullptr;
    AlarmEditor *m_editor = nullptr;
    // The further alert windows opened and not yet given their message.
    std::map<Window, QPointer<AlertWindow>> m_opening;
    Window m_lastOpened = NoWindow;

    AlertNotifications *m_notifications = nullptr;
};
