#include "DateParts.h"

QDate DateSerial(int year, int month, int day)
{
    // Months are carried into years first, then days into months.
    const int monthIndex = year * 12 + (month - 1);
    const int y = monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
    const int m = monthIndex - y * 12 + 1;
    return QDate(y, m, 1).addDays(day - 1);
}

TimeOfDay TimeOfDay::fromHourMinute(int hour, int minute)
{
    int minutes = hour * 60 + minute;
    if (minutes > kEndOfDay)
        minutes %= kEndOfDay;
    if (minutes < 0)
        minutes = (minutes % kEndOfDay + kEndOfDay) % kEndOfDay;
    return TimeOfDay(minutes);
}
