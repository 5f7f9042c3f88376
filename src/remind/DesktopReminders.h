#pragma once

#include "remind/ApiMCI.h"
#include "remind/MailSender.h"
#include "remind/ReminderCheck.h"

#include <QList>
#include <QPointer>

#include <functional>

class QWidget;
class form_remind;
class form_remind_list;

// Reminds on the desktop: a topmost reminder window per due appointment (with a message in
// the notification area where there is one), the sound, and the e-mail sent in the background.
// The windows cascade; once kMaxWindows are open, further reminders go to one list window
// for as long as it stays open, so a morning of many reminders does not bury the screen.
class DesktopReminders : public ReminderActions {
public:
    static constexpr int kMaxWindows = 10;
    // How far each window lies right of and below the one before it.
    static constexpr int kCascadeStep = 28;

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
    // The window listing the reminders past kMaxWindows; null while there is none.
    form_remind_list* listWindow() const;
    SoundPlayer& sound() { return m_sound; }
    MailSender& mail() { return m_mail; }

private:
    void showListed(const ClassTermin& appointment);
    // Moves the window, not shown yet, a step on from the last one placed, or to the screen's
    // top left corner when that step would leave the screen.
    void place(QWidget* window);

    const Settings& m_settings;
    Notify m_notify;
    SoundPlayer m_sound;
    MailSender m_mail;
    QList<QPointer<form_remind>> m_windows;
    QPointer<form_remind_list> m_list;
    QPointer<QWidget> m_lastPlaced;
};
