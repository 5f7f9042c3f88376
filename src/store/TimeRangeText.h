#pragma once

#include <QString>

class ClassTermin;

// An appointment's times as the user reads them, "09:00 - 10:30" in the time format; one that
// takes the whole day (ClassTermin::isAllDay) as "all day", German "ganztägig".
QString TimeRangeText(const ClassTermin& appointment, const QString& timeFormat,
                      const QString& langCode);
