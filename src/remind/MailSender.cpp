#include "remind/MailSender.h"

#include "remind/BSMTP.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct MailSender::Worker {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<MailMessage, Done>> queue;
    bool stop = false;
    std::atomic_bool abandon = false;
    // Mails sent or waiting whose result has not reached the owner thread yet.
    std::atomic_int pending = 0;
    std::thread thread;

    void run(MailSender* owner)
    {
        for (;;) {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stop || !queue.empty(); });
            if (stop)
                return;
            auto [message, done] = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            const QString result = SendHtmlMail(message.server, message.sender, message.recipients,
                                                message.subject, message.body, {}, &abandon);
            // To the owner's thread; dropped if the owner is gone by then.
            owner->m_results.post([this, done = std::move(done), result] {
                --pending;
                if (done)
                    done(result);
            });
        }
    }
};

MailSender::MailSender(QObject* parent)
    : QObject(parent)
    , m_worker(std::make_unique<Worker>())
    , m_results(this)
{
}

MailSender::~MailSender()
{
    {
        std::lock_guard lock(m_worker->mutex);
        m_worker->stop = true;
        m_worker->queue.clear();
    }
    m_worker->abandon = true;
    m_worker->wake.notify_one();
    if (m_worker->thread.joinable())
        m_worker->thread.join();
}

void MailSender::send(const MailMessage& message, Done done)
{
    ++m_worker->pending;
    std::lock_guard lock(m_worker->mutex);
    m_worker->queue.emplace_back(message, std::move(done));
    // Started with the first mail: most sessions never send one.
    if (!m_worker->thread.joinable())
        m_worker->thread = std::thread([this] { m_worker->run(this); });
    m_worker->wake.notify_one();
}

bool MailSender::idle() const
{
    return m_worker->pending == 0;
}
