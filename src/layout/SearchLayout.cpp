#include "layout/SearchLayout.h"

#include "calendar/Formats.h"
#include "store/Recurrence.h"

#include <algorithm>

namespace SearchLayout {

Range rangeOf(Span span, const QDate& today)
{
    switch (span) {
    case Span::Default:
        return {today.addYears(-1), today.addYears(2)};
    case Span::FromToday:
        return {today, today.addYears(2)};
    case Span::Everything:
        break;
    }
    return {};
}

QDate shownDay(const ClassTermin& found, const Range& range, const QDate& today)
{
    if (!found.IsRecurring())
        return found.datum();
    const Recurrence::Kind kind = Recurrence::ofCode(found.Recurring_code);
    const auto bounded = [](const QDate& a, const QDate& b, bool later) {
        if (!a.isValid())
            return b;
        if (!b.isValid())
            return a;
        return later ? std::max(a, b) : std::min(a, b);
    };
    // An open end still looks no further than the next few years (firstOn stops there).
    const QDate last = bounded(found.RecurringEndDate(), range.to, false);
    const QDate next = Recurrence::firstOn(
        kind, found.datum(),
        bounded(bounded(found.RecurringStartDate(), range.from, true), today, true),
        last.isValid() ? last : today.addYears(5));
    return next.isValid() ? next : found.datum();
}

QList<Listed> listed(const QList<TerminPtr>& found, const Range& range, const QDate& today)
{
    QList<Listed> listed;
    for (const TerminPtr& one : found)
        listed << Listed{shownDay(*one, range, today), one};
    std::stable_sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        if (a.day != b.day)
            return a.day < b.day;
        return a.appointment->StartTime().minutes() < b.appointment->StartTime().minutes();
    });
    return listed;
}

QList<AgendaLayout::Group> layOut(const Input& input)
{
    QList<AgendaLayout::Group> groups;
    for (const Listed& one : listed(input.found, input.range, input.today)) {
        if (groups.isEmpty() || groups.last().date != one.day) {
            AgendaLayout::Group group;
            group.date = one.day;
            group.heading = AgendaLayout::headingOf(one.day, input.dateFormat, input.langCode);
            group.today = one.day == input.today;
            groups << group;
        }
        groups.last().lines << AgendaLayout::lineOf(one.appointment, input.timeFormat,
                                                    input.langCode);
    }
    return groups;
}

QDate dateOf(const QString& text, const QString& datePattern)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty() || !typed.front().isDigit())
        return {};
    QString lenient = DateEditFormat(datePattern);
    lenient.replace(QStringLiteral("dd"), QStringLiteral("d"));
    lenient.replace(QStringLiteral("MM"), QStringLiteral("M"));
    for (const QString& format :
         {DateEditFormat(datePattern), lenient, QStringLiteral("yyyy-MM-dd")}) {
        const QDate date = QDate::fromString(typed, format);
        if (date.isValid())
            return date;
    }
    return {};
}

} // namespace SearchLayout
