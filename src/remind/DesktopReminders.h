#pragma once

#include "ApiMCI.h"
#include "MailSender.h"
#include "ReminderCheck.h"

#include <QList>
#include <QPointer>

#include <functional>

class form_remind;

// Reminds on the desktop: a topmost reminder window per due appointment (with a message in
// the notification area where there is one), the sound, and the e-mail sent in the background.
class DesktopReminders : public ReminderActions {
public:
    // Shows a message in the notification area: title, text. Empty where there is none.
    using Notify = std::function<void(const QString&, const QString&)>;

    explicit DesktopReminders(const Settings& settings, Notify notify = {});
    // Closes the reminder windows still open and abandons the mail being sent.
    ~DesktopReminders() override;

    void showWindow(const ClassTermin& appointment) override;
    void playSound(const QString& soundFile) override;
    void sendMail(const MailMessage& message) override;

    // The reminder windows still open or waiting for their delay, oldest first.
    QList<form_remind*> windows() const;
    SoundPlayer& sound() { return m_sound; }
    MailSender& mail() { return m_mail; }

private:
    const Settings& m_settings;
    Notify m_notify;
    SoundPlayer m_sound;
    MailSender m_mail;
    QList<QPointer<form_remind>> m_windows;
};
