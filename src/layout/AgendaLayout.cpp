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
const char* const kColumns[] = {
    QT_TRANSLATE_NOOP("AgendaLayout", "Time"),
    QT_TRANSLATE_NOOP("AgendaLayout", "Text"),
    QT_TRANSLATE_NOOP("AgendaLayout", "Owner"),
    QT_TRANSLATE_NOOP("AgendaLayout", "Repeats"),
};

} // namespace

namespace AgendaLayout {

QList<Group> layOut(const Input& input)
{
    QList<Group> groups;
    if (!input.days || !input.from.isValid())
        return groups;
    for (int i = 0; i < input.count; ++i) {
        const QDate date = input.from.addDays(i);
        const QList<TerminPtr> appointments = DayLayout::inDayOrder(input.days(date));
        if (appointments.isEmpty())
            continue;
        Group group;
        group.date = date;
        group.heading = headingOf(date, input.dateFormat, input.langCode);
        group.today = date == input.today;
        for (const TerminPtr& a : appointments)
            group.lines << lineOf(a, input.timeFormat, input.langCode);
        groups << group;
    }
    return groups;
}

Line lineOf(const TerminPtr& appointment, const QString& timeFormat, const QString& langCode)
{
    Line line;
    line.appointment = appointment;
    line.time = TimeRangeWithZone(*appointment, timeFormat, langCode);
    line.text = textLines(bidiContained(appointment->GetFormatedText())).value(0);
    // Its place beside the first line: the list has one line for each.
    if (!appointment->Location().isEmpty())
        line.text += QStringLiteral(" (%1)").arg(bidiContained(appointment->Location()));
    // And its categories, as the list shows them in brackets.
    if (!appointment->Categories().isEmpty())
        line.text += QStringLiteral(" [%1]").arg(
            bidiContained(appointment->Categories().join(QStringLiteral(", "))));
    line.owner = appointment->Producer();
    line.repeats = appointment->repeats();
    line.colorCode = appointment->ColorCode();
    return line;
}

QString headingOf(const QDate& date, const QString& dateFormat, const QString& langCode)
{
    return DayNames(langCode).value(Weekday(date)) + QStringLiteral(", ") +
           FormatDate(date, dateFormat);
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

QStringList columnNames(const QString& langCode)
{
    QStringList names;
    for (const char* column : kColumns)
        names << Language::translate("AgendaLayout", column, langCode);
    return names;
}

} // namespace AgendaLayout
