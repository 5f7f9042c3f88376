#pragma once

#include <QString>

class ClassTermin;

// An appointment's times as the user reads them, "09:00 - 10:30" in the time format; one that
// takes the whole day (ClassTermin::isAllDay) as "all day", German "ganztägig".
QString TimeRangeText(const ClassTermin& appointment, const QString& timeFormat,
                      const QString& langCode);

// An appointment of its own zone: its times there and the zone's city, "09:00 - 10:00 New
// York"; empty for one of the team's zone or of the whole day.
QString ZoneTimeText(const ClassTermin& appointment, const QString& timeFormat);
// TimeRangeText with the zone's times after it: "15:00 - 16:00 (09:00 - 10:00 New York)".
QString TimeRangeWithZone(const ClassTermin& appointment, const QString& timeFormat,
                          const QString& langCode);
