#include "calendar/RepeatRule.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace {

const std::array<QLatin1String, 7> kDayCodes = {
    QLatin1String("MO"), QLatin1String("TU"), QLatin1String("WE"), QLatin1String("TH"),
    QLatin1String("FR"), QLatin1String("SA"), QLatin1String("SU")};
const std::array<QLatin1String, 7> kDayNames = {
    QLatin1String("mon"), QLatin1String("tue"), QLatin1String("wed"), QLatin1String("thu"),
    QLatin1String("fri"), QLatin1String("sat"), QLatin1String("sun")};
const QDate kLastDay(9999, 12, 31);
// No rule of these units needs more periods to reach any day a calendar shows.
constexpr int kMaxPeriods = 4'000'000;

int dayCode(QStringView code)
{
    for (int d = 0; d < 7; ++d) {
        if (code == kDayCodes[size_t(d)])
            return d + 1;
    }
    return 0;
}

int dayName(QStringView name)
{
    for (int d = 0; d < 7; ++d) {
        if (name.compare(kDayNames[size_t(d)], Qt::CaseInsensitive) == 0)
            return d + 1;
    }
    return 0;
}

// The nth (1..5, or RepeatRule::kLast) weekday of a month; invalid when the month lacks it.
QDate nthWeekday(int year, int month, int nth, int weekday)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        return {};
    if (nth == RepeatRule::kLast) {
        const QDate last(year, month, first.daysInMonth());
        return last.addDays(-((last.dayOfWeek() - weekday + 7) % 7));
    }
    const QDate day = first.addDays((weekday - first.dayOfWeek() + 7) % 7 + 7 * (nth - 1));
    return day.month() == month ? day : QDate();
}

int monthsBetween(const QDate& a, const QDate& b)
{
    return (b.year() - a.year()) * 12 + b.month() - a.month();
}

} // namespace

bool RepeatRule::isValid() const
{
    if (!start.isValid() || interval < 1 || interval > kMaxInterval)
        return false;
    if (end == End::Until && (!until.isValid() || until < start))
        return false;
    if (end == End::Count && (count < 1 || count > kMaxCount))
        return false;
    for (qsizetype i = 0; i < weekdays.size(); ++i) {
        if (weekdays[i] < 1 || weekdays[i] > 7 || (i > 0 && weekdays[i] <= weekdays[i - 1]))
            return false;
    }
    switch (unit) {
    case Unit::Day:
        return weekdays.isEmpty() && nth == 0;
    case Unit::Week:
        return nth == 0;
    case Unit::Month:
    case Unit::Year:
        return nth == 0 ? weekdays.isEmpty()
                        : weekdays.size() == 1 && (nth == kLast || (nth >= 1 && nth <= 5));
    }
    return false;
}

QList<QDate> RepeatRule::occurrences(const QDate& from, const QDate& to, int limit) const
{
    QList<QDate> days;
    if (!isValid() || !from.isValid() || !to.isValid())
        return days;
    QDate last = to;
    if (end == End::Until)
        last = std::min(last, until);
    // A count is counted from the start; any other rule may begin at the period of `from`.
    int counted = 0;
    qint64 period = 0;
    if (end != End::Count && from > start) {
        switch (unit) {
        case Unit::Day:
            period = start.daysTo(from) / interval;
            break;
        case Unit::Week:
            period = start.daysTo(from) / 7 / interval;
            break;
        case Unit::Month:
            period = monthsBetween(start, from) / interval;
            break;
        case Unit::Year:
            period = (from.year() - start.year()) / interval;
            break;
        }
        period = std::max<qint64>(0, period - 1);
    }
    const QDate monday = start.addDays(1 - start.dayOfWeek());
    const QList<int> weekDays = weekdays.isEmpty() ? QList<int>{start.dayOfWeek()} : weekdays;
    auto take = [&](const QDate& day) {
        if (!day.isValid() || day < start || day > last)
            return;
        if (end == End::Count && ++counted > count)
            return;
        if (day >= from && days.size() < limit)
            days.append(day);
    };
    for (int n = 0; n < kMaxPeriods; ++n, ++period) {
        const qint64 step = period * interval;
        QDate first; // the period's first day, to know when to stop
        switch (unit) {
        case Unit::Day:
            first = start.addDays(step);
            take(first);
            break;
        case Unit::Week:
            first = monday.addDays(7 * step);
            for (const int weekday : weekDays)
                take(first.addDays(weekday - 1));
            break;
        case Unit::Month:
        case Unit::Year: {
            const QDate month = unit == Unit::Month
                                    ? QDate(start.year(), start.month(), 1).addMonths(int(step))
                                    : QDate(start.year() + int(step), start.month(), 1);
            first = month;
            if (!month.isValid())
                break;
            take(nth == 0 ? QDate(month.year(), month.month(), start.day())
                          : nthWeekday(month.year(), month.month(), nth, weekdays.value(0)));
            break;
        }
        }
        if (!first.isValid() || first > last || days.size() >= limit ||
            (end == End::Count && counted >= count))
            break;
    }
    return days;
}

