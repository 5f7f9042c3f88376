#include "IcsSupport.h"

#include "Common.h"

namespace Ics {

void prepareLibrary()
{
    icalerror_set_errors_are_fatal(0);
}

bool appliesOn(Recurrence::Kind kind, const QDate& pattern, const QDate& date)
{
    switch (kind) {
    case Recurrence::Kind::None:
        return date == pattern;
    case Recurrence::Kind::Daily:
        return true;
    case Recurrence::Kind::Weekly:
        return Weekday(date) == Weekday(pattern);
    case Recurrence::Kind::Monthly:
        return date.day() == pattern.day();
    case Recurrence::Kind::Yearly:
        break;
    }
    return date.month() == pattern.month() && date.day() == pattern.day();
}

QDate firstDayApplying(Recurrence::Kind kind, const QDate& pattern, const QDate& from,
                       const QDate& until)
{
    // 29 February may be eight years away (2096, 2104).
    constexpr int kLongestGap = 8 * 366 + 1;
    QDate day = from;
    for (int i = 0; i <= kLongestGap && day <= until; ++i, day = day.addDays(1)) {
        if (appliesOn(kind, pattern, day))
            return day;
    }
    return {};
}

icaltimetype wallTime(const QDate& date, int minutes, const icaltimezone* zone)
{
    icaltimetype time = icaltime_null_time();
    time.year = date.year();
    time.month = date.month();
    time.day = date.day();
    time.hour = minutes / 60;
    time.minute = minutes % 60;
    time.zone = zone;
    return icaltime_normalize(time);
}

icaltimetype dateOnly(const QDate& date)
{
    icaltimetype time = icaltime_null_date();
    time.year = date.year();
    time.month = date.month();
    time.day = date.day();
    return time;
}

QDate dateOf(const icaltimetype& time)
{
    return QDate(time.year, time.month, time.day);
}

QDateTime toLocal(const icaltimetype& time)
{
    if (time.is_date)
        return QDateTime(dateOf(time), QTime(0, 0));
    if (time.zone) {
        const time_t seconds =
            icaltime_as_timet_with_zone(time, const_cast<icaltimezone*>(time.zone));
        return QDateTime::fromSecsSinceEpoch(qint64(seconds));
    }
    return QDateTime(dateOf(time), QTime(time.hour, time.minute, time.second));
}

QString text(const char* utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

} // namespace Ics
