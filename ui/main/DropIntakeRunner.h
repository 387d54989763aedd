// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 The Zarumi developers
#pragma once

#include "ProbeFile.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

// Probes the files of a drop on a worker thread, one file at a time in drop
// order, and hands the results to the window in that order, so that the
// window stays responsive while a slow file is probed. A drop that arrives
// while another runs waits until that one has ended.
//
// A folder add runs the same way, after the folder has been walked on the
// worker thread to count its files; it can be cancelled, and the files
// probed until then are still handed over.
class DropIntakeRunner : public QObject
{
    Q_OBJECT

public:
    struct FolderSummary
    {
        qsizetype added = 0;
        int skippedFolders = 0;
        bool cancelled = false;
    };

    explicit DropIntakeRunner(QObject *parent = nullptr);
    ~DropIntakeRunner() override;

    void enqueue(const QList<FilePath> &paths);
    void enqueueFolder(const QString &folder);
    bool isRunning() const { return m_running; }
    bool isFolderRunning() const { return m_running && m_job.isFolder; }
    // Ends the folder add in progress (nothing else): its walk or probing
    // stops after the current file.
    void cancelFolder();
    // Drops what is still to come and waits for the probe in progress.
    void stop();

Q_SIGNALS:
    // A folder add begins: its files are being counted.
    void folderStarted(const QString &folder);
    // A drop of total paths begins (for a folder: once counted).
    void dropStarted(qsizetype total);
    // Results of files first .. first + results.size() - 1 (0-based).
    void filesProbed(const QList<ProbeResult> &results, qsizetype first, qsizetype total);
    void dropFinished(qsizetype total);
    void folderFinished(const DropIntakeRunner::FolderSummary &summary);

private:
    struct Job
    {
        QList<FilePath> paths;
        QString folder;
        bool isFolder = false;
    };

    void startNext();
    void work(Job job, quint64 id);
    void probeAll(const QList<FilePath> &paths);
    void onCounted(quint64 id, qsizetype total, int skipped, bool cancelled);
    void onWorkEnded(quint64 id);
    void deliver();
    void finish();
    void join();

    std::deque<Job> m_waiting;
    Job m_job;
    quint64 m_jobId = 0;
    std::thread m_thread;
    std::atomic<bool> m_cancel { false };
    bool m_running = false;
    qsizetype m_total = 0;
    qsizetype m_delivered = 0;
    int m_skippedFolders = 0;
    bool m_walkCancelled = false;

    std::mutex m_mutex;
    QList<ProbeResult> m_ready; // guarded by m_mutex
    bool m_deliveryPosted = false; // guarded by m_mutex
};
