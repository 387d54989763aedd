#include "DropIntakeRunner.h"

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
    m_waiting.push_back(paths);
    if (!m_running)
        startNext();
}

void DropIntakeRunner::startNext()
{
    join();
    if (m_waiting.empty())
        return;
    const QList<FilePath> paths = m_waiting.front();
    m_waiting.pop_front();
    m_running = true;
    m_total = paths.size();
    m_delivered = 0;
    m_cancel = false;
    Q_EMIT dropStarted(m_total);
    if (m_total == 0) {
        m_running = false;
        Q_EMIT dropFinished(0);
        startNext();
        return;
    }
    m_thread = std::thread([this, paths] { work(paths); });
}

void DropIntakeRunner::work(QList<FilePath> paths)
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
    if (m_delivered == m_total) {
        m_running = false;
        const qsizetype total = m_total;
        join();
        Q_EMIT dropFinished(total);
        startNext();
    }
}

void DropIntakeRunner::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void DropIntakeRunner::stop()
{
    m_waiting.clear();
    m_cancel = true;
    join();
    m_running = false;
    std::lock_guard lock(m_mutex);
    m_ready.clear();
}
