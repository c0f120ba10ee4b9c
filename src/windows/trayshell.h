// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

class AppContext;
class QAction;
class QMenu;

// The tray menu: "&Tikora", "&Set Alarm", "&Help", "&About", "&Exit".
class TrayMenu : public QObject
{
    Q_OBJECT

public:
    explicit TrayMenu(AppContext &context);
    ~TrayMenu() override;

    QMenu &menu() const { return *m_menu; }
    QAction &exitAction() const { return *m_exitAction; }

private:
    std::unique_ptr<QMenu> m_menu;
    QAction *m_exitAction = nullptr;
};

// The hidden tray form: it loads the long-lived windows at start, owns the
// icon and its menu, completes start-up with one unattended accept of the
// editor when the alarm clock says (850 ms after), and runs Exit.
class TrayShell : public QObject
{
    Q_OBJECT

public:
    explicit TrayShell(AppContext &context);
    ~TrayShell() override;

    // Start-up: load the main alert window and the editor (both hidden),
    // have the alarm clock complete start-up in 850 ms, add the icon, set
    // the file's banners. With no notification area the main alert window
    // is shown instead.
    void startUp();

    // A left press on the icon.
    void iconLeftPressed();

    // "&Exit": acknowledge through the main alert window, drop the
    // editor's unaccepted edits, remove the icon, end the process.
    void exitProgram();

    // The session ends (the program is told to stop): end as Exit does, but
    // acknowledge and save nothing. An alert still open stays in the record
    // of open alerts, and the next start raises it again.
    void endSession();

private:
    // The alarm clock's start-up completion, 850 ms after start-up: empty
    // the main window's title and accept the editor's rows unattended; then
    // the clock raises the alerts the last run left open.
    void completeStartUp();
    // The main alert window made ready, hidden, the working copy read and
    // the start-up completion asked of the alarm clock; the editor's window
    // is built the first time it is shown.
    void prepareHidden();
    void addIcon();
    void removeIcon();

    AppContext &m_context;
    TrayMenu m_trayMenu;
};
