// SPDX-License-Identifier: MIT
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

class ClockChanges;

// What wakes a sleeping clock before its time: a change of the data file,
// of the wall clock or of the time zone, and the end of a suspend.
class WakeUps : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether a change another program makes to the data file is seen as it
    // happens. Where it is not, the clock keeps its 500 ms pace.
    virtual bool seesFileChanges() const = 0;

Q_SIGNALS:
    void woken();
};

// The desktop's wake-ups: a file-system watcher on Tikor.dat in the current
// folder and on the folder (so a file replaced by a rename, or made anew, is
// watched again), and the operating system's word that the clock was set.
// Several changes at once wake the clock once.
class QtWakeUps : public WakeUps
{
    Q_OBJECT

public:
    explicit QtWakeUps(QObject *parent = nullptr);
    ~QtWakeUps() override;

    bool seesFileChanges() const override { return m_seesFileChanges; }

    // File systems whose changes made on another machine the watcher cannot
    // see: the folder of the data file on one of these keeps the 500 ms pace.
    static bool remoteFileSystem(const QByteArray &type);

private:
    void changed();
    void watchAgain();

    QFileSystemWatcher m_watcher;
    ClockChanges *m_clockChanges = nullptr;
    QTimer m_together;
    QStringList m_files;
    bool m_seesFileChanges = false;
};
