#include "WorkerThread.h"

#include <QList>
#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWaitCondition>

#include <deque>

struct WorkerThread::Shared {
    QMutex mutex;
    QWaitCondition wake;
    std::deque<std::function<void()>> jobs;
    int running = 0;
    bool stopping = false;
    QObject* receiver = nullptr; // null once the owner stopped listening
};

class WorkerThread::Thread : public QThread {
public:
    explicit Thread(std::shared_ptr<Shared> shared)
        : m_shared(std::move(shared))
    {
    }

protected:
    void run() override
    {
        for (;;) {
            std::function<void()> job;
            {
                QMutexLocker lock(&m_shared->mutex);
                while (m_shared->jobs.empty() && !m_shared->stopping)
                    m_shared->wake.wait(&m_shared->mutex);
                if (m_shared->stopping)
                    return;
                job = std::move(m_shared->jobs.front());
                m_shared->jobs.pop_front();
                m_shared->running = 1;
            }
            job();
            QMutexLocker lock(&m_shared->mutex);
            m_shared->running = 0;
        }
    }

private:
    // Keeps the queue alive for as long as the thread runs, even when it was abandoned.
    std::shared_ptr<Shared> m_shared;
};

WorkerThread::WorkerThread(const QString& name)
    : m_shared(std::make_shared<Shared>())
    , m_thread(new Thread(m_shared))
    , m_receiver(new QObject)
{
    m_shared->receiver = m_receiver;
    m_thread->setObjectName(name);
    m_thread->start();
}

WorkerThread::~WorkerThread()
{
    stop();
    delete m_receiver; // drops answers still on their way
}

void WorkerThread::post(std::function<void()> job)
{
    QMutexLocker lock(&m_shared->mutex);
    if (m_shared->stopping)
        return;
    m_shared->jobs.push_back(std::move(job));
    m_shared->wake.wakeOne();
}

void WorkerThread::answer(std::function<void()> answer)
{
    replies()(std::move(answer));
}

WorkerThread::Reply WorkerThread::replies() const
{
    return [shared = m_shared](std::function<void()> answer) {
        // Under the lock, so the receiver cannot go away between the check and the posting.
        QMutexLocker lock(&shared->mutex);
        if (shared->receiver)
            QMetaObject::invokeMethod(shared->receiver, std::move(answer), Qt::QueuedConnection);
    };
}

int WorkerThread::pending() const
{
    QMutexLocker lock(&m_shared->mutex);
    return int(m_shared->jobs.size()) + m_shared->running;
}

void WorkerThread::keepAbandoned(QThread* thread)
{
    static QMutex mutex;
    // Never destroyed: a list freed at exit would leave the threads it holds unreachable.
    static QList<QThread*>* abandoned = new QList<QThread*>;
    QMutexLocker lock(&mutex);
    abandoned->append(thread);
}

bool WorkerThread::stop(std::chrono::milliseconds wait)
{
    if (m_stopped)
        return !m_abandoned;
    m_stopped = true;
    {
        QMutexLocker lock(&m_shared->mutex);
        m_shared->stopping = true;
        m_shared->receiver = nullptr;
        m_shared->jobs.clear();
        m_shared->wake.wakeAll();
    }
    if (m_thread->wait(QDeadlineTimer(wait))) {
        delete m_thread;
        m_thread = nullptr;
        return true;
    }
    // Stuck in a call that only the share can end: destroying a running QThread would abort
    // the program, so the thread object goes with the thread.
    m_abandoned = true;
    keepAbandoned(m_thread);
    m_thread = nullptr;
    return false;
}
