#include "remind/DesktopReminders.h"

#include "calendar/Formats.h"
#include "remind/DesktopNotifications.h"
#include "remind/form_remind.h"
#include "remind/form_remind_list.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"
#include "store/TimeRangeText.h"
#include "ui/TopMost.h"

#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QTimer>

namespace {

const char* const kContext = "DesktopReminders";

QString firstLine(const QString& text)
{
    return text.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
}

// Only what markup would take for its own; a service that reads none shows the text as it is.
QString escapedForMarkup(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
}

// The reminder window's title over the day, the times and the text, as the service reads them.
DesktopNotifications::Notification notificationOf(const ClassTermin& appointment, const QDate& day,
                                                  const Settings& settings, bool markup)
{
    const QString lang = settings.LangCode();
    QString body =
        FormatDate(day, settings.DateFormat()) + QLatin1Char(' ') +
        TimeRangeText(appointment, settings.TimeFormat(), lang) + QLatin1Char('\n') +
        appointment.TextWithLocation().replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (markup)
        body = escapedForMarkup(body);
    const auto text = [&lang](const char* source) {
        return Language::translate(kContext, source, lang);
    };
    const QString open = text(QT_TRANSLATE_NOOP("DesktopReminders", "Open"));
    const QStringList actions{
        QLatin1String(DesktopReminders::kSnoozeKey),
        text(QT_TRANSLATE_NOOP("DesktopReminders", "Remind again in 5 minutes")),
        QLatin1String(DesktopReminders::kOpenKey),
        open,
        QLatin1String(DesktopReminders::kDefaultKey),
        open};
    return {form_remind::title(lang), body, actions};
}

} // namespace

DesktopReminders::DesktopReminders(const Settings& settings, TrayMessage trayMessage,
                                   DesktopNotifications* notifications)
    : m_settings(settings)
    , m_trayMessage(std::move(trayMessage))
    , m_notifications(notifications)
    , m_context(std::make_unique<QObject>())
{
    QObject* context = m_context.get();
    m_delay = [context](int seconds, std::function<void()> then) {
        QTimer::singleShot(seconds * 1000, context, std::move(then));
    };
    if (!m_notifications)
        return;
    QObject::connect(m_notifications, &DesktopNotifications::serviceChanged, context,
                     [this] { decideWaiting(); });
    QObject::connect(m_notifications, &DesktopNotifications::notificationsLost, context,
                     [this] { remindLostAgain(); });
    QObject::connect(m_notifications, &DesktopNotifications::actionInvoked, context,
                     [this](uint id, const QString& key) { answered(id, key); });
    QObject::connect(m_notifications, &DesktopNotifications::closed, context,
                     [this](uint id, uint reason) { closedOnDesktop(id, reason); });
}

DesktopReminders::~DesktopReminders()
{
    for (const QPointer<form_remind>& window : std::as_const(m_windows))
        delete window.data();
    delete m_list.data();
    for (auto it = m_notified.cbegin(); it != m_notified.cend(); ++it)
        m_notifications->close(it.key());
}

ReminderRoute::Service DesktopReminders::service() const
{
    return m_notifications ? m_notifications->service() : ReminderRoute::Service::Absent;
}

void DesktopReminders::showReminder(const ClassTermin& appointment, const QDate& day)
{
    take(
        ReminderRoute::decide(m_settings.ShowWindow(), m_settings.DesktopNotification(), service()),
        {appointment, day});
}

void DesktopReminders::take(const ReminderRoute::Route& route, const Due& due)
{
    if (route.wait)
        m_waiting << due;
    if (route.notify)
        notify(due);
    if (route.window)
        showWindow(due.appointment, route.trayMessage);
}

void DesktopReminders::notify(const Due& due)
{
    m_notifications->notify(
        notificationOf(due.appointment, due.day, m_settings, m_notifications->readsMarkup()),
        m_context.get(), [this, due](std::optional<uint> id) {
            if (id)
                m_notified.insert(*id, due);
            else
                take(ReminderRoute::decide(m_settings.ShowWindow(),
                                           m_settings.DesktopNotification(),
                                           ReminderRoute::Service::Absent),
                     due);
        });
}

void DesktopReminders::answered(uint id, const QString& key)
{
    const auto it = m_notified.constFind(id);
    if (it == m_notified.cend())
        return; // another program's
    const Due due = *it;
    const bool snooze = key == QLatin1String(kSnoozeKey);
    if (!snooze && key != QLatin1String(kOpenKey) && key != QLatin1String(kDefaultKey))
        return;
    // Answered: a service that keeps it would show an answer that does nothing any more.
    m_notified.erase(it);
    m_notifications->close(id);
    if (!snooze) {
        if (m_open)
            m_open(due.appointment, due.day);
        return;
    }
    m_delay(kSnoozeSeconds, [this, due] {
        // As the window comes back: with the sound.
        if (m_settings.PlaySound())
            playSound(m_settings.SoundFile());
        showReminder(due.appointment, due.day);
    });
}

void DesktopReminders::closedOnDesktop(uint id, uint reason)
{
    const auto it = m_notified.constFind(id);
    if (it == m_notified.cend())
        return; // another program's, or answered already
    const Due due = *it;
    m_notified.erase(it);
    take(ReminderRoute::decideClosed(m_settings.ShowWindow(), m_settings.DesktopNotification(),
                                     reason),
         due);
}

void DesktopReminders::decideWaiting()
{
    if (service() == ReminderRoute::Service::Unknown)
        return;
    for (const Due& due : std::exchange(m_waiting, {}))
        showReminder(due.appointment, due.day);
}

void DesktopReminders::remindLostAgain()
{
    const QList<Due> lost = m_notified.values();
    m_notified.clear();
    for (const Due& due : lost)
        showReminder(due.appointment, due.day);
}

void DesktopReminders::showWindow(const ClassTermin& appointment, bool trayMessage)
{
    m_windows.removeAll(nullptr);
    QWidget* shown = nullptr;
    if (m_list || m_windows.size() >= kMaxWindows) {
        showListed(appointment);
        shown = m_list;
    } else {
        auto* window = new form_remind(m_settings, m_sound);
        window->ShowData(appointment);
        place(window);
        window->show();
        MakeTopMost(window);
        m_windows << window;
        shown = window;
    }
    if (trayMessage && m_trayMessage)
        m_trayMessage(shown->windowTitle(),
                      FormatTime(appointment.StartTime(), m_settings.TimeFormat()) +
                          QLatin1Char(' ') + firstLine(appointment.Text()));
}

void DesktopReminders::showListed(const ClassTermin& appointment)
{
    if (!m_list) {
        m_list = new form_remind_list(m_settings);
        m_list->add(appointment);
        m_list->adjustSize();
        place(m_list);
        m_list->show();
    } else {
        m_list->add(appointment);
        m_list->show();
    }
    MakeTopMost(m_list);
}

void DesktopReminders::place(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->size();
    const QPoint step(kCascadeStep, kCascadeStep);
    // The first place leaves room for a full cascade around the middle of the screen.
    const QPoint first =
        area.center() - QPoint(size.width(), size.height()) / 2 - step * (kMaxWindows - 1) / 2;
    QPoint at = m_lastPlaced ? m_lastPlaced->pos() + step : first;
    if (!area.contains(QRect(at, size)))
        at = m_lastPlaced ? area.topLeft() : first;
    // A window larger than the screen keeps its top left corner on it.
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - size.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - size.height())));
    window->move(at);
    m_lastPlaced = window;
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

// Here, not in the header: the pointer needs the whole class.
form_remind_list* DesktopReminders::listWindow() const
{
    return m_list.data();
}
