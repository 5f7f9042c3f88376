#pragma once

#include <QDeadlineTimer>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QObject;
class QThread;

// A thread of its own for work that may wait on a share: jobs run one after another, off the
// window's thread, and their answers come back on the thread that made the worker. Ending it
// never waits longer than asked: a job stuck in the kernel on a share that stopped answering
// is abandoned together with its thread, never waited for.
class WorkerThread {
public:
    explicit WorkerThread(const QString& name);
    // Stops with kStopWait; see stop().
    ~WorkerThread();

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    static constexpr std::chrono::milliseconds kStopWait{1500};

    // Runs job on the worker's thread after the jobs posted before it.
    void post(std::function<void()> job);
    // Runs answer on the owner's thread, soon; nothing once the worker has been stopped.
    // Callable from any thread, the worker's own in particular.
    void answer(std::function<void()> answer);
    // The same for a job to take along: it stays valid after the worker object is gone (a job
    // abandoned on a stalled share may still finish), and then answers nothing.
    using Reply = std::function<void(std::function<void()>)>;
    Reply replies() const;
    // Where a job hands its results back as values, handled on the owner's thread: the job
    // takes the inbox along and nothing of its owner.
    template <typename Message> class Inbox;
    template <typename Message>
    Inbox<Message> inbox(std::function<void(const Message&)> handler) const;

    // Jobs posted and not finished yet, the running one included.
    int pending() const;

    // Lets the jobs posted run for up to wait, then stops with what is left of it: what was
    // asked for last before the end (a save at exit) is done unless the share holds it up.
    bool finish(std::chrono::milliseconds wait = kStopWait);
    // Drops the jobs not yet started and waits up to wait for the running one. False when it
    // is still running: the thread is then left to end on its own (it never answers again).
    bool stop(std::chrono::milliseconds wait = kStopWait);
    // True once a stop had to leave a job running.
    bool abandoned() const { return m_abandoned; }

    // Keeps a thread that had to be left running on a share: it may end one day, but is
    // never deleted (a running QThread must not be), and stays reachable, so it is no leak.
    static void keepAbandoned(QThread* thread);
    // Waits until every thread left running that way has ended, or the deadline has passed;
    // whether they all ended. A test ends only after them.
    static bool waitForAbandoned(QDeadlineTimer deadline);

private:
    struct Shared;
    class Thread;

    std::shared_ptr<Shared> m_shared;
    Thread* m_thread;    // owned unless abandoned
    QObject* m_receiver; // lives on the owner's thread
    bool m_stopped = false;
    bool m_abandoned = false;
};

template <typename Message> class WorkerThread::Inbox {
public:
    Inbox() = default; // sends nowhere
    Inbox(Reply reply, std::function<void(const Message&)> handler)
        : m_reply(std::move(reply))
        , m_handler(std::make_shared<const std::function<void(const Message&)>>(std::move(handler)))
    {
    }
    // Callable from any thread; the handler runs on the owner's, unless the worker stopped.
    void send(Message message) const
    {
        if (m_reply)
            m_reply([handler = m_handler, message = std::move(message)] { (*handler)(message); });
    }

private:
    Reply m_reply;
    std::shared_ptr<const std::function<void(const Message&)>> m_handler;
};

template <typename Message>
WorkerThread::Inbox<Message> WorkerThread::inbox(std::function<void(const Message&)> handler) const
{
    return Inbox<Message>(replies(), std::move(handler));
}
