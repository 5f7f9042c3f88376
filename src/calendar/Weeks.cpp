#include "calendar/Weeks.h"

namespace {

QDate firstDayOfWeekOne(int year, int firstday, int rule)
{
    const QDate newYear(year, 1, 1);
    const QDate start = StartOfWeek(newYear, firstday);
    const int daysInNewYear = 7 - DayInWeek(newYear, firstday);
    switch (rule) {
    case kFirstFourDayWeek:
        return daysInNewYear >= 4 ? start : start.addDays(7);
    case kFirstFullWeek:
        return daysInNewYear == 7 ? start : start.addDays(7);
    default:
        return start;
    }
}

} // namespace

int Weekday(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;
}

int FirstWeekdayOfRows(int firstWeekday)
{
    return firstWeekday >= 1 && firstWeekday <= 7 ? firstWeekday : 1;
}

int DayInWeek(const QDate& date, int firstWeekday)
{
    return (Weekday(date) - FirstWeekdayOfRows(firstWeekday) + 7) % 7;
}

QDate StartOfWeek(const QDate& date, int firstWeekday)
{
    return date.addDays(-DayInWeek(date, firstWeekday));
}

QDate EndOfWeek(const QDate& date, int firstWeekday)
{
    return StartOfWeek(date, firstWeekday).addDays(6);
}

MonthCell MonthCellOf(const QDate& date, int firstWeekday)
{
    const int slot = DayInWeek(QDate(date.year(), date.month(), 1), firstWeekday) + date.day() - 1;
    return {slot / 7, slot % 7};
}

bool IsWeekRule(int rule)
{
    return rule >= kWeekOfFirstJanuary && rule <= kFirstFullWeek;
}

int WeekRuleOf(int rule)
{
    return IsWeekRule(rule) ? rule : kWeekOfFirstJanuary;
}

int WeekNumber(const QDate& date, int firstWeekday, int firstWeekRule)
{
    if (!date.isValid())
        return 0;
    const int firstday = FirstWeekdayOfRows(firstWeekday);
    const int rule = WeekRuleOf(firstWeekRule);
    const QDate start = StartOfWeek(date, firstday);
    int year = date.year();
    if (start >= firstDayOfWeekOne(year + 1, firstday, rule))
        ++year;
    else if (start < firstDayOfWeekOne(year, firstday, rule))
        --year;
    return int(firstDayOfWeekOne(year, firstday, rule).daysTo(start) / 7) + 1;
}
