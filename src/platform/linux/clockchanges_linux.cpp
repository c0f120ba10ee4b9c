// SPDX-License-Identifier: MIT
// Linux: a CLOCK_REALTIME timer with TFD_TIMER_CANCEL_ON_SET is cancelled
// whenever the wall clock is set, and on the return from a suspend. The
// time zone file (/etc/localtime) is watched through inotify: the name
// itself, not followed (a new zone is a new link put in its place by a
// rename), and the file it leads to (a zone file rewritten by an update).
// Never its folder: /etc changes all the time, hundreds of files during a
// package installation, and none of them is the time zone. Only while there
// is no file by that name is the folder watched, for it to appear.

#include "platform/clockchanges.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace {

// What changes a time zone file: written and closed, replaced or removed
// (its link count drops), moved away.
constexpr std::uint32_t ZoneChanges = IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

} // namespace

struct ClockChanges::Watch
{
    int timer = -1;
    QSocketNotifier *timerNotifier = nullptr;
    int inotify = -1;
    QSocketNotifier *zoneNotifier = nullptr;
    QByteArray zone;     // the path
    QByteArray zoneName; // its last part, as a folder's event names it
    QList<int> watches;

    // Set for a moment far ahead (about the year 2174), not counted from
    // the clock: the timer is there only to be cancelled, and a clock read
    // through a library that fakes it must not put that moment in the past.
    bool arm() const
    {
        itimerspec expiry{};
        expiry.it_value.tv_sec = time_t(3) << 31;
        return timerfd_settime(timer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry,
                               nullptr) == 0;
    }

    // Watches what the zone's name is now: the name and what it leads to,
    // or the folder while the name is missing. Watches of what it was are
    // dropped (adding an inode watched already gives its old watch back).
    void watchZone()
    {
        QList<int> now;
        const int self = inotify_add_watch(inotify, zone.constData(), ZoneChanges | IN_DONT_FOLLOW);
        if (self >= 0) {
            now.append(self);
            const int target = inotify_add_watch(inotify, zone.constData(), ZoneChanges);
            if (target >= 0 && target != self)
                now.append(target);
        } else {
            const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(zone)).path());
            const int created = inotify_add_watch(inotify, folder.constData(),
                                                  IN_CREATE | IN_MOVED_TO | IN_ONLYDIR);
            if (created >= 0)
                now.append(created);
        }
        for (int old : std::as_const(watches))
            if (!now.contains(old))
                inotify_rm_watch(inotify, old);
        watches = now;
    }

    // Reads what inotify has to say: whether the zone changed. A watch's
    // end (IN_IGNORED, also after watchZone dropped it) is not a change, nor
    // is another name appearing in the folder.
    bool zoneChanged() const
    {
        bool changed = false;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t got = read(inotify, buffer, sizeof buffer);
            if (got <= 0)
                return changed;
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (!(event->mask & IN_IGNORED) &&
                    (event->len == 0 || zoneName == QByteArray(event->name)))
                    changed = true;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }
};

QString ClockChanges::systemZoneFile()
{
    if (!qEnvironmentVariableIsSet("TZ"))
        return QStringLiteral("/etc/localtime");
    // As the C library reads TZ: empty is UTC, a leading colon is dropped,
    // a name without a leading slash is a file of the zone database if
    // there is one, else a rule.
    QString name = qEnvironmentVariable("TZ");
    if (name.isEmpty())
        name = QStringLiteral("Universal");
    if (name.startsWith(u':'))
        name.remove(0, 1);
    if (name.isEmpty())
        return QString();
    if (name.startsWith(u'/'))
        return name;
    QString folder = qEnvironmentVariable("TZDIR");
    if (folder.isEmpty())
        folder = QStringLiteral("/usr/share/zoneinfo");
    const QString file = folder + u'/' + name;
    return QFileInfo(file).isFile() ? file : QString();
}

ClockChanges::ClockChanges(const QString &zoneFile, QObject *parent)
    : QObject(parent), m_watch(new Watch)
{
    m_watch->inotify = zoneFile.isEmpty() ? -1 : inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch->inotify >= 0) {
        m_watch->zone = QFile::encodeName(zoneFile);
        m_watch->zoneName = QFile::encodeName(QFileInfo(zoneFile).fileName());
        m_watch->watchZone();
        m_watch->zoneNotifier = new QSocketNotifier(m_watch->inotify, QSocketNotifier::Read, this);
        connect(m_watch->zoneNotifier, &QSocketNotifier::activated, this, [this] {
            if (!m_watch->zoneChanged())
                return;
            m_watch->watchZone();
            Q_EMIT changed();
        });
    }

    m_watch->timer = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_watch->timer < 0 || !m_watch->arm())
        return;
    m_watch->timerNotifier = new QSocketNotifier(m_watch->timer, QSocketNotifier::Read, this);
    connect(m_watch->timerNotifier, &QSocketNotifier::activated, this, [this] {
        std::uint64_t expirations = 0;
        if (read(m_watch->timer, &expirations, sizeof expirations) < 0 && errno == ECANCELED) {
            // The clock was set, or the machine resumed: watch on.
            m_watch->arm();
            Q_EMIT changed();
            return;
        }
        // It expired (or cannot be read): that moment is not to be trusted
        // again, and the main clock's minute at most is left to notice.
        m_watch->timerNotifier->setEnabled(false);
    });
}

ClockChanges::~ClockChanges()
{
    if (m_watch->timer >= 0)
        close(m_watch->timer);
    if (m_watch->inotify >= 0)
        close(m_watch->inotify);
    delete m_watch;
}
