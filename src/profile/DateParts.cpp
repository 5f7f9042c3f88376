#include "profile/DateParts.h"

QDate DateSerial(int year, int month, int day)
{
    // Months are carried into years first, then days into months. A year beyond any date
    // the program shows is simply far in the past or the future: clamped, never overflowing.
    constexpr qint64 kFirstYear = 1;
    constexpr qint64 kLastYear = 9999;
    const qint64 monthIndex = qint64(year) * 12 + (qint64(month) - 1);
    const qint64 y = monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
    const qint64 m = monthIndex - y * 12 + 1;
    if (y < kFirstYear)
        return QDate(int(kFirstYear), 1, 1);
    if (y > kLastYear)
        return QDate(int(kLastYear), 12, 31);
    return QDate(int(y), int(m), 1).addDays(qint64(day) - 1);
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
