// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One running program per data folder: a lock file "zarumi.lock" in that
// folder, held while the program runs. A lock left behind by a crashed
// instance on this machine (its process is gone) does not count; a lock
// written on another machine (a copied or synced folder) can't be checked
// from here and is only taken over on request.
class SingleInstance
{
public:
    enum class Outcome {
        Acquired, // this is the only instance; the lock is held
        RunningHere, // another copy runs on this machine
        HeldElsewhere, // the lock names another machine, or no one readable
        Failed, // the lock file can't be created (folder not writable, disk full)
    };

    explicit SingleInstance(const QString &dataFolder);

    Outcome acquire();
    // Replaces another machine's lock with ours; false when that fails.
    bool takeOver();

    QString lockPath() const { return m_path; }
    // The holder named in the lock file, after HeldElsewhere.
    QString holderHost() const { return m_holderHost; }
    qint64 holderPid() const { return m_holderPid; }
    QString holderApp() const { return m_holderApp; }
    // Why the lock file could not be created, after Failed.
    QString failure() const { return m_failure; }

private:
    Outcome failedWith(QLockFile::LockError error);

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QString m_holderHost;
    qint64 m_holderPid = 0;
    QString m_holderApp;
    QString m_failure;
};
