// SPDX-License-Identifier: MIT
#include "app/singlecopy.h"

#include "platform/seams.h"
#include "store/alarmstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

SingleCopy::Outcome SingleCopy::acquire()
{
    release();
    m_problem.clear();
    m_busyFolder.clear();
    const auto take = [this](FolderLock &lock, const QString &folder) {
        switch (lock.lock(folder, LockName)) {
        case FolderLock::Locked:
            m_lockedFolders << QDir(folder).canonicalPath();
            return Locked;
        case FolderLock::Busy:
            m_busyFolder = QDir(folder).canonicalPath();
            return AlreadyRunning;
        case FolderLock::Failed:
            break;
        }
        m_problem = lock.error();
        return Refused;
    };
    // By bare name, like the data file: the folder the program runs in.
    Outcome result = take(m_folder, QStringLiteral("."));
    // A Tikor.dat that links into another folder is that folder's data file
    // too: a copy started there must meet this one.
    const QFileInfo data(AlarmStore::FileName);
    const QString target = data.isSymLink() ? data.canonicalFilePath() : QString();
    if (result == Locked && !target.isEmpty()) {
        const QString folder = QFileInfo(target).absolutePath();
        if (folder != QDir::current().canonicalPath())
            result = take(m_linkedFolder, folder);
    }
    if (result != Locked) {
        release();
        return result;
    }
    m_lockedAt = QDateTime::currentDateTime();
    return Locked;
}

void SingleCopy::release()
{
    m_folder.unlock();
    m_linkedFolder.unlock();
    m_lockedAt = {};
    m_lockedFolders.clear();
}

QString unsafePlaceText(const QString &problem)
{
    return QCoreApplication::translate("SingleCopy", "Tikora cannot keep its alarms here: %1.")
        .arg(problem);
}

Claim claimDataFolder(SingleCopy &copy, MessageBoxes &boxes,
                      const std::function<bool(const QString &folder)> &handOver)
{
    // Before the lock: the folder and the file must be the user's own.
    if (const QString problem = AlarmStore::placeProblem(); !problem.isEmpty()) {
        boxes.show(unsafePlaceText(problem));
        return Claim::Refused;
    }
    switch (copy.acquire()) {
    case SingleCopy::AlreadyRunning:
        if (handOver && handOver(copy.busyFolder()))
            return Claim::HandedOver;
        boxes.show(QCoreApplication::translate("SingleCopy", SingleCopy::AlreadyRunningSource));
        return Claim::Refused;
    case SingleCopy::Refused:
        boxes.show(refusedLockText(copy.problem()));
        return Claim::Refused;
    case SingleCopy::Locked:
        break;
    }
    AlarmStore::removeLeftovers(copy.lockedAt());
    return Claim::Run;
}

QString refusedLockText(const QString &problem)
{
    return QCoreApplication::translate("SingleCopy",
                                       "Tikora cannot make sure it runs only once here: %1.")
        .arg(problem);
}
