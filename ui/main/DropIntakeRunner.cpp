// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#include "DropIntakeRunner.h"

#include "FolderWalk.h"

#include <QMetaObject>

DropIntakeRunner::DropIntakeRunner(QObject *parent)
    : QObject(parent)
{ }

DropIntakeRunner::~DropIntakeRunner()
{
    stop();
}

void DropIntakeRunner::enqueue(const QList<FilePath> &paths)
{
    m_waiting.push_back(Job { paths, QString(), false });
    if (!m_running)
        startNext();
}

void DropIntakeRunner::enqueueFolder(const QString &folder)
{
    m_waiting.push_back(Job { {}, folder, true });
    if (!m_running)
        startNext();
}

void DropIntakeRunner::startNext()
{
    join();
    if (m_waiting.empty())
        return;
    m_job = m_waiting.front();
    m_waiting.pop_front();
    const quint64 id = ++m_jobId;
    m_running = true;
    m_total = m_job.paths.size();
    m_delivered = 0;
    m_skippedFolders = 0;
    m_walkCancelled = false;
    m_cancel = false;
    if (m_job.isFolder) {
        Q_EMIT folderStarted(m_job.folder);
    } else {
        Q_EMIT dropStarted(m_total);
        if (m_total == 0) {
            finish();
            return;
        }
    }
    m_thread = std::thread([this, job = m_job, id] { work(job, id); });
}

void DropIntakeRunner::work(Job job, quint64 id)
{
    if (job.isFolder) {
        const FolderWalk::Result listing = FolderWalk().run(job.folder, &m_cancel);
        for (const QString &file : listing.files)
            job.paths.push_back(FilePath(file));
        QMetaObject::invokeMethod(
            this,
            [this, id, total = listing.files.size(), skipped = listing.skippedFolders, cancelled = listing.cancelled] {
                onCounted(id, total, skipped, cancelled);
            },
            Qt::QueuedConnection);
    }
    probeAll(job.paths);
    QMetaObject::invokeMethod(
        this, [this, id] { onWorkEnded(id); }, Qt::QueuedConnection);
}

void DropIntakeRunner::probeAll(const QList<FilePath> &paths)
{
    for (const FilePath &path : paths) {
        if (m_cancel)
            return;
        ProbeResult result = ProbeFile(path);
        std::lock_guard lock(m_mutex);
        m_ready.append(std::move(result));
        if (!m_deliveryPosted) {
            m_deliveryPosted = true;
            QMetaObject::invokeMethod(this, &DropIntakeRunner::deliver, Qt::QueuedConnection);
        }
    }
}

void DropIntakeRunner::onCounted(quint64 id, qsizetype total, int skipped, bool cancelled)
{
    if (!m_running || id != m_jobId)
        return;
    m_total = total;
    m_skippedFolders = skipped;
    m_walkCancelled = cancelled;
    if (!cancelled)
        Q_EMIT dropStarted(total);
}

void DropIntakeRunner::onWorkEnded(quint64 id)
{
    if (!m_running || id != m_jobId)
        return;
    deliver(); // whatever was probed before a cancel
    finish();
}

void DropIntakeRunner::deliver()
{
    QList<ProbeResult> results;
    {
        std::lock_guard lock(m_mutex);
        results.swap(m_ready);
        m_deliveryPosted = false;
    }
    if (!m_running || results.isEmpty())
        return;
    const qsizetype first = m_delivered;
    m_delivered += results.size();
    Q_EMIT filesProbed(results, first, m_total);
}

void DropIntakeRunner::finish()
{
    m_running = false;
    join();
    if (m_job.isFolder) {
        const bool cancelled = m_walkCancelled || m_delivered < m_total;
        Q_EMIT folderFinished(FolderSummary { m_delivered, m_skippedFolders, cancelled });
    } else {
        Q_EMIT dropFinished(m_total);
    }
    startNext();
}

void DropIntakeRunner::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void DropIntakeRunner::cancelFolder()
{
    if (isFolderRunning())
        m_cancel = true;
}

void DropIntakeRunner::stop()
{
    m_waiting.clear();
    m_cancel = true;
    join();
    m_running = false;
    ++m_jobId; // what the worker posted is no longer for anyone
    std::lock_guard lock(m_mutex);
    m_ready.clear();
}
