// The search's results as values: the day each appointment found is listed on (a recurring
// one on its next day from today), their order, the ranges, and which texts read as a date.
#include "layout/SearchLayout.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2003, 7, 9); // a Wednesday

TerminPtr found(const QDate& day, int hour, const char* text, const char* code = nullptr,
                QDate from = {}, QDate until = {})
{
    auto a = std::make_shared<ClassTermin>();
    a->setDatum(day);
    a->setStartTime(TimeOfDay::fromMinutes(hour * 60));
    a->setEndTime(TimeOfDay::fromMinutes(hour * 60 + 60));
    a->setText(text);
    if (code) {
        a->setIsRecurring(true);
        a->Recurring_code = code;
        a->setRecurringStartDate(from);
        a->setRecurringEndDate(until);
    }
    return a;
}

TEST(SearchLayoutTest, ListsEachFoundOnItsDayARecurringOneOnItsNextDayFromToday)
{
    const SearchLayout::Range range = SearchLayout::rangeOf(SearchLayout::Span::Default, kToday);
    EXPECT_EQ(range.from, QDate(2002, 7, 9));
    EXPECT_EQ(range.to, QDate(2005, 7, 9));
    EXPECT_EQ(SearchLayout::rangeOf(SearchLayout::Span::FromToday, kToday).from, kToday);
    EXPECT_FALSE(SearchLayout::rangeOf(SearchLayout::Span::Everything, kToday).from.isValid());

    SearchLayout::Input input;
    input.range = range;
    input.today = kToday;
    input.timeFormat = "24h";
    input.dateFormat = "dd.mm.yyyy";
    input.langCode = "en";
    input.found = {
        // Found on the first Monday of the range; listed on the next one from today.
        found({2002, 7, 15}, 9, "Weekly", "wd", {2002, 1, 7}, {}),
        // Ended before today: on the first day it had in the range.
        found({2002, 8, 1}, 10, "Monthly, ended", "m", {2002, 1, 1}, {2002, 12, 31}),
        // Begins after today: its first day.
        found({2003, 9, 1}, 8, "Yearly from September", "y", {2003, 9, 1}, {}),
        found({2003, 7, 14}, 7, "Early one-time"),
        found(kToday, 12, "Today"),
    };
    QStringList lines;
    for (const AgendaLayout::Group& group : SearchLayout::layOut(input)) {
        lines << group.heading + (group.today ? " *" : "");
        for (const AgendaLayout::Line& line : group.lines)
            lines << "  " + line.time + ' ' + line.text + (line.repeats ? " (repeats)" : "");
    }
    EXPECT_EQ(lines, QStringList({
                         "Thursday, 01.08.2002",
                         "  10:00 - 11:00 [>>] Monthly, ended (repeats)",
                         "Wednesday, 09.07.2003 *",
                         "  12:00 - 13:00 Today",
                         "Monday, 14.07.2003",
                         "  07:00 - 08:00 Early one-time",
                         "  09:00 - 10:00 [>>] Weekly (repeats)",
                         "Monday, 01.09.2003",
                         "  08:00 - 09:00 [>>] Yearly from September (repeats)",
                     }));
}

TEST(SearchLayoutTest, ReadsADateInTheSettingsPatternOrAsIso)
{
    const struct {
        const char* text;
        const char* pattern;
        QDate date;
    } cases[] = {
        {"07.12.2026", "dd.mm.yyyy", {2026, 12, 7}},
        {" 7.1.2026 ", "TT.MM.JJJJ", {2026, 1, 7}},
        {"12/7/2026", "mm/dd/yyyy", {2026, 12, 7}},
        {"2026-12-07", "dd.mm.yyyy", {2026, 12, 7}},
        {"31.02.2026", "dd.mm.yyyy", {}},
        {"12", "dd.mm.yyyy", {}},
        {"Müller", "dd.mm.yyyy", {}},
        {"", "dd.mm.yyyy", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SearchLayout::dateOf(c.text, c.pattern), c.date) << c.text;
}

} // namespace
