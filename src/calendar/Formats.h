#pragma once

#include "profile/DateParts.h"

#include <QDate>
#include <QString>

// How times and dates look to the user: every displayed time and date goes through
// FormatTime and FormatDate.

// The text of value, "0" in front when it has a single character.
QString TwoDigits(int value);

// True for the time format "24h"; every other one shows twelve hours.
bool IsTwentyFourHours(const QString& timeFormat);
// An hour of the day (0..24) on a twelve-hour clock: the hours after noon count from 1 again,
// noon and the hours after it are "pm", and 24:00, the end of the day, is midnight again.
struct TwelveHour {
    int hour;
    QString dayHalf; // "am" or "pm"
};
TwelveHour TwelveHourClock(int hour);
// 13:05 is "13:05" in 24 hours, "01:05 pm" in twelve; the hour after midnight shows as
// "00:30 am".
QString FormatTime(TimeOfDay time, const QString& timeFormat);

// A date pattern of day, month and year tokens ("dd", "mm", "yyyy", German "tt", "jjjj", any
// case) and separators, e.g. "dd.mm.yyyy" or "TT.MM.JJJJ".
QString FormatDate(const QDate& date, const QString& pattern);
// As FormatDate without the year; separators stay ("04.07.").
QString FormatDateNoYear(const QDate& date, const QString& pattern);
// True when pattern holds a token and nothing but tokens and the separators "./- ": what
// FormatDate fills in completely.
bool IsDatePattern(const QString& pattern);
// The pattern as a Qt date format, for a date field that shows and takes dates as the
// settings do: "dd.mm.yyyy" and "TT.MM.JJJJ" give "dd.MM.yyyy".
QString DateEditFormat(const QString& pattern);
// The language's own pattern: "TT.MM.JJJJ" for German, "mm/dd/yyyy" otherwise.
QString DefaultDateFormat(const QString& langCode);
