#include "remind/MailSender.h"

#include "remind/BSMTP.h"
#include "threads/WorkerThread.h"

#include <chrono>

MailSender::MailSender(QObject* parent)
    : QObject(parent)
    , m_abandon(std::make_shared<std::atomic_bool>(false))
{
}

MailSender::~MailSender()
{
    if (!m_worker)
        return;
    // The mail being sent gives up at once; those waiting are dropped with the worker's queue.
    m_abandon->store(true);
    m_worker->stop(std::chrono::hours(1));
}

void MailSender::send(const MailMessage& message, Done done)
{
    ++m_pending;
    if (!m_worker)
        m_worker = std::make_unique<WorkerThread>(QStringLiteral("Norvane mail"));
    const auto taken = [this, done = std::move(done)](const QString& result) {
        --m_pending;
        if (done)
            done(result);
    };
    m_worker->post([message, abandon = m_abandon, reply = m_worker->replies(), taken] {
        const QString result = SendHtmlMail(message.server, message.sender, message.recipients,
                                            message.subject, message.body, {}, abandon.get());
        reply([taken, result] { taken(result); });
    });
}

bool MailSender::idle() const
{
    return m_pending == 0;
}
