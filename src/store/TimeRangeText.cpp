#include "store/TimeRangeText.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "store/ClassTermin.h"

QString TimeRangeText(const ClassTermin& appointment, const QString& timeFormat,
                      const QString& langCode)
{
    if (appointment.isAllDay())
        return AllDayText(langCode);
    return FormatTime(appointment.StartTime(), timeFormat) + QStringLiteral(" - ") +
           FormatTime(appointment.EndTime(), timeFormat);
}
