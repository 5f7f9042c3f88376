#pragma once

#include <QDate>

#include <compare>

// The zero date of the appointment format: a record whose dates were never set.
inline const QDate kZeroDate{1899, 12, 30};
// The latest date the appointment format holds (a later year reads as no date at all). As the
// end of a recurrence it means "no end".
inline const QDate kLastFileDate{2200, 12, 31};

// A date built from parts with overflow carried forward: 31 April is 1 May, 30 February 2003
// is 2 March 2003, month 13 is January of the next year. Years before 1 or after 9999 give
// 1 January 1 or 31 December 9999.
QDate DateSerial(int year, int month, int day);

// A time of day with minute precision. Kept as minutes so that 24:00, the end of the day,
// stays distinct from 00:00.
class TimeOfDay {
public:
    static constexpr int kEndOfDay = 24 * 60;

    constexpr TimeOfDay() = default;
    static constexpr TimeOfDay fromMinutes(int minutes) { return TimeOfDay(minutes); }
    // Carried forward: minute 60 is the next full hour, 24:00 the end of the day; anything
    // past the end of the day wraps into the day after, whose date is dropped.
    static TimeOfDay fromHourMinute(int hour, int minute);

    constexpr int minutes() const { return m_minutes; }
    constexpr int hour() const { return m_minutes / 60; }
    constexpr int minute() const { return m_minutes % 60; }

    constexpr auto operator<=>(const TimeOfDay&) const = default;

private:
    constexpr explicit TimeOfDay(int minutes)
        : m_minutes(minutes)
    {
    }
    int m_minutes = 0;
};
