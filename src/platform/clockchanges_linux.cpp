// SPDX-License-Identifier: MIT
// Linux: a CLOCK_REALTIME timer with TFD_TIMER_CANCEL_ON_SET is cancelled
// whenever the wall clock is set, and on the return from a suspend;
// /etc/localtime and its folder are watched for a new time zone.

#include "platform/clockchanges.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

struct ClockChanges::Watch
{
    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    QFileSystemWatcher zone;

    // Set for a moment far ahead (about the year 2174), not counted from
    // the clock: the timer is there only to be cancelled, and a clock read
    // through a library that fakes it must not put that moment in the past.
    bool arm() const
    {
        itimerspec expiry{};
        expiry.it_value.tv_sec = time_t(3) << 31;
        return timerfd_settime(fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr) ==
               0;
    }
};

ClockChanges::ClockChanges(QObject *parent) : QObject(parent), m_watch(new Watch)
{
    const QString zone = QStringLiteral("/etc/localtime");
    for (const QString &path : {zone, QStringLiteral("/etc")})
        if (QFileInfo::exists(path))
            m_watch->zone.addPath(path);
    connect(&m_watch->zone, &QFileSystemWatcher::fileChanged, this, [this, zone] {
        // A file replaced is watched again.
        if (!m_watch->zone.files().contains(zone) && QFileInfo::exists(zone))
            m_watch->zone.addPath(zone);
        Q_EMIT changed();
    });
    // A new zone is usually a new link put in place by a rename: the watch
    // of the file follows the old link's target, so it is set up again.
    connect(&m_watch->zone, &QFileSystemWatcher::directoryChanged, this, [this, zone] {
        if (m_watch->zone.files().contains(zone))
            m_watch->zone.removePath(zone);
        if (QFileInfo::exists(zone))
            m_watch->zone.addPath(zone);
        Q_EMIT changed();
    });

    m_watch->fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_watch->fd < 0 || !m_watch->arm())
        return;
    m_watch->notifier = new QSocketNotifier(m_watch->fd, QSocketNotifier::Read, this);
    connect(m_watch->notifier, &QSocketNotifier::activated, this, [this] {
        std::uint64_t expirations = 0;
        if (read(m_watch->fd, &expirations, sizeof expirations) < 0 && errno == ECANCELED) {
            // The clock was set, or the machine resumed: watch on.
            m_watch->arm();
            Q_EMIT changed();
            return;
        }
        // It expired (or cannot be read): that moment is not to be trusted
        // again, and the main clock's minute at most is left to notice.
        m_watch->notifier->setEnabled(false);
    });
}

ClockChanges::~ClockChanges()
{
    if (m_watch->fd >= 0)
        close(m_watch->fd);
    delete m_watch;
}
