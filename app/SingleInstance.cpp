#include "SingleInstance.h"

#include <QDir>

SingleInstance::SingleInstance(const QString &dataFolder)
    : m_lock(std::make_unique<QLockFile>(QDir(dataFolder).filePath(QStringLiteral("zarumi.lock"))))
{
    // Only a lock whose process is gone is stale; a running instance keeps
    // its lock however long it runs.
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    return m_lock->tryLock(0);
}