bool RepeatRule::fallsOn(const QDate& day) const
{
    return !occurrences(day, day, 1).isEmpty();
}

QDate RepeatRule::lastDay() const
{
    if (!isValid())
        return {};
    switch (end) {
    case End::Never:
        return {};
    case End::Count:
        return occurrences(start, kLastDay, count).value(count - 1);
    case End::Until:
        break;
    }
    // Looked for in a window wide enough for any gap of the rule (29 February, a fifth
    // weekday), then from the start.
    const QDate window = std::max(start, until.addYears(-8 * interval - 1));
    const QList<QDate> near = occurrences(window, until);
    if (!near.isEmpty())
        return near.last();
    const QList<QDate> all = occurrences(start, until);
    return all.isEmpty() ? QDate() : all.last();
}

RepeatRule RepeatRule::shifted(qint64 days) const
{
    RepeatRule moved = *this;
    moved.start = start.addDays(days);
    if (end == End::Until)
        moved.until = until.addDays(days);
    const int turn = int(((days % 7) + 7) % 7);
    for (int& weekday : moved.weekdays)
        weekday = (weekday - 1 + turn) % 7 + 1;
    std::sort(moved.weekdays.begin(), moved.weekdays.end());
    return moved;
}

bool RepeatRule::isPlainKind() const
{
    if (!isValid() || interval != 1)
        return false;
    switch (unit) {
    case Unit::Day:
        return true;
    case Unit::Week:
        return weekdays.size() <= 1;
    case Unit::Month:
    case Unit::Year:
        return nth == 0;
    }
    return false;
}

bool RepeatRule::isWeekdayParts() const
{
    return isValid() && unit == Unit::Week && interval == 1 && weekdays.size() > 1;
}

QString RepeatRule::rrule() const
{
    static const std::array<QLatin1String, 4> kFreq = {
        QLatin1String("DAILY"), QLatin1String("WEEKLY"), QLatin1String("MONTHLY"),
        QLatin1String("YEARLY")};
    QString text = QLatin1String("FREQ=") + kFreq[size_t(unit)];
    if (interval > 1)
        text += QStringLiteral(";INTERVAL=%1").arg(interval);
    if (unit == Unit::Week && !weekdays.isEmpty()) {
        QStringList codes;
        for (const int weekday : weekdays)
            codes << kDayCodes[size_t(weekday - 1)];
        text += QLatin1String(";BYDAY=") + codes.join(QLatin1Char(','));
    } else if (nth != 0 && !weekdays.isEmpty()) {
        if (unit == Unit::Year)
            text += QStringLiteral(";BYMONTH=%1").arg(start.month());
        text += QStringLiteral(";BYDAY=%1%2").arg(nth).arg(kDayCodes[size_t(weekdays[0] - 1)]);
    }
    if (end == End::Until)
        text += QLatin1String(";UNTIL=") + until.toString(QStringLiteral("yyyyMMdd"));
    else if (end == End::Count)
        text += QStringLiteral(";COUNT=%1").arg(count);
    return text;
}

