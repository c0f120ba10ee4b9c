// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QString>

#include <functional>

class AboutWindow;
class AlertWindow;
class AppContext;

// What the program's menus do: the tray menu's commands, an alert window's
// "&Set", "&Help" and "&About", and the way the program ends. The tray
// shell, the alert windows and a later start's hand-over call them; the
// windows they show are the context's.
class MenuCommands
{
public:
    explicit MenuCommands(AppContext &context) : m_context(context) {}
    MenuCommands(const MenuCommands &) = delete;
    MenuCommands &operator=(const MenuCommands &) = delete;

    enum Origin { FromTray, FromAlertWindow };

    // "&Tikora", and a left press on the icon: show the main alert window,
    // unless the editor or About is visible.
    void showMainAlert();

    // "&Set Alarm" from the tray, "&Set" from an alert window: switch that
    // clock off, place the editor and show it modally. From the tray it is
    // not shown while About is visible, and then no clock is switched.
    void openEditor(Origin origin, AlertWindow *from = nullptr);

    // The About window, shown modally. From the tray it opens only while
    // neither the main alert window nor the editor is visible; from an alert
    // window's menu, always. Already open: the window in front is raised.
    void showAbout(Origin origin);
    bool aboutVisible() const;

    // Help, in the desktop's viewer: Tikora.chm in the current directory if
    // it is there, else the help page the program ships. When no viewer can
    // open it, a message box says so, with the page's path.
    void openHelp();
    static QString helpPath();
    static QString helpFailureText(const QString &page);

    // Brings the modal window the user is in (a picker over the editor, the
    // editor, About) to the front instead of showing a second copy.
    void raiseActiveModal();

    // "&Exit", set by the tray shell; closing the main alert window runs it
    // when the desktop has no notification area.
    std::function<void()> exitProgram;

    // Ends the process at once, without returning into any event loop.
    std::function<void(int code)> endProcess;

private:
    AppContext &m_context;
    QPointer<AboutWindow> m_about;
};
