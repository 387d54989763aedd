#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// One running program per data folder: a lock file "zarumi.lock" in that
// folder, held while the program runs. A lock left behind by a crashed
// instance (its process is gone) does not count.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &dataFolder);

    // True when this is the only instance on the folder; the lock is then
    // held until this object goes.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