std::optional<RepeatRule> RepeatRule::fromRRule(QStringView text, const QDate& start)
{
    QHash<QString, QString> parts;
    for (const QStringView part : text.trimmed().split(u';', Qt::SkipEmptyParts)) {
        const qsizetype equals = part.indexOf(u'=');
        if (equals <= 0)
            return std::nullopt;
        const QString key = part.left(equals).trimmed().toString().toUpper();
        if (parts.contains(key))
            return std::nullopt;
        parts.insert(key, part.mid(equals + 1).trimmed().toString().toUpper());
    }
    static const QStringList kFreqs = {QStringLiteral("DAILY"), QStringLiteral("WEEKLY"),
                                       QStringLiteral("MONTHLY"), QStringLiteral("YEARLY")};
    static const QStringList kKnown = {QStringLiteral("FREQ"),    QStringLiteral("INTERVAL"),
                                       QStringLiteral("BYDAY"),   QStringLiteral("COUNT"),
                                       QStringLiteral("UNTIL"),   QStringLiteral("WKST"),
                                       QStringLiteral("BYMONTH"), QStringLiteral("BYMONTHDAY")};
    for (auto part = parts.cbegin(); part != parts.cend(); ++part) {
        if (!kKnown.contains(part.key()))
            return std::nullopt;
    }
    const qsizetype freq = kFreqs.indexOf(parts.value(QStringLiteral("FREQ")));
    if (freq < 0 || !start.isValid())
        return std::nullopt;
    RepeatRule rule;
    rule.unit = Unit(freq);
    rule.start = start;
    bool ok = true;
    if (parts.contains(QStringLiteral("INTERVAL")))
        rule.interval = parts.value(QStringLiteral("INTERVAL")).toInt(&ok);
    if (!ok)
        return std::nullopt;
    if (parts.contains(QStringLiteral("COUNT")) && parts.contains(QStringLiteral("UNTIL")))
        return std::nullopt;
    if (parts.contains(QStringLiteral("COUNT"))) {
        rule.end = End::Count;
        rule.count = parts.value(QStringLiteral("COUNT")).toInt(&ok);
    } else if (parts.contains(QStringLiteral("UNTIL"))) {
        rule.end = End::Until;
        rule.until = QDate::fromString(parts.value(QStringLiteral("UNTIL")).left(8),
                                       QStringLiteral("yyyyMMdd"));
    }
    if (!ok)
        return std::nullopt;
    // A month or a day of the month named again is only the start's own.
    if (parts.contains(QStringLiteral("BYMONTH")) &&
        (rule.unit != Unit::Year ||
         parts.value(QStringLiteral("BYMONTH")) != QString::number(start.month())))
        return std::nullopt;
    if (parts.contains(QStringLiteral("BYMONTHDAY")) &&
        ((rule.unit != Unit::Month && rule.unit != Unit::Year) ||
         parts.contains(QStringLiteral("BYDAY")) ||
         parts.value(QStringLiteral("BYMONTHDAY")) != QString::number(start.day())))
        return std::nullopt;
    static const QRegularExpression kByDay(QStringLiteral("^([+-]?[0-9]{1,2})?([A-Z]{2})$"));
    const QString byDay = parts.value(QStringLiteral("BYDAY"));
    for (const QString& entry : byDay.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = kByDay.match(entry);
        const int weekday = match.hasMatch() ? dayCode(match.captured(2)) : 0;
        if (weekday == 0)
            return std::nullopt;
        const QString ordinal = match.captured(1);
        if (rule.unit == Unit::Month || rule.unit == Unit::Year) {
            if (ordinal.isEmpty() || !rule.weekdays.isEmpty())
                return std::nullopt; // every Monday of a month, or several: beyond this
            rule.nth = ordinal.toInt();
        } else if (!ordinal.isEmpty()) {
            return std::nullopt;
        }
        rule.weekdays.append(weekday);
    }
    std::sort(rule.weekdays.begin(), rule.weekdays.end());
    // Workdays written as a daily rule are a week on those days.
    if (rule.unit == Unit::Day && !rule.weekdays.isEmpty() && rule.interval == 1)
        rule.unit = Unit::Week;
    // The first day of the week counts only where weeks with an interval hold several days.
    if (parts.contains(QStringLiteral("WKST")) &&
        parts.value(QStringLiteral("WKST")) != QLatin1String("MO") && rule.unit == Unit::Week &&
        rule.interval > 1 && rule.weekdays.size() > 1)
        return std::nullopt;
    if (rule.unit == Unit::Year && rule.nth != 0 && !parts.contains(QStringLiteral("BYMONTH")))
        return std::nullopt; // the 20th Monday of a year
    if (!rule.isValid())
        return std::nullopt;
    return rule;
}

std::optional<std::pair<RepeatRule::Unit, int>> RepeatRule::everyOf(QStringView text)
{
    static const QRegularExpression kEvery(
        QStringLiteral("^([0-9]{1,2})?(day|week|month|year)s?$"));
    const QRegularExpressionMatch match = kEvery.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const bool numbered = !match.captured(1).isEmpty();
    const int interval = numbered ? match.captured(1).toInt() : 1;
    // "days" alone names no number; "2day" reads as well as "2days".
    if (interval < 1 || interval > kMaxInterval || (!numbered && text.endsWith(u's')))
        return std::nullopt;
    static const QStringList kUnits = {QStringLiteral("day"), QStringLiteral("week"),
                                       QStringLiteral("month"), QStringLiteral("year")};
    return std::pair{Unit(kUnits.indexOf(match.captured(2))), interval};
}

std::optional<QList<int>> RepeatRule::weekdaysOf(QStringView text)
{
    QList<int> days;
    for (const QStringView item : text.split(u',')) {
        const QList<QStringView> range = item.split(u'-');
        const int first = dayName(range.value(0));
        const int last = range.size() == 2 ? dayName(range.value(1)) : first;
        if (range.size() > 2 || first == 0 || last == 0 || last < first)
            return std::nullopt;
        for (int day = first; day <= last; ++day) {
            if (!days.contains(day))
                days.append(day);
        }
    }
    std::sort(days.begin(), days.end());
    return days;
}

std::optional<std::pair<int, int>> RepeatRule::nthOf(QStringView text)
{
    static const QRegularExpression kNth(QStringLiteral("^([1-4]|last-)([a-z]{3})$"));
    const QRegularExpressionMatch match = kNth.match(text);
    const int weekday = match.hasMatch() ? dayName(match.captured(2)) : 0;
    if (weekday == 0)
        return std::nullopt;
    const QString nth = match.captured(1);
    return std::pair{nth == QLatin1String("last-") ? kLast : nth.toInt(), weekday};
}
