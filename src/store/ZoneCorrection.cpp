#include "store/ZoneCorrection.h"

#include "calendar/ZoneTimes.h"

#include <algorithm>

namespace ZoneCorrection {

TerminPtr withTeamTimes(const TerminPtr& appointment, const QString& teamZone)
{
    const ClassTermin& a = *appointment;
    if (!a.hasOwnZone() || a.IsRecurring())
        return appointment;
    const auto span = ZoneTimes::teamSpan(a.TimeZoneId(), {a.ZoneStart(), a.ZoneEnd()}, teamZone);
    if (!span)
        return appointment;
    const QList<ZoneTimes::Day> days = ZoneTimes::daysOf(*span);
    // One day may move to another date; of several, each file keeps its own date.
    const auto day = days.size() == 1
                         ? days.cbegin()
                         : std::find_if(days.cbegin(), days.cend(), [&](const ZoneTimes::Day& d) {
                               return d.date == a.datum();
                           });
    if (day == days.cend())
        return appointment;
    if (day->date == a.datum() && day->startMinute == a.StartTime().minutes() &&
        day->endMinute == a.EndTime().minutes())
        return appointment;
    auto corrected = std::make_shared<ClassTermin>(a);
    corrected->setDatum(day->date);
    corrected->setStartTime(TimeOfDay::fromMinutes(day->startMinute));
    corrected->setEndTime(TimeOfDay::fromMinutes(day->endMinute));
    return corrected;
}

TerminPtr withTeamTimesOnItsDay(const TerminPtr& appointment, const QString& teamZone)
{
    TerminPtr corrected = withTeamTimes(appointment, teamZone);
    return corrected->datum() == appointment->datum() ? corrected : appointment;
}

bool zoneClocksHold(const ClassTermin& a, const QString& teamZone)
{
    if (!a.hasOwnZone() || a.IsRecurring())
        return false;
    const auto span = ZoneTimes::teamSpan(a.TimeZoneId(), {a.ZoneStart(), a.ZoneEnd()}, teamZone);
    return span &&
           ZoneTimes::daysOf(*span) ==
               QList<ZoneTimes::Day>{{a.datum(), a.StartTime().minutes(), a.EndTime().minutes()}};
}

} // namespace ZoneCorrection
