// SPDX-License-Identifier: MIT
// Linux: a CLOCK_REALTIME timer set far ahead with TFD_TIMER_CANCEL_ON_SET
// is cancelled whenever the wall clock is set, and on the return from a
// suspend; /etc/localtime and its folder are watched for a new time zone.

#include "platform/clockchanges.h"

#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

struct ClockChanges::Watch
{
    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    QFileSystemWatcher zone;

    // Ten years ahead: the timer is there only to be cancelled.
    bool arm() const
    {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        itimerspec spec{};
        spec.it_value.tv_sec = now.tv_sec + 10 * 366 * 24 * 3600;
        return timerfd_settime(fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr) ==
               0;
    }
};

ClockChanges::ClockChanges(QObject *parent) : QObject(parent), m_watch(new Watch)
{
    m_watch->zone.addPaths({QStringLiteral("/etc/localtime"), QStringLiteral("/etc")});
    connect(&m_watch->zone, &QFileSystemWatcher::fileChanged, this, [this](const QString &path) {
        // A link replaced by another is watched again.
        if (!m_watch->zone.files().contains(path))
            m_watch->zone.addPath(path);
        Q_EMIT changed();
    });
    // A new zone is usually a new link put in place by a rename: the watch
    // of the file follows the old link's target, so it is set up again.
    connect(&m_watch->zone, &QFileSystemWatcher::directoryChanged, this, [this] {
        const QString zone = QStringLiteral("/etc/localtime");
        m_watch->zone.removePath(zone);
        m_watch->zone.addPath(zone);
        Q_EMIT changed();
    });

    m_watch->fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_watch->fd < 0 || !m_watch->arm())
        return;
    m_watch->notifier = new QSocketNotifier(m_watch->fd, QSocketNotifier::Read, this);
    connect(m_watch->notifier, &QSocketNotifier::activated, this, [this] {
        std::uint64_t expirations = 0;
        // ECANCELED: the clock was set. Either way the timer is set again.
        [[maybe_unused]] const ssize_t n = read(m_watch->fd, &expirations, sizeof expirations);
        m_watch->arm();
        Q_EMIT changed();
    });
}

ClockChanges::~ClockChanges()
{
    if (m_watch->fd >= 0)
        close(m_watch->fd);
    delete m_watch;
}
