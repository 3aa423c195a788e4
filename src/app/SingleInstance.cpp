#include "app/SingleInstance.h"

#include <QDir>

QString SingleInstance::LockPath() const
{
    return QDir::temp().filePath(QString::fromLatin1(kMutexName) + QStringLiteral(".lock"));
}

bool SingleInstance::Acquire()
{
    m_lock = std::make_unique<QLockFile>(LockPath());
    // Only a dead owner makes the lock stale, never its age: a station runs for days.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}

void SingleInstance::Release()
{
    m_lock.reset();
}
