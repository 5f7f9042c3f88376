#include "layout/AgendaLayout.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "layout/DayLayout.h"
#include "profile/ShownText.h"
#include "settings/Language.h"
#include "store/TimeRangeText.h"

#include <algorithm>

namespace {

const char* const kRepeats = QT_TRANSLATE_NOOP("AgendaLayout", "repeats");
const char* const kEmpty = QT_TRANSLATE_NOOP("AgendaLayout", "No appointments");
const char* const kToday = QT_TRANSLATE_NOOP("AgendaLayout", "today");

// The whole day first, then by start and end; the same times keep the day's own order.
QList<TerminPtr> inDayOrder(QList<TerminPtr> appointments)
{
    std::stable_sort(appointments.begin(), appointments.end(),
                     [](const TerminPtr& a, const TerminPtr& b) {
                         const bool allDayA = DayLayout::inStrip(*a);
                         const bool allDayB = DayLayout::inStrip(*b);
                         if (allDayA != allDayB)
                             return allDayA;
                         if (a->StartTime().minutes() != b->StartTime().minutes())
                             return a->StartTime().minutes() < b->StartTime().minutes();
                         return a->EndTime().minutes() < b->EndTime().minutes();
                     });
    return appointments;
}

} // namespace

namespace AgendaLayout {

QList<Group> layOut(const Input& input)
{
    QList<Group> groups;
    if (!input.days || !input.from.isValid())
        return groups;
    for (int i = 0; i < input.count; ++i) {
        const QDate date = input.from.addDays(i);
        const QList<TerminPtr> appointments = inDayOrder(input.days(date));
        if (appointments.isEmpty())
            continue;
        Group group;
        group.date = date;
        group.heading = DayNames(input.langCode).value(Weekday(date)) + QStringLiteral(", ") +
                        FormatDate(date, input.dateFormat);
        group.today = date == input.today;
        for (const TerminPtr& a : appointments) {
            Line line;
            line.appointment = a;
            line.time = TimeRangeText(*a, input.timeFormat, input.langCode);
            line.text = textLines(bidiContained(a->GetFormatedText())).value(0);
            line.owner = a->Producer();
            line.repeats = a->IsRecurring();
            line.colorCode = a->ColorCode();
            group.lines << line;
        }
        groups << group;
    }
    return groups;
}

QString repeatsText(const QString& langCode)
{
    return Language::translate("AgendaLayout", kRepeats, langCode);
}

QString emptyText(const QString& langCode)
{
    return Language::translate("AgendaLayout", kEmpty, langCode);
}

QString todayText(const QString& langCode)
{
    return Language::translate("AgendaLayout", kToday, langCode);
}

} // namespace AgendaLayout
