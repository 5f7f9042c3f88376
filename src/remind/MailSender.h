#pragma once

#include "threads/Mailbox.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// One e-mail as SendHtmlMail takes it.
struct MailMessage {
    QString server;
    QString sender;
    QString recipients; // TAB-separated
    QString subject;
    QString body;
};

// Sends e-mails one after the other on a thread of its own, so the window never waits for a
// server. Each result reaches its callback on the thread that owns the sender (empty: sent).
// Destroying the sender abandons the mail being sent and those waiting, and joins the thread:
// no callback runs afterwards and no thread outlives it.
class MailSender : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const QString& result)>;

    explicit MailSender(QObject* parent = nullptr);
    ~MailSender() override;

    void send(const MailMessage& message, Done done = {});
    // No mail waiting or being sent.
    bool idle() const;

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
    Mailbox m_results;
};
