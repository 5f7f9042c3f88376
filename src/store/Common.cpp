#include "store/Common.h"

namespace {

bool isGerman(const QString& langCode)
{
    return langCode == QLatin1String("de");
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

QString fillDatePattern(const QDate& date, const QString& pattern, const QString& year)
{
    QString text = pattern.toLower();
    text.replace(QLatin1String("mm"), TwoDigits(date.month()));
    text.replace(QLatin1String("dd"), TwoDigits(date.day()));
    text.replace(QLatin1String("tt"), TwoDigits(date.day()));
    text.replace(QLatin1String("yyyy"), year);
    text.replace(QLatin1String("jjjj"), year);
    return text;
}

} // namespace

QStringList DayNames(const QString& langCode)
{
    if (isGerman(langCode))
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

QStringList MonthNames(const QString& langCode)
{
    if (isGerman(langCode))
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

QString FormatTime(TimeOfDay time, const QString& timeFormat)
{
    const int h = time.hour();
    const QString minutes = QLatin1Char(':') + TwoDigits(time.minute());
    if (timeFormat == QLatin1String("24h"))
        return TwoDigits(h) + minutes;
    // Noon and the hours after it are pm; 24:00, the end of the day, is midnight again.
    const bool pm = h >= 12 && h < 24;
    return TwoDigits(h > 12 ? h - 12 : h) + minutes +
           (pm ? QLatin1String(" pm") : QLatin1String(" am"));
}

QString FormatDate(const QDate& date, const QString& pattern)
{
    return fillDatePattern(date, pattern, QString::number(date.year()));
}

QString FormatDateNoYear(const QDate& date, const QString& pattern)
{
    return fillDatePattern(date, pattern, QString());
}

int Weekday(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;
}

QDate StartOfWeek(const QDate& date, int firstWeekday)
{
    return date.addDays(-DayInWeek(date, firstWeekday));
}

QDate EndOfWeek(const QDate& date, int firstWeekday)
{
    return StartOfWeek(date, firstWeekday).addDays(6);
}

int FirstWeekdayOfRows(int firstWeekday)
{
    return firstWeekday >= 1 && firstWeekday <= 7 ? firstWeekday : 1;
}

namespace {

QDate firstDayOfWeekOne(int year, int firstday, int rule)
{
    const QDate newYear(year, 1, 1);
    const QDate start = newYear.addDays(-DayInWeek(newYear, firstday));
    const int daysInNewYear = 7 - DayInWeek(newYear, firstday);
    switch (rule) {
    case 2:
        return daysInNewYear >= 4 ? start : start.addDays(7);
    case 3:
        return daysInNewYear == 7 ? start : start.addDays(7);
    default:
        return start;
    }
}

} // namespace

int DayInWeek(const QDate& date, int firstWeekday)
{
    return (Weekday(date) - FirstWeekdayOfRows(firstWeekday) + 7) % 7;
}

MonthCell MonthCellOf(const QDate& date, int firstWeekday)
{
    const int slot = DayInWeek(QDate(date.year(), date.month(), 1), firstWeekday) + date.day() - 1;
    return {slot / 7, slot % 7};
}

int WeekNumber(const QDate& date, int firstWeekday, int firstWeekRule)
{
    if (!date.isValid())
        return 0;
    const int firstday = FirstWeekdayOfRows(firstWeekday);
    const int rule = firstWeekRule >= 1 && firstWeekRule <= 3 ? firstWeekRule : 1;
    const QDate start = date.addDays(-DayInWeek(date, firstday));
    int year = date.year();
    if (start >= firstDayOfWeekOne(year + 1, firstday, rule))
        ++year;
    else if (start < firstDayOfWeekOne(year, firstday, rule))
        --year;
    return int(firstDayOfWeekOne(year, firstday, rule).daysTo(start) / 7) + 1;
}

QString LastPathPart(const QString& path)
{
    QString p = path;
    if (!p.isEmpty() && isSeparator(p.back()))
        p.chop(1);
    qsizetype cut = p.size() - 1;
    while (cut >= 0 && !isSeparator(p[cut]))
        --cut;
    if (cut < 0)
        return p;
    return p.mid(cut + 1, 100);
}

QString TwoDigits(int value)
{
    const QString text = QString::number(value);
    return text.size() < 2 ? QLatin1Char('0') + text : text;
}

namespace {

qsizetype lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

} // namespace

QString DirectoryOfPath(const QString& path)
{
    return path.left(lastSeparator(path) + 1);
}

QString FileNameOfPath(const QString& path)
{
    const qsizetype cut = lastSeparator(path);
    return cut < 0 ? QString() : path.mid(cut + 1);
}
