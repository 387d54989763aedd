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
class DropIntakeRunner : public QObject
{
    Q_OBJECT

public:
    explicit DropIntakeRunner(QObject *parent = nullptr);
    ~DropIntakeRunner() override;

    void enqueue(const QList<FilePath> &paths);
    bool isRunning() const { return m_running; }
    // Drops what is still to come and waits for the probe in progress.
    void stop();

Q_SIGNALS:
    // A drop of total paths begins.
    void dropStarted(qsizetype total);
    // Results of files first .. first + results.size() - 1 (0-based).
    void filesProbed(const QList<ProbeResult> &results, qsizetype first, qsizetype total);
    void dropFinished(qsizetype total);

private:
    void startNext();
    void work(QList<FilePath> paths);
    void deliver();
    void join();

    std::deque<QList<FilePath>> m_waiting;
    std::thread m_thread;
    std::atomic<bool> m_cancel { false };
    bool m_running = false;
    qsizetype m_total = 0;
    qsizetype m_delivered = 0;

    std::mutex m_mutex;
    QList<ProbeResult> m_ready; // guarded by m_mutex
    bool m_deliveryPosted = false; // guarded by m_mutex
};
