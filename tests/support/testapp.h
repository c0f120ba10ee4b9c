// SPDX-License-Identifier: MIT
#pragma once

#include "support/controls.h"
#include "support/fakeclock.h"
#include "support/fakewakeups.h"
#include "support/recordingnotifications.h"
#include "support/recordingservices.h"
#include "windows/appcontext.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>

// Shows a "modal" window without a nested loop: it is shown, the hook acts
// on it as the user would, and the call returns. A window the hook left
// open is hidden, as if its own loop had ended.
class FakeModalRunner : public ModalRunner
{
public:
    void exec(QDialog &dialog) override;

    QDialog *active() const override;

    QList<QPointer<QDialog>> shown;
    QList<QPointer<QDialog>> open; // innermost last
    std::function<void(QDialog &dialog)> whileOpen;
};

class AlertWindow;

// Records the pages asked for; with `fails`, no viewer can open them.
class RecordingHelp : public HelpViewer
{
public:
    void open(const QString &path, std::function<void()> failed) override
    {
        opened.append(path);
        if (fails)
            failed();
    }

    QStringList opened;
    bool fails = false;
};

// A notification area that is there or not, as the test says.
class RecordingTray : public TrayIcon
{
public:
    bool available() const override { return isAvailable; }
    void add(const QString &tip, QMenu *menu) override;
    void remove() override { isAdded = false; }
    bool added() const override { return isAdded; }
    void showMessage(const QString &text) override { messages.append(text); }
    // The item of the icon's menu with the object name `name`.
    QAction &item(const char *name) const;

    bool isAvailable = true;
    bool isAdded = false;
    QString tip;
    QMenu *menu = nullptr;
    QStringList messages;
};

// Records the further alert windows in the order they are shown.
class AlertWindowRecorder : public QObject
{
public:
    AlertWindowRecorder();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QList<QPointer<AlertWindow>> shown;
    // The messages of the windows shown so far, in order.
    QStringList messages() const;
    // Which window is the main one, not recorded.
    std::function<bool(const AlertWindow *window)> isMain;
};

class QAction;
// Chooses a menu command as the user does: the command returns at once, and
// what it opens runs when the event loop next delivers its posted calls
// (here, before this returns).
void choose(QAction &action);

// A program with a fake clock and recording services, for window tests.
struct TestApp
{
    FakeClock clock;
    RecordingMessageBoxes boxes;
    RecordingSound sound;
    FakeModalRunner modal;
    RecordingProblems problems;
    RecordingHelp help;
    RecordingTray tray;
    AlertWindowRecorder alerts;
    RecordingNotifications notifications;
    AppContext context{Services{clock, boxes, sound, modal, problems, help, tray}};
    QList<int> endedWith; // exit codes the program asked to end with

    TestApp();
    ~TestApp();
};
