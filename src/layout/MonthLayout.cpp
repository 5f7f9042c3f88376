#include "layout/MonthLayout.h"

#include "calendar/Formats.h"
#include "calendar/Weeks.h"
#include "layout/DayLayout.h"
#include "profile/ShownText.h"
#include "settings/Language.h"
#include "store/SpanDays.h"

#include <QCoreApplication>

#include <algorithm>
#include <tuple>

namespace {

const char* const kMore = QT_TRANSLATE_NOOP("MonthLayout", "+%1 more");

} // namespace

namespace MonthLayout {

Cell dayCell(const Input& input, const QDate& date)
{
    MonthLayout::Cell cell;
    cell.date = date;
    cell.inMonth = date.month() == input.month && date.year() == input.year;
    cell.today = date == input.today;
    cell.selected = date == input.selected;
    QList<TerminPtr> appointments =
        input.days ? DayLayout::inDayOrder(input.days(date)) : QList<TerminPtr>();
    std::stable_sort(appointments.begin(), appointments.end(),
                     [](const TerminPtr& a, const TerminPtr& b) {
                         const auto key = [](const ClassTermin& c) {
                             return std::tuple(!c.isSpanDay(), c.SpanFrom(), c.SpanId());
                         };
                         return key(*a) < key(*b);
                     });
    const int room = std::max(0, input.linesPerCell);
    // The last line goes to "+N more" only when something is left over.
    const int shown =
        appointments.size() <= room ? int(appointments.size()) : std::max(0, room - 1);
    for (int i = 0; i < shown; ++i) {
        const ClassTermin& a = *appointments[i];
        MonthLayout::Entry entry;
        entry.tag = date.toString(Qt::ISODate) + QLatin1Char('|') + QString::number(i);
        entry.appointment = appointments[i];
        if (!DayLayout::inStrip(a))
            entry.time = FormatTime(a.StartTime(), input.timeFormat);
        ClassTermin titled = a;
        if (a.isSpanDay())
            titled.setText(SpanDays::unmarkedText(a.Text()));
        entry.text = textLines(bidiContained(titled.GetFormatedText())).value(0);
        entry.colorCode = a.ColorCode();
        cell.entries << entry;
    }
    cell.moreCount = int(appointments.size()) - shown;
    return cell;
}

void joinSpans(Week& week)
{
    for (qsizetype column = 0; column < week.cells.size(); ++column) {
        for (qsizetype line = 0; line < week.cells[column].entries.size(); ++line) {
            Entry& bar = week.cells[column].entries[line];
            if (bar.covered || !bar.appointment->isSpanDay())
                continue;
            const auto sameSpan = [&](qsizetype next) {
                const QList<Entry>& entries = week.cells[next].entries;
                return line < entries.size() &&
                       entries[line].appointment->SpanId() == bar.appointment->SpanId() &&
                       entries[line].appointment->datum() ==
                           bar.appointment->datum().addDays(next - column);
            };
            for (qsizetype next = column + 1; next < week.cells.size() && sameSpan(next); ++next) {
                week.cells[next].entries[line].covered = true;
                ++bar.columns;
            }
        }
    }
}

QList<QDate> sheetDays(int year, int month, int firstWeekday)
{
    const QDate first(year, month, 1);
    const QDate start = StartOfWeek(first, firstWeekday);
    const QDate end = EndOfWeek(first.addDays(first.daysInMonth() - 1), firstWeekday);
    QList<QDate> days;
    for (QDate day = start; day <= end; day = day.addDays(1))
        days << day;
    return days;
}

Month layOut(const Input& input)
{
    const auto shows = [&input](int weekday) {
        return !input.shownWeekday || input.shownWeekday(weekday);
    };
    Month month;
    const QList<QDate> days = sheetDays(input.year, input.month, input.firstWeekday);
    for (int d = 0; d < 7 && d < days.size(); ++d)
        if (shows(Weekday(days[d])))
            month.weekdays << Weekday(days[d]);
    for (qsizetype row = 0; row + 7 <= days.size(); row += 7) {
        Week week;
        week.number = WeekNumber(days[row], input.firstWeekday, input.weekRule);
        for (qsizetype d = row; d < row + 7; ++d)
            if (shows(Weekday(days[d])))
                week.cells << dayCell(input, days[d]);
        joinSpans(week);
        month.weeks << week;
    }
    return month;
}

QString moreText(int count, const QString& langCode)
{
    return Language::translate("MonthLayout", kMore, langCode).arg(count);
}

const Cell* cellOf(const Month& month, const QDate& date)
{
    for (const Week& week : month.weeks)
        for (const Cell& cell : week.cells)
            if (cell.date == date)
                return &cell;
    return nullptr;
}

const Entry* entryOf(const Month& month, const QString& tag)
{
    for (const Week& week : month.weeks)
        for (const Cell& cell : week.cells)
            for (const Entry& entry : cell.entries)
                if (entry.tag == tag)
                    return &entry;
    return nullptr;
}

} // namespace MonthLayout
