// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

// Tells when the wall clock was set, the time zone changed or the machine
// came back from a suspend: moments when a clock that sleeps until a given
// time of day may have slept past it. On Linux from the system itself
// (linux/clockchanges_linux.cpp); elsewhere a periodic check.
class ClockChanges : public QObject
{
    Q_OBJECT

public:
    // The file the C library reads the local time zone from: the one TZ
    // names (":/path", "/path", or a zone name under $TZDIR or the zone
    // database), else /etc/localtime. Empty where TZ is a rule of its own,
    // or where there is no such file to watch.
    static QString systemZoneFile();

    // Watching `zoneFile` for a new time zone: the file itself and, when it
    // is a link, the file it leads to, not the rest of their folders.
    explicit ClockChanges(const QString &zoneFile, QObject *parent = nullptr);
    ~ClockChanges() override;

Q_SIGNALS:
    void changed();

private:
    struct Watch;
    Watch *m_watch = nullptr;
};
