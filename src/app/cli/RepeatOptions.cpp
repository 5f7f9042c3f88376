#include "app/cli/RepeatOptions.h"

namespace RepeatOptions {

using Options::Problem;

QList<Options::Option> options()
{
    return {
        {QStringLiteral("--every"), Options::Text},
        {QStringLiteral("--weekdays"), Options::Text},
        {QStringLiteral("--nth"), Options::Text},
        {QStringLiteral("--until"), Options::Text},
        {QStringLiteral("--count"), 1, RepeatRule::kMaxCount, QStringLiteral("number of times")}};
}

bool given(const Options::Parsed& parsed)
{
    for (const Options::Option& option : options()) {
        if (parsed.has(option.name))
            return true;
    }
    return false;
}

std::variant<RepeatRule, Problem> rule(const Options::Parsed& parsed, const QDate& start,
                                       const std::optional<RepeatRule>& base)
{
    RepeatRule rule = base.value_or(RepeatRule());
    rule.start = start;
    const bool every = parsed.has(QStringLiteral("--every"));
    if (!every && !base) {
        for (const Options::Option& option : options()) {
            if (parsed.has(option.name))
                return Problem(QStringLiteral("%1 is for a series (--every).").arg(option.name));
        }
    }
    if (every) {
        const QString text = parsed.value(QStringLiteral("--every"));
        const auto unit = RepeatRule::everyOf(text);
        if (!unit)
            return Problem(QStringLiteral("--every is day, week, month or year, or a number of "
                                          "them as 2weeks: %1")
                               .arg(text));
        if (unit->first != rule.unit) {
            rule.weekdays.clear();
            rule.nth = 0;
        }
        std::tie(rule.unit, rule.interval) = *unit;
    }
    if (parsed.has(QStringLiteral("--weekdays"))) {
        const QString text = parsed.value(QStringLiteral("--weekdays"));
        const auto days = RepeatRule::weekdaysOf(text);
        if (!days)
            return Problem(
                QStringLiteral("--weekdays names days as mon,thu or mon-fri: %1").arg(text));
        if (rule.unit != RepeatRule::Unit::Week)
            return Problem(QStringLiteral("--weekdays is for a weekly series."));
        rule.weekdays = *days;
    }
    if (parsed.has(QStringLiteral("--nth"))) {
        const QString text = parsed.value(QStringLiteral("--nth"));
        const auto nth = RepeatRule::nthOf(text);
        if (!nth)
            return Problem(
                QStringLiteral("--nth is 1mon ... 4sun or last-mon ... last-sun: %1").arg(text));
        if (rule.unit != RepeatRule::Unit::Month && rule.unit != RepeatRule::Unit::Year)
            return Problem(QStringLiteral("--nth is for a monthly or yearly series."));
        rule.nth = nth->first;
        rule.weekdays = {nth->second};
    }
    if (parsed.has(QStringLiteral("--until")) && parsed.has(QStringLiteral("--count")))
        return Problem(QStringLiteral("--until and --count do not go together."));
    if (parsed.has(QStringLiteral("--until"))) {
        const auto until = Options::date(parsed.value(QStringLiteral("--until")));
        if (const auto* problem = std::get_if<Problem>(&until))
            return *problem;
        rule.end = RepeatRule::End::Until;
        rule.until = std::get<QDate>(until);
        if (rule.until < start)
            return Problem(QStringLiteral("--until lies before DATE."));
    } else if (parsed.has(QStringLiteral("--count"))) {
        rule.end = RepeatRule::End::Count;
        rule.count = *parsed.number(QStringLiteral("--count"));
    } else if (every && !base) {
        rule.end = RepeatRule::End::Never;
    }
    if (!rule.isValid() || rule.occurrences(start, start.addYears(10), 1).isEmpty())
        return Problem(QStringLiteral("The series never takes place."));
    return rule;
}

} // namespace RepeatOptions
