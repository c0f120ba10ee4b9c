// SPDX-License-Identifier: MIT
#pragma once

#include "engine/services.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

class ClockChanges;

// The desktop's wake-ups: a file-system watcher on Tikor.dat in the current
// folder and on the folder (so a file replaced by a rename, or made anew, is
// watched again), and the operating system's word that the clock was set or
// the time zone changed. A change of the file wakes the clock once the file
// has been quiet for QuietMs, so a file another program is writing is not
// read half-way, and at the latest LongestDelayMs after the change; several
// changes at once wake it once.
class QtWakeUps : public WakeUps
{
    Q_OBJECT

public:
    static constexpr int QuietMs = 50;
    static constexpr int LongestDelayMs = 150;

    // With the system's time zone file (ClockChanges::systemZoneFile).
    explicit QtWakeUps(QObject *parent = nullptr);
    // With the time zone read from `zoneFile` (a test's stand-in for
    // /etc/localtime).
    explicit QtWakeUps(const QString &zoneFile, QObject *parent = nullptr);
    ~QtWakeUps() override;

    bool seesFileChanges() const override { return m_seesFileChanges; }
    // A change seen less than QuietMs ago, or one the watcher has not told
    // of yet: the file's own time of change is that recent.
    bool fileChanging() const override;

    // File systems whose changes made on another machine the watcher cannot
    // see: the folder of the data file on one of these keeps the 500 ms pace.
    static bool remoteFileSystem(const QByteArray &type);

private:
    void changed();
    void watchAgain();

    QFileSystemWatcher m_watcher;
    ClockChanges *m_clockChanges = nullptr;
    QTimer m_clockChangeWakeUp; // the clock or the time zone changed: one wake-up
    QTimer m_quiet;             // the data file changed
    QElapsedTimer m_changingSince;
    QStringList m_files;
    bool m_seesFileChanges = false;
};
