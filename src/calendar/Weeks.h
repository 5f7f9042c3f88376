#pragma once

#include <QDate>

// Weekdays are numbered Sunday = 1 … Saturday = 7, as the settings and the data folder's
// "wd" directories count them.
int Weekday(const QDate& date);

// The weekday rows of a week start on: firstWeekday 1 (Sunday) … 7; anything else counts as
// Sunday.
int FirstWeekdayOfRows(int firstWeekday);
// Days from the row's first day to date, 0..6.
int DayInWeek(const QDate& date, int firstWeekday);
// First and last day of the week that holds date.
QDate StartOfWeek(const QDate& date, int firstWeekday);
QDate EndOfWeek(const QDate& date, int firstWeekday);

// The month sheet both month views draw: rows of seven days from firstWeekday, the 1st in
// row 0.
struct MonthCell {
    int row = 0;    // 0 for the week that holds the 1st
    int column = 0; // 0..6 from firstWeekday
};
MonthCell MonthCellOf(const QDate& date, int firstWeekday);

// Which week of a year is its week 1.
constexpr int kWeekOfFirstJanuary = 1;
constexpr int kFirstFourDayWeek = 2; // with Monday weeks the ISO 8601 week
constexpr int kFirstFullWeek = 3;
bool IsWeekRule(int rule);
// The rule itself, or the 1 January rule for anything that is none.
int WeekRuleOf(int rule);

// The number of the week that holds date, weeks starting on firstWeekday; an invalid date has
// week 0. Days before week 1 lie in the last week of the year before.
int WeekNumber(const QDate& date, int firstWeekday, int firstWeekRule);
