#include "store/TimeRangeText.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/ZoneTimes.h"
#include "store/ClassTermin.h"

QString TimeRangeText(const ClassTermin& appointment, const QString& timeFormat,
                      const QString& langCode)
{
    if (appointment.isAllDay())
        return AllDayText(langCode);
    return FormatTime(appointment.StartTime(), timeFormat) + QStringLiteral(" - ") +
           FormatTime(appointment.EndTime(), timeFormat);
}

namespace {

TimeOfDay timeOf(const QDateTime& wallClock)
{
    return TimeOfDay::fromMinutes(wallClock.time().hour() * 60 + wallClock.time().minute());
}

} // namespace

QString ZoneTimeText(const ClassTermin& appointment, const QString& timeFormat)
{
    if (!appointment.hasOwnZone() || appointment.isAllDay())
        return {};
    return FormatTime(timeOf(appointment.ZoneStart()), timeFormat) + QStringLiteral(" - ") +
           FormatTime(timeOf(appointment.ZoneEnd()), timeFormat) + u' ' +
           ZoneTimes::cityOf(appointment.TimeZoneId());
}

QString TimeRangeWithZone(const ClassTermin& appointment, const QString& timeFormat,
                          const QString& langCode)
{
    const QString times = TimeRangeText(appointment, timeFormat, langCode);
    const QString zone = ZoneTimeText(appointment, timeFormat);
    return zone.isEmpty() ? times : times + QStringLiteral(" (") + zone + u')';
}
