// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "SingleInstance.h"

#include <QDir>
#include <QSysInfo>

SingleInstance::SingleInstance(const QString &dataFolder)
    : m_path(QDir(dataFolder).filePath(QStringLiteral("zarumi.lock")))
    , m_lock(std::make_unique<QLockFile>(m_path))
{
    // Only a lock whose process is gone is stale; a running instance keeps
    // its lock however long it runs.
    m_lock->setStaleLockTime(0);
}

SingleInstance::Outcome SingleInstance::acquire()
{
    if (m_lock->tryLock(0))
        return Outcome::Acquired;
    if (m_lock->error() != QLockFile::LockFailedError)
        return failedWith(m_lock->error());
    // The lock stands: its process runs here, or it was written elsewhere,
    // where no process can be looked up.
    if (m_lock->getLockInfo(&m_holderPid, &m_holderHost, &m_holderApp)
        && (m_holderHost.isEmpty() || m_holderHost == QSysInfo::machineHostName()))
        return Outcome::RunningHere;
    return Outcome::HeldElsewhere;
}

bool SingleInstance::takeOver()
{
    if (!m_lock->removeStaleLockFile()) {
        m_failure = QStringLiteral("古いロックファイルを削除できません");
        return false;
    }
    if (m_lock->tryLock(0))
        return true;
    failedWith(m_lock->error());
    return false;
}

SingleInstance::Outcome SingleInstance::failedWith(QLockFile::LockError error)
{
    m_failure = error == QLockFile::PermissionError
        ? QStringLiteral("書き込みが許可されていません")
        : QStringLiteral("書き込めません (ディスクがいっぱいか、読み取り専用です)");
    return Outcome::Failed;
}
