// SPDX-License-Identifier: MIT
// Where the system does not say when its clock is set: every few seconds the
// wall clock is compared with a steady one, and the offset from UTC with
// the last one seen.

#include "platform/clockchanges.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

struct ClockChanges::Watch
{
    QTimer timer;
    QElapsedTimer steady;
    qint64 wallAtStart = 0;
    int offset = 0;

    void restart()
    {
        steady.start();
        wallAtStart = QDateTime::currentMSecsSinceEpoch();
        offset = QDateTime::currentDateTime().offsetFromUtc();
    }
};

QString ClockChanges::systemZoneFile()
{
    return QString();
}

// The zone file is not watched: a change of the offset shows in the check.
ClockChanges::ClockChanges(const QString &, QObject *parent) : QObject(parent), m_watch(new Watch)
{
    m_watch->restart();
    m_watch->timer.setInterval(5000);
    connect(&m_watch->timer, &QTimer::timeout, this, [this] {
        const qint64 drift =
            QDateTime::currentMSecsSinceEpoch() - m_watch->wallAtStart - m_watch->steady.elapsed();
        const bool moved = drift > 1000 || drift < -1000 ||
                           QDateTime::currentDateTime().offsetFromUtc() != m_watch->offset;
        m_watch->restart();
        if (moved)
            Q_EMIT changed();
    });
    m_watch->timer.start();
}

ClockChanges::~ClockChanges()
{
    delete m_watch;
}
