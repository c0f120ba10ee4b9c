// SPDX-License-Identifier: MIT
#include "platform/wakeups.h"

#include "platform/clockchanges.h"
#include "store/alarmstore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

QtWakeUps::QtWakeUps(QObject *parent) : QtWakeUps(ClockChanges::systemZoneFile(), parent)
{
}

QtWakeUps::QtWakeUps(const QString &zoneFile, QObject *parent)
    : WakeUps(parent), m_clockChanges(new ClockChanges(zoneFile, this))
{
    // The data file by the name the store opens, and where a link of it
    // leads; their folders see a replacement or a new file.
    const QFileInfo file(QDir::current().absoluteFilePath(AlarmStore::FileName));
    m_files << file.absoluteFilePath();
    const QString target = file.canonicalFilePath();
    if (!target.isEmpty() && target != file.absoluteFilePath())
        m_files << target;
    bool folders = true;
    for (const QString &path : std::as_const(m_files)) {
        const QString folder = QFileInfo(path).absolutePath();
        folders = folders && m_watcher.addPath(folder);
        if (remoteFileSystem(QStorageInfo(folder).fileSystemType()))
            folders = false;
    }
    m_seesFileChanges = folders;
    watchAgain();

    m_clockChangeWakeUp.setSingleShot(true);
    m_clockChangeWakeUp.setInterval(0);
    connect(&m_clockChangeWakeUp, &QTimer::timeout, this, &WakeUps::woken);
    m_quiet.setSingleShot(true);
    m_quiet.setTimerType(Qt::PreciseTimer);
    connect(&m_quiet, &QTimer::timeout, this, &WakeUps::woken);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &QtWakeUps::changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &QtWakeUps::changed);
    connect(m_clockChanges, &ClockChanges::changed, &m_clockChangeWakeUp,
            qOverload<>(&QTimer::start));
}

QtWakeUps::~QtWakeUps() = default;

bool QtWakeUps::remoteFileSystem(const QByteArray &type)
{
    static const QByteArrayList remote = {
        "nfs",  "nfs4", "cifs",  "smb3",   "smbfs",     "smb2", "ncpfs", "9p",      "afs",
        "ceph", "coda", "davfs", "lustre", "glusterfs", "gfs2", "ocfs2", "virtiofs"};
    return remote.contains(type) || type.startsWith("fuse");
}

void QtWakeUps::changed()
{
    // A file replaced by a rename is no longer watched; a new one not yet.
    watchAgain();
    // Each change puts the wake-up off until the file has been quiet, but
    // not beyond the longest delay after the first change of a busy spell.
    if (!m_quiet.isActive())
        m_changingSince.start();
    const qint64 left = LongestDelayMs - m_changingSince.elapsed();
    m_quiet.start(int(std::clamp<qint64>(left, 0, QuietMs)));
}

bool QtWakeUps::fileChanging() const
{
    if (m_quiet.isActive())
        return true;
    // The watcher's word comes through the event loop: a tick may read the
    // file between a program's emptying it and its writing it before then.
    const QDateTime changed = QFileInfo(m_files.constFirst()).metadataChangeTime();
    if (!changed.isValid())
        return false;
    const qint64 age = changed.msecsTo(QDateTime::currentDateTimeUtc());
    return age > -QuietMs && age < QuietMs;
}

void QtWakeUps::watchAgain()
{
    const QStringList watched = m_watcher.files();
    for (const QString &path : std::as_const(m_files))
        if (!watched.contains(path) && QFileInfo::exists(path))
            m_watcher.addPath(path);
}
