#include "store/ClassTermin.h"

#include "store/Recurrence.h"

#include <QCoreApplication>

#include <algorithm>

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

QString ClassTermin::cappedText(const QString& text, bool* cut)
{
    // A UTF-16 unit takes at most three bytes of UTF-8: most texts need no conversion.
    const bool longer = text.size() * 3 > kMaxTextBytes && text.toUtf8().size() > kMaxTextBytes;
    if (cut)
        *cut = longer;
    if (!longer)
        return text;
    const QByteArray utf8 = text.toUtf8();
    qsizetype length = kMaxTextBytes;
    while (length > 0 && (uchar(utf8[length]) & 0xC0) == 0x80)
        --length; // never inside a character
    return QString::fromUtf8(utf8.left(length));
}

QString ClassTermin::TextWithLocation() const
{
    if (m_location.isEmpty())
        return m_text;
    return m_text + QLatin1String("\r\n") +
           QCoreApplication::translate("ClassTermin", "Location: %1").arg(m_location);
}

QString ClassTermin::GetFormatedText() const
{
    QString prefix;
    if (m_isReminder)
        prefix += QLatin1String("[!] ");
    if (repeats())
        prefix += QLatin1String("[>>] ");
    return prefix + TextWithLocation();
}

namespace {

constexpr int kMinutesPerDay = 24 * 60;

// Minutes counted from a fixed day as the wall clock shows them: a change to or from summer
// time moves no reminder.
qint64 wallClockMinute(const QDate& day, int minuteOfDay)
{
    return day.toJulianDay() * kMinutesPerDay + minuteOfDay;
}

} // namespace

bool ClassTermin::Concerns(const QString& login) const
{
    return login == m_producer || m_forUsers.contains(login);
}

bool ClassTermin::RemindsUser(const QString& login) const
{
    return m_isReminder && (m_reminderAll || Concerns(login));
}

bool ClassTermin::CheckReminder(const QString& login, const QDate& day, const QDateTime& now) const
{
    if (!RemindsUser(login))
        return false;
    const qint64 start = wallClockMinute(day, m_startTime.minutes() % kMinutesPerDay);
    const qint64 current =
        wallClockMinute(now.date(), now.time().hour() * 60 + now.time().minute());
    const int lead = std::clamp(int(m_remindMinutes), 0, kMaxRemindMinutes);
    // From the reminder's own minute on: a reminder for 06:05 shows at 06:05.
    return current >= start - lead && current < start;
}
