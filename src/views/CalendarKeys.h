#pragma once

#include <QDate>
#include <Qt>

#include <optional>

// Where a key takes the selection of a month calendar. A day goes by a day, a week, a month or
// to the month's ends (edit/DateKeys.h); a selected week goes by weeks: Left and Up a week
// back, Right and Down a week on, Page Up and Down a month, Home and End to the month's first
// and last week. The calendar shows the month the selection went to, unless it already shows
// some of it. A selection the calendar does not show comes into it at the first arrow, on the
// same day of the month shown. Other keys, and keys with a modifier, take nothing.
namespace CalendarKeys {

struct Place {
    QDate selected; // a week's first day while week is on
    QDate shown;    // the first of the month shown
    bool week = false;
    friend bool operator==(const Place&, const Place&) = default;
};

// firstday 1 = Sunday … 7 = Saturday.
std::optional<Place> step(const Place& from, int key, Qt::KeyboardModifiers modifiers,
                          int firstday);

} // namespace CalendarKeys
