#include "calendar/Formats.h"

#include "calendar/Names.h"

#include <algorithm>
#include <iterator>

namespace {

enum class DatePart { Month, Day, Year };

struct DateToken {
    QLatin1String text;
    DatePart part;
};

// In the order they are filled in, English and German letters alike.
constexpr DateToken kDateTokens[] = {
    {QLatin1String("mm"), DatePart::Month},  {QLatin1String("dd"), DatePart::Day},
    {QLatin1String("tt"), DatePart::Day},    {QLatin1String("yyyy"), DatePart::Year},
    {QLatin1String("jjjj"), DatePart::Year},
};

QString fillDatePattern(const QDate& date, const QString& pattern, const QString& year)
{
    QString text = pattern.toLower();
    for (const DateToken& token : kDateTokens) {
        switch (token.part) {
        case DatePart::Month:
            text.replace(token.text, TwoDigits(date.month()));
            break;
        case DatePart::Day:
            text.replace(token.text, TwoDigits(date.day()));
            break;
        case DatePart::Year:
            text.replace(token.text, year);
            break;
        }
    }
    return text;
}

} // namespace

QString TwoDigits(int value)
{
    const QString text = QString::number(value);
    return text.size() < 2 ? QLatin1Char('0') + text : text;
}

bool IsTwentyFourHours(const QString& timeFormat)
{
    return timeFormat == QLatin1String("24h");
}

TwelveHour TwelveHourClock(int hour)
{
    const bool pm = hour >= 12 && hour < 24;
    return {hour > 12 ? hour - 12 : hour, pm ? QStringLiteral("pm") : QStringLiteral("am")};
}

QString FormatTime(TimeOfDay time, const QString& timeFormat)
{
    const QString minutes = QLatin1Char(':') + TwoDigits(time.minute());
    if (IsTwentyFourHours(timeFormat))
        return TwoDigits(time.hour()) + minutes;
    const TwelveHour shown = TwelveHourClock(time.hour());
    return TwoDigits(shown.hour) + minutes + QLatin1Char(' ') + shown.dayHalf;
}

QString FormatDate(const QDate& date, const QString& pattern)
{
    return fillDatePattern(date, pattern, QString::number(date.year()));
}

QString FormatDateNoYear(const QDate& date, const QString& pattern)
{
    return fillDatePattern(date, pattern, QString());
}

bool IsDatePattern(const QString& pattern)
{
    static const QString kSeparators = QStringLiteral("./- ");
    const QString lower = pattern.toLower();
    bool anyToken = false;
    for (qsizetype i = 0; i < lower.size();) {
        if (kSeparators.contains(lower[i])) {
            ++i;
            continue;
        }
        const QStringView rest = QStringView(lower).mid(i);
        const auto token =
            std::find_if(std::begin(kDateTokens), std::end(kDateTokens),
                         [&](const DateToken& t) { return rest.startsWith(t.text); });
        if (token == std::end(kDateTokens))
            return false;
        i += token->text.size();
        anyToken = true;
    }
    return anyToken;
}

QString DateEditFormat(const QString& pattern)
{
    QString format;
    for (const QChar c : pattern.toLower()) {
        if (c == u'd' || c == u't')
            format += u'd';
        else if (c == u'm')
            format += u'M';
        else if (c == u'y' || c == u'j')
            format += u'y';
        else
            format += c;
    }
    return IsDatePattern(pattern) ? format : QStringLiteral("yyyy-MM-dd");
}

QString DefaultDateFormat(const QString& langCode)
{
    return IsGerman(langCode) ? QStringLiteral("TT.MM.JJJJ") : QStringLiteral("mm/dd/yyyy");
}
