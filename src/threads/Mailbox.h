#pragma once

#include <QObject>

#include <functional>
#include <memory>

// Jobs handed to the thread of a context object, run there by its event loop in the order they
// were posted, for as long as the context lives. The jobs pass through a queue under a
// standard-library lock, so what a job carries is handed over where a race checker sees it; the
// event that wakes the thread carries nothing. A copy posts to the same queue, safely from any
// thread and after the context is gone (the job is then dropped).
class Mailbox {
public:
    Mailbox() = default; // posts nowhere
    // The mailbox of context's thread; made on that thread (or before context moves there).
    explicit Mailbox(QObject* context);

    // Never runs the job at once, even when called on the context's thread.
    void post(std::function<void()> job) const;

    struct Queue;

private:
    std::shared_ptr<Queue> m_queue;
};

// The receiving end: a child of the context, so it lives on the context's thread and goes with
// it. Only for the mailbox itself.
class MailboxReceiver : public QObject {
    Q_OBJECT

public:
    MailboxReceiver(std::shared_ptr<Mailbox::Queue> queue, QObject* context);
    ~MailboxReceiver() override;

    Q_INVOKABLE void drain();

private:
    std::shared_ptr<Mailbox::Queue> m_queue;
};
