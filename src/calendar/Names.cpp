#include "calendar/Names.h"

bool IsGerman(const QString& langCode)
{
    return langCode == QLatin1String("de");
}

QStringList DayNames(const QString& langCode)
{
    if (IsGerman(langCode))
        return {QString(),
                QStringLiteral("Sonntag"),
                QStringLiteral("Montag"),
                QStringLiteral("Dienstag"),
                QStringLiteral("Mittwoch"),
                QStringLiteral("Donnerstag"),
                QStringLiteral("Freitag"),
                QStringLiteral("Samstag")};
    return {QString(),
            QStringLiteral("Sunday"),
            QStringLiteral("Monday"),
            QStringLiteral("Tuesday"),
            QStringLiteral("Wednesday"),
            QStringLiteral("Thursday"),
            QStringLiteral("Friday"),
            QStringLiteral("Saturday")};
}

QStringList ShortDayNames(const QString& langCode)
{
    QStringList names = DayNames(langCode);
    for (QString& name : names)
        name.truncate(2);
    return names;
}

QStringList MonthNames(const QString& langCode)
{
    if (IsGerman(langCode))
        return {QString(),
                QStringLiteral("Januar"),
                QStringLiteral("Februar"),
                QStringLiteral("März"),
                QStringLiteral("April"),
                QStringLiteral("Mai"),
                QStringLiteral("Juni"),
                QStringLiteral("Juli"),
                QStringLiteral("August"),
                QStringLiteral("September"),
                QStringLiteral("Oktober"),
                QStringLiteral("November"),
                QStringLiteral("Dezember")};
    return {QString(),
            QStringLiteral("January"),
            QStringLiteral("February"),
            QStringLiteral("March"),
            QStringLiteral("April"),
            QStringLiteral("May"),
            QStringLiteral("June"),
            QStringLiteral("July"),
            QStringLiteral("August"),
            QStringLiteral("September"),
            QStringLiteral("October"),
            QStringLiteral("November"),
            QStringLiteral("December")};
}

QString LongDate(const QDate& date, const QString& langCode)
{
    if (!date.isValid())
        return {};
    const QString weekday = DayNames(langCode).value(date.dayOfWeek() % 7 + 1);
    const QString month = MonthNames(langCode).value(date.month());
    if (IsGerman(langCode))
        return QStringLiteral("%1, %2. %3 %4")
            .arg(weekday)
            .arg(date.day())
            .arg(month)
            .arg(date.year());
    return QStringLiteral("%1, %2 %3 %4").arg(weekday).arg(date.day()).arg(month).arg(date.year());
}

QString MonthYear(const QDate& date, const QString& langCode)
{
    if (!date.isValid())
        return {};
    return MonthNames(langCode).value(date.month()) + QLatin1Char(' ') +
           QString::number(date.year());
}

QString AllDayText(const QString& langCode)
{
    return IsGerman(langCode) ? QStringLiteral("ganztägig") : QStringLiteral("all day");
}
