#include "app/singlecopy.h"


SingleCopy::Outcome SingleCopy::acquire()
{
    // By bare name, like the data file: a folder that is gone holds no lock.
    m_lock = std::make_unique<QLockFile>(LockName);
    // Held for the whole run: only a dead owner makes a lock stale.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(100))
        return Locked;
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    return error == QLockFile::LockFailedError ? AlreadyRunning : NoLock;
}

void SingleCopy::release()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}
