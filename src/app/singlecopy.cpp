// SPDX-License-Identifier: MIT
#include "app/singlecopy.h"

#include "platform/seams.h"
#include "store/alarmstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Held for the whole run: only a dead owner makes a lock stale.
std::unique_ptr<QLockFile> tryLock(const QString &path, QLockFile::LockError &error)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (lock->tryLock(100))
        return lock;
    error = lock->error();
    return nullptr;
}

} // namespace

SingleCopy::Outcome SingleCopy::acquire()
{
    release();
    // By bare name, like the data file: a folder that is gone holds no lock.
    QLockFile::LockError error = QLockFile::NoError;
    QString path = LockName;
    m_lock = tryLock(path, error);
    if (!m_lock && error != QLockFile::LockFailedError) {
        // Nothing can be made beside the file: the runtime folder holds the
        // lock, so two copies on one read-only folder still meet.
        path = runtimeLockPath(QDir::current().absoluteFilePath(AlarmStore::FileName));
        if (!path.isEmpty())
            m_lock = tryLock(path, error);
    }
    if (m_lock) {
        m_path = QFileInfo(path).absoluteFilePath();
        return Locked;
    }
    return error == QLockFile::LockFailedError ? AlreadyRunning : NoLock;
}

void SingleCopy::release()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
    m_path.clear();
}

QString SingleCopy::lockPath() const
{
    return m_path;
}

QString SingleCopy::runtimeLockPath(const QString &dataFilePath)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return {};
    const QByteArray key =
        QCryptographicHash::hash(dataFilePath.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QDir(folder).filePath(QStringLiteral("tikora-%1.lock").arg(QString::fromLatin1(key)));
}

QString unsafePlaceText(const QString &problem)
{
    return QStringLiteral("Tikora cannot keep its alarms here: %1.").arg(problem);
}

bool claimDataFolder(SingleCopy &copy, MessageBoxes &boxes)
{
    // Before the lock: a lock another user planted in a folder they can
    // write must not be what stops this copy.
    if (const QString problem = AlarmStore::placeProblem(); !problem.isEmpty()) {
        boxes.show(unsafePlaceText(problem));
        return false;
    }
    switch (copy.acquire()) {
    case SingleCopy::AlreadyRunning:
        boxes.show(SingleCopy::AlreadyRunningText);
        return false;
    case SingleCopy::Locked:
        AlarmStore::removeLeftovers(QFileInfo(copy.lockPath()).lastModified());
        break;
    case SingleCopy::NoLock:
        // Another copy may be saving: its temporary file is not ours to take.
        break;
    }
    return true;
}
