#include "remind/DesktopReminders.h"

#include "calendar/Formats.h"
#include "remind/form_remind.h"
#include "remind/form_remind_list.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"
#include "ui/TopMost.h"

#include <QGuiApplication>
#include <QScreen>

DesktopReminders::DesktopReminders(const Settings& settings, Notify notify)
    : m_settings(settings)
    , m_notify(std::move(notify))
{
}

DesktopReminders::~DesktopReminders()
{
    for (const QPointer<form_remind>& window : std::as_const(m_windows))
        delete window.data();
    delete m_list.data();
}

void DesktopReminders::showWindow(const ClassTermin& appointment)
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
    if (m_notify) {
        const QString firstLine =
            appointment.Text().section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
        m_notify(shown->windowTitle(),
                 FormatTime(appointment.StartTime(), m_settings.TimeFormat()) + QLatin1Char(' ') +
                     firstLine);
    }
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
