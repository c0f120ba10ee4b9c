// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

class AppContext;
class QAction;
class QMenu;
class QTimer;

// The tray menu: "&Tikora", "&Set Alarm", "&Help", "&About", "&Exit".
class frmPopTray : public QObject
{
    Q_OBJECT

public:
    explicit frmPopTray(AppContext &context);
    ~frmPopTray() override;

    std::unique_ptr<QMenu> mnuFile;
    QAction *mnuTikora = nullptr;
    QAction *mnuSet = nullptr;
    QAction *mnuHelp = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuClose = nullptr;
};

// The hidden tray form: it loads the long-lived windows at start, owns the
// icon and its menu, completes start-up with one unattended accept of the
// editor, and runs Exit.
class frmTray : public QObject
{
    Q_OBJECT

public:
    explicit frmTray(AppContext &context);
    ~frmTray() override;

    // Start-up: load the main alert window and the editor (both hidden),
    // enable the one-shot timer, add the icon, set the file's banners. With
    // no notification area the main alert window is shown instead.
    void startUp();

    void Form_Load();
    void CreateIcon();
    void DeleteIcon();

    // The one-shot tick, 850 ms after start-up: empty the main window's
    // title, switch the timer off for good, press the editor's OK.
    void Timer1_Timer();

    // A left press on the icon.
    void iconLeftPressed();

    // "&Exit": acknowledge through the main alert window's unload, drop the
    // editor's unaccepted edits, remove the icon, end the process.
    void mnuClose_Click();

    // The session ends (the program is told to stop): end as Exit does, but
    // acknowledge and save nothing. A repeating alert still open then has
    // its fired flag in the file, and the next start raises it again.
    void endSession();

    QTimer *Timer1 = nullptr;
    frmPopTray &popTray() { return m_popTray; }

private:
    AppContext &m_context;
    frmPopTray m_popTray;
};
