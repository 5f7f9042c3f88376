#include "threads/WorkerThread.h"

#include "threads/Mailbox.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

// The queue's lock and its wake-up are the standard library's: a race checker sees them, as it
// cannot see Qt's wait condition, which unlocks and locks inside Qt.
struct WorkerThread::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle; // the queue ran empty
    std::deque<std::function<void()>> jobs;
    int running = 0;
    bool stopping = false;
    Mailbox answers; // posts nowhere once the owner stopped listening
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
                std::unique_lock lock(m_shared->mutex);
                m_shared->wake.wait(lock,
                                    [&] { return !m_shared->jobs.empty() || m_shared->stopping; });
                if (m_shared->stopping)
                    return;
                job = std::move(m_shared->jobs.front());
                m_shared->jobs.pop_front();
                m_shared->running = 1;
            }
            job();
            const std::lock_guard lock(m_shared->mutex);
            m_shared->running = 0;
            if (m_shared->jobs.empty())
                m_shared->idle.notify_all();
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
    m_shared->answers = Mailbox(m_receiver);
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
    const std::lock_guard lock(m_shared->mutex);
    if (m_shared->stopping)
        return;
    m_shared->jobs.push_back(std::move(job));
    m_shared->wake.notify_one();
}

void WorkerThread::answer(std::function<void()> answer)
{
    replies()(std::move(answer));
}

WorkerThread::Reply WorkerThread::replies() const
{
    return [shared = m_shared](std::function<void()> answer) {
        // Under the lock, so that nothing is posted once stop() has returned.
        const std::lock_guard lock(shared->mutex);
        shared->answers.post(std::move(answer));
    };
}

int WorkerThread::pending() const
{
    const std::lock_guard lock(m_shared->mutex);
    return int(m_shared->jobs.size()) + m_shared->running;
}

namespace {

struct Abandoned {
    QMutex mutex;
    QList<QThread*> threads;
};

Abandoned& abandonedThreads()
{
    // Never destroyed: a list freed at exit would leave the threads it holds unreachable.
    static Abandoned* abandoned = new Abandoned;
    return *abandoned;
}

} // namespace

void WorkerThread::keepAbandoned(QThread* thread)
{
    Abandoned& abandoned = abandonedThreads();
    QMutexLocker lock(&abandoned.mutex);
    abandoned.threads.append(thread);
}

bool WorkerThread::waitForAbandoned(QDeadlineTimer deadline)
{
    QList<QThread*> threads;
    {
        Abandoned& abandoned = abandonedThreads();
        QMutexLocker lock(&abandoned.mutex);
        threads = abandoned.threads;
    }
    // Never deleted, so each may be waited for outside the lock.
    return std::all_of(threads.cbegin(), threads.cend(),
                       [&deadline](QThread* thread) { return thread->wait(deadline); });
}

bool WorkerThread::finish(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    if (!m_stopped) {
        std::unique_lock lock(m_shared->mutex);
        m_shared->idle.wait_until(
            lock, deadline, [this] { return m_shared->jobs.empty() && m_shared->running == 0; });
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return stop(std::max(left, std::chrono::milliseconds(0)));
}

bool WorkerThread::stop(std::chrono::milliseconds wait)
{
    if (m_stopped)
        return !m_abandoned;
    m_stopped = true;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->stopping = true;
        m_shared->answers = Mailbox();
        m_shared->jobs.clear();
        m_shared->wake.notify_all();
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
