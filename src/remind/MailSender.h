#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class WorkerThread;

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
// Destroying the sender abandons the mail being sent and those waiting, and waits for the
// thread to end: no callback runs afterwards and no thread outlives it.
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
    std::shared_ptr<std::atomic_bool> m_abandon;
    int m_pending = 0;                      // sent or waiting, the result not taken yet
    std::unique_ptr<WorkerThread> m_worker; // made with the first mail: most sessions send none
};
