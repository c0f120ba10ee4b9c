// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

// Tells when the wall clock was set, the time zone changed or the machine
// came back from a suspend: moments when a clock that sleeps until a given
// time of day may have slept past it. The one place with code for one
// operating system (clockchanges_linux.cpp); elsewhere a periodic check.
class ClockChanges : public QObject
{
    Q_OBJECT

public:
    explicit ClockChanges(QObject *parent = nullptr);
    ~ClockChanges() override;

Q_SIGNALS:
    void changed();

private:
    struct Watch;
    Watch *m_watch = nullptr;
};
