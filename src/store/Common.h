#pragma once

#include "profile/DateParts.h"

#include <QDate>
#include <QString>
#include <QStringList>

// Names and display formats shared by every window. Every displayed time and date goes
// through FormatTime and FormatDate.

// Weekday names, index 1 = Sunday … 7 = Saturday; German for "de", English otherwise.
QStringList DayNames(const QString& langCode);
// Month names, index 1 = January … 12 = December. Index 0 of both lists is empty.
QStringList MonthNames(const QString& langCode);

// timeFormat "24h" or "12h": 13:05 is "13:05" or "01:05 pm"; the hour after midnight shows
// as "00:30 am".
QString FormatTime(TimeOfDay time, const QString& timeFormat);
// pattern as in the settings, e.g. "dd.mm.yyyy" or its German spelling "tt.mm.jjjj".
QString FormatDate(const QDate& date, const QString& pattern);
// As FormatDate without the year; separators stay ("04.07.").
QString FormatDateNoYear(const QDate& date, const QString& pattern);

// Weekday numbering with Sunday = 1.
int Weekday(const QDate& date);
// First and last day of the week that holds date; firstWeekday 1 is Sunday, 2 Monday.
QDate StartOfWeek(const QDate& date, int firstWeekday);
QDate EndOfWeek(const QDate& date, int firstWeekday);

// The month sheet both month views draw: rows of seven days that start on firstWeekday
// (1 = Sunday … 7; anything else counts as Sunday), the 1st in row 0.
int FirstWeekdayOfRows(int firstWeekday);
// Days from the row's first day to date, 0..6.
int DayInWeek(const QDate& date, int firstWeekday);
struct MonthCell {
    int row = 0;    // 0 for the week that holds the 1st
    int column = 0; // 0..6 from firstWeekday
};
MonthCell MonthCellOf(const QDate& date, int firstWeekday);
// The number of the week that holds date. Rule 1: the week of 1 January is week 1; rule 2:
// the first week with at least four days of the new year; rule 3: the first full week.
// Anything else counts as rule 1; an invalid date has week 0.
int WeekNumber(const QDate& date, int firstWeekday, int firstWeekRule);

// The last component of a path (either separator), at most 100 characters; a trailing
// separator is dropped first.
QString LastPathPart(const QString& path);
QString TwoDigits(int value);

// The directory part of a path including its last separator (either kind), and the part after
// it; a path without separator has no directory part.
QString DirectoryOfPath(const QString& path);
QString FileNameOfPath(const QString& path);
