#pragma once

#include "store/alarmstore.h"
#include "store/clock.h"
#include "store/module1.h"
#include "store/platform.h"

#include <QList>
#include <QPointer>

class QDialog;
class frmNotify;
class frmPass;

// Shows a window modally and returns when it is hidden. The real one runs
// the window's own event loop; tests replace it to act while it is open.
class ModalRunner
{
public:
    virtual ~ModalRunner() = default;
    virtual void exec(QDialog &dialog) = 0;
};

// The platform services a window may use.
struct Services
{
    Clock &clock;
    MessageBoxes &boxes;
    SoundPlayer &sound;
    ModalRunner &modal;
    ProblemReporter &problems;
};

// The program: its shared state, its store and services, and its
// long-lived windows. The application owns one; tests make a fresh one.
class AppContext
{
public:
    explicit AppContext(const Services &services);
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    Module1 state;
    Services services;
    AlarmStore store;

    // The main alert window: created and loaded (hidden) on first use.
    frmPass &mainAlert();
    bool mainAlertLoaded() const { return m_mainAlert != nullptr; }

    // The editor: created and loaded (hidden) on first use, so nothing ever
    // saves its controls before they hold the file's entries.
    frmNotify &editor();
    bool editorLoaded() const { return m_editor != nullptr; }
    bool editorVisible() const;

    // The alert window most recently opened by FireAlarm.
    QPointer<frmPass> AlertForm;

    // Raises the alarm of a due slot; the tick hands over the slot it found.
    void FireAlarm(int slot);

    // Slots handed to FireAlarm, in order (kept for the program's own checks).
    QList<int> firedSlots;

private:
    frmPass *m_mainAlert = nullptr;
    frmNotify *m_editor = nullptr;
};
