#include "edit/RepeatChoice.h"

#include "profile/DateParts.h"
#include "store/Recurrence.h"

#include <algorithm>

namespace {

// Enough years for a 29 February, enough months for a 31st.
constexpr int kYearsToSearch = 9;
constexpr int kMonthsToSearch = 3;

// The day a rule taking its day of month (and month) from its start starts on: the first day
// from `from` on that the directory of date's kind would show, so rule and directory agree.
QDate anchoredStart(RepeatRule::Unit unit, int nth, const QDate& date, const QDate& from)
{
    using Unit = RepeatRule::Unit;
    QDate start;
    if (unit == Unit::Month && nth == 0)
        start = Recurrence::firstOn(Recurrence::Kind::Monthly, date, from,
                                    from.addMonths(kMonthsToSearch));
    else if (unit == Unit::Year && nth == 0)
        start = Recurrence::firstOn(Recurrence::Kind::Yearly, date, from,
                                    from.addYears(kYearsToSearch));
    else if (unit == Unit::Year) // the nth weekday of date's month: from that month on
        start = std::max(QDate(from.year() + (from.month() > date.month()), date.month(), 1), from);
    return start.isValid() ? start : from;
}

} // namespace

RepeatChoice RepeatChoice::ofKind(Unit unit, const QDate& date, const QDate& until)
{
    RepeatChoice choice;
    choice.unit = unit;
    choice.weekdays = {date.dayOfWeek()};
    choice.nthWeekday = date.dayOfWeek();
    choice.nth = 0;
    choice.end = until.isValid() && until != kLastFileDate ? End::Until : End::Never;
    choice.until = until;
    return choice;
}

RepeatChoice RepeatChoice::ofRule(const RepeatRule& rule, const QDate& date)
{
    RepeatChoice choice = ofKind(rule.unit, date, kLastFileDate);
    choice.interval = rule.interval;
    if (rule.unit == Unit::Week)
        choice.weekdays =
            rule.weekdays.isEmpty() ? QList<int>{rule.start.dayOfWeek()} : rule.weekdays;
    if ((rule.unit == Unit::Month || rule.unit == Unit::Year) && rule.nth != 0) {
        choice.nth = rule.nth;
        choice.nthWeekday = rule.weekdays.value(0, date.dayOfWeek());
    }
    // An end past the last date a file holds is none.
    choice.end = rule.end == End::Until && rule.until >= kLastFileDate ? End::Never : rule.end;
    choice.until = choice.end == End::Until ? rule.until : kLastFileDate;
    if (rule.end == End::Count)
        choice.count = rule.count;
    return choice;
}

int RepeatChoice::nthOf(const QDate& date)
{
    const int nth = (date.day() - 1) / 7 + 1;
    return nth > 4 ? RepeatRule::kLast : nth;
}

RepeatRule RepeatChoice::rule(const QDate& date, const QDate& from) const
{
    RepeatRule rule;
    rule.unit = unit;
    rule.interval = interval;
    if (unit == Unit::Week) {
        rule.weekdays = weekdays;
        std::sort(rule.weekdays.begin(), rule.weekdays.end());
    } else if (unit != Unit::Day && nth != 0) {
        rule.nth = nth;
        rule.weekdays = {nthWeekday};
    }
    rule.start = anchoredStart(unit, rule.nth, date, from);
    rule.end = end == End::Until && until == kLastFileDate ? End::Never : end;
    if (rule.end == End::Until)
        rule.until = until;
    else if (rule.end == End::Count)
        rule.count = count;
    return rule;
}

bool RepeatChoice::isPlain(const QDate& date) const
{
    if (interval != 1)
        return false;
    switch (unit) {
    case Unit::Day:
        return true;
    case Unit::Week:
        return weekdays == QList<int>{date.dayOfWeek()};
    case Unit::Month:
    case Unit::Year:
        return nth == 0;
    }
    return false;
}
