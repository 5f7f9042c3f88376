#include "ClassTermin.h"

#include "Recurrence.h"

bool IsRecurringPath(const QString& path)
{
    return Recurrence::ofPath(path) != Recurrence::Kind::None;
}

void ClassTermin::setFilename(const QString& path)
{
    m_filename = path;
    if (IsRecurringPath(path))
        m_isRecurring = true;
}

QString ClassTermin::GetFormatedText() const
{
    QString prefix;
    if (m_isReminder)
        prefix += QLatin1String("[!] ");
    if (m_isRecurring)
        prefix += QLatin1String("[>>] ");
    return prefix + m_text;
}

namespace {

int minuteOfDay(QTime time)
{
    return time.hour() * 60 + time.minute();
}

} // namespace

bool ClassTermin::RemindsUser(const QString& login) const
{
    return m_isReminder && (m_reminderAll || login == m_producer);
}

bool ClassTermin::CheckReminder(const QString& login, QTime now) const
{
    if (!RemindsUser(login))
        return false;
    const int start = m_startTime.minutes() % (24 * 60);
    const int remindAt = ((start - m_remindMinutes) % (24 * 60) + 24 * 60) % (24 * 60);
    const int current = minuteOfDay(now);
    return current > remindAt && current < start;
}

bool ClassTermin::IsDueTheEveningBefore(const QString& login, QTime now) const
{
    if (!RemindsUser(login))
        return false;
    // Minutes counted from tonight's midnight: the reminder time is negative when it falls
    // on the evening before.
    const int remindAt = m_startTime.minutes() % (24 * 60) - m_remindMinutes;
    return remindAt < 0 && minuteOfDay(now) - 24 * 60 > remindAt;
}
