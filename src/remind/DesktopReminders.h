#pragma once

#include "remind/ApiMCI.h"
#include "remind/MailSender.h"
#include "remind/ReminderCheck.h"
#include "remind/ReminderRoute.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

class DesktopNotifications;
class QObject;
class QWidget;
class form_remind;
class form_remind_list;

// Reminds on the desktop: a notification of the desktop's notification service where the
// settings want one and the service can take it, otherwise a topmost reminder window per due
// appointment (with a message in the notification area where there is one); the sound, and
// the e-mail sent in the background.
// The windows cascade; once kMaxWindows are open, further reminders go to one list window
// for as long as it stays open, so a morning of many reminders does not bury the screen.
// A notification offers to remind again in five minutes and to open the appointment.
class DesktopReminders : public ReminderActions {
public:
    static constexpr int kMaxWindows = 10;
    // How far each window lies right of and below the one before it.
    static constexpr int kCascadeStep = 28;
    // "Remind again in 5 minutes" of a notification.
    static constexpr int kSnoozeSeconds = 300;
    // The keys of a notification's actions; "default" is the click on the notification.
    static constexpr char kSnoozeKey[] = "snooze";
    static constexpr char kOpenKey[] = "open";
    static constexpr char kDefaultKey[] = "default";

    // Shows a message in the notification area: title, text. Empty where there is none.
    using TrayMessage = std::function<void(const QString&, const QString&)>;
    // Shows the appointment of a notification's "Open", reminded on day.
    using Open = std::function<void(const ClassTermin& appointment, const QDate& day)>;
    // Runs then once seconds have passed (a single-shot timer); tests pass their own.
    using Delay = std::function<void(int seconds, std::function<void()> then)>;

    // notifications is the desktop's service (it must outlive this); without one, reminders
    // show as windows.
    explicit DesktopReminders(const Settings& settings, TrayMessage trayMessage = {},
                              DesktopNotifications* notifications = nullptr);
    // Closes the reminder windows and notifications still open and abandons the mail being
    // sent.
    ~DesktopReminders() override;

    void setOpen(Open open) { m_open = std::move(open); }
    void setDelay(Delay delay) { m_delay = std::move(delay); }

    void showReminder(const ClassTermin& appointment, const QDate& day) override;
    void playSound(const QString& soundFile) override;
    void sendMail(const MailMessage& message) override;

    // The reminder windows still open or waiting for their delay, oldest first.
    QList<form_remind*> windows() const;
    // The window listing the reminders past kMaxWindows; null while there is none.
    form_remind_list* listWindow() const;
    // The notifications on the desktop, and the reminders waiting for the service to answer.
    int notificationsShown() const { return int(m_notified.size()); }
    int waiting() const { return int(m_waiting.size()); }
    SoundPlayer& sound() { return m_sound; }
    MailSender& mail() { return m_mail; }

private:
    struct Due {
        ClassTermin appointment;
        QDate day;
    };

    ReminderRoute::Service service() const;
    void take(const ReminderRoute::Route& route, const Due& due);
    void notify(const Due& due);
    void answered(uint id, const QString& key);
    // Closed on the desktop: answered by the user, or else brought back as the window.
    void closedOnDesktop(uint id, uint reason);
    // Once the service has answered, the reminders that waited for it.
    void decideWaiting();
    // The notifications gone with the service that showed them, reminded again.
    void remindLostAgain();
    void showWindow(const ClassTermin& appointment, bool trayMessage);
    void showListed(const ClassTermin& appointment);
    // Moves the window, not shown yet, a step on from the last one placed, or to the screen's
    // top left corner when that step would leave the screen.
    void place(QWidget* window);

    const Settings& m_settings;
    TrayMessage m_trayMessage;
    DesktopNotifications* m_notifications;
    Open m_open;
    Delay m_delay;
    SoundPlayer m_sound;
    MailSender m_mail;
    QList<QPointer<form_remind>> m_windows;
    QPointer<form_remind_list> m_list;
    QPointer<QWidget> m_lastPlaced;
    QHash<uint, Due> m_notified; // by the service's id
    QList<Due> m_waiting;
    // The receiver of the service's answers and of the delays: they end with this.
    std::unique_ptr<QObject> m_context;
};
