#include "DesktopReminders.h"

#include "ClassTermin.h"
#include "Common.h"
#include "Settings.h"
#include "TopMost.h"
#include "form_remind.h"

DesktopReminders::DesktopReminders(const Settings& settings, Notify notify)
    : m_settings(settings)
    , m_notify(std::move(notify))
{
}

DesktopReminders::~DesktopReminders()
{
    for (const QPointer<form_remind>& window : std::as_const(m_windows))
        delete window.data();
}

void DesktopReminders::showWindow(const ClassTermin& appointment)
{
    auto* window = new form_remind(m_settings, m_sound);
    window->ShowData(appointment);
    window->show();
    MakeTopMost(window);
    m_windows.removeAll(nullptr);
    m_windows << window;
    if (m_notify) {
        const QString firstLine =
            appointment.Text().section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
        m_notify(window->windowTitle(),
                 FormatTime(appointment.StartTime(), m_settings.TimeFormat()) + QLatin1Char(' ') +
                     firstLine);
    }
}

void DesktopReminders::playSound(const QString& soundFile)
{
    m_sound.PlaySoundFile(soundFile);
}

void DesktopReminders::sendMail(const MailMessage& message)
{
    m_mail.send(message); // nobody is told: a reminder mail that fails stays unreported
}

QList<form_remind*> DesktopReminders::windows() const
{
    QList<form_remind*> open;
    for (const QPointer<form_remind>& window : m_windows)
        if (window)
            open << window.data();
    return open;
}
