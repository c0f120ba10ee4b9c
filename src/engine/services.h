// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

// What the engine needs from the desktop, declared here so that the core
// depends on nothing above it. The Qt implementations are in platform/; the
// tests record the calls instead.

// Message boxes with an OK button only, captioned with the program's title.
// show() returns when the user has pressed OK; meanwhile the event loop runs,
// so clock ticks can happen inside it.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const QString &text) = 0;
};

// Beep, and play a named wave file without blocking, cutting off the sound
// before it; a file that cannot be played is silent. prepare() gets what
// playing that file needs ready beforehand, so that play() starts it
// without delay.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void beep() = 0;
    virtual void play(const QString &fileName) = 0;
    virtual void prepare(const QString &fileName) = 0;
};

// Tells the user about a problem that is not theirs to answer now (a failed
// save): the tray's balloon where there is one, else a message box.
class ProblemReporter
{
public:
    virtual ~ProblemReporter() = default;
    virtual void report(const QString &text) = 0;
};

// What wakes a sleeping clock before its time: a change of the data file,
// of the wall clock or of the time zone, and the end of a suspend. The
// desktop's watchers are in platform/wakeups.h.
class WakeUps : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether a change another program makes to the data file is seen as it
    // happens. Where it is not, the clock keeps its 500 ms pace.
    virtual bool seesFileChanges() const = 0;

    // Whether the data file changed a moment ago, so that it may be
    // written still: woken() follows once it has been quiet for a while.
    virtual bool fileChanging() const = 0;

Q_SIGNALS:
    void woken();
};
