#include "threads/Mailbox.h"

#include <QMetaObject>
#include <QPointer>

#include <deque>
#include <mutex>

struct Mailbox::Queue {
    std::mutex mutex;
    std::deque<std::function<void()>> jobs;
    MailboxReceiver* receiver = nullptr; // null once the context is gone
    bool woken = false;                  // a wake-up is on its way
};

Mailbox::Mailbox(QObject* context)
    : m_queue(std::make_shared<Queue>())
{
    m_queue->receiver = new MailboxReceiver(m_queue, context);
}

void Mailbox::post(std::function<void()> job) const
{
    if (!m_queue)
        return;
    const std::lock_guard lock(m_queue->mutex);
    // Under the lock: the receiver cannot go away between the check and the wake-up.
    if (!m_queue->receiver)
        return;
    m_queue->jobs.push_back(std::move(job));
    if (!m_queue->woken) {
        m_queue->woken = true;
        // By name, so that the event is made inside Qt and holds nothing of the job's.
        QMetaObject::invokeMethod(m_queue->receiver, "drain", Qt::QueuedConnection);
    }
}

MailboxReceiver::MailboxReceiver(std::shared_ptr<Mailbox::Queue> queue, QObject* context)
    : QObject(context)
    , m_queue(std::move(queue))
{
}

MailboxReceiver::~MailboxReceiver()
{
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard lock(m_queue->mutex);
        m_queue->receiver = nullptr;
        dropped.swap(m_queue->jobs);
    }
    // What the dropped jobs hold is let go of outside the lock.
}

void MailboxReceiver::drain()
{
    std::deque<std::function<void()>> jobs;
    {
        const std::lock_guard lock(m_queue->mutex);
        jobs.swap(m_queue->jobs);
        m_queue->woken = false;
    }
    // A job may end the context, and the receiver with it: the rest then goes unrun.
    const QPointer<MailboxReceiver> alive(this);
    for (std::function<void()>& job : jobs) {
        if (!alive)
            return;
        job();
    }
}
