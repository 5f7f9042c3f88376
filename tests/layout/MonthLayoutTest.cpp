// The month's sheet as values: its weeks and their numbers, the weekdays shown, and which
// appointments a day's cell lists before "+N more", in both languages and time formats.
#include "layout/MonthLayout.h"
#include "TestDays.h"

#include <gtest/gtest.h>

namespace {

// Wednesday 9 July 2003: all day, 08:00, 13:30 (two lines), 15:00 given out of order;
// Saturday the 5th has one, Friday 1 August (the next month's) one.
QList<TerminPtr> july(const QDate& date)
{
    const auto texted = [](QList<TerminPtr> day, QStringList texts) {
        for (qsizetype i = 0; i < day.size(); ++i)
            std::const_pointer_cast<ClassTermin>(day[i])->setText(texts.value(i));
        return day;
    };
    if (date == QDate(2003, 7, 9))
        return texted(dayOf("15-16 8-9/3 0-24/2 13:30-14"),
                      {"Review", "Standup", "Holiday", "Lunch\r\nat noon"});
    if (date == QDate(2003, 7, 5) || date == QDate(2003, 8, 1))
        return texted(dayOf("10-11"), {"Away"});
    return {};
}

QStringList entriesOf(const MonthLayout::Cell* cell)
{
    QStringList entries;
    for (const MonthLayout::Entry& e : cell ? cell->entries : QList<MonthLayout::Entry>())
        entries << e.time + u'|' + e.text + u'/' + QString::number(e.colorCode);
    return entries;
}

TEST(MonthLayoutTest, WeeksCellsAndWhatFitsFollowTheSettings)
{
    const struct {
        int firstWeekday;
        int rule;
        bool workdays; // Monday to Friday only
        const char* timeFormat;
        const char* lang;
        int lines;
        QList<int> weeks;
        QList<int> weekdays; // of the columns
        QStringList ninth;
        QString more;
    } rows[] = {
        // clang-format off
        {2, 2, false, "24h", "en", 3, {27, 28, 29, 30, 31}, {2, 3, 4, 5, 6, 7, 1},
         {"|Holiday/2", "08:00|Standup/3"}, "+2 more"},
        {2, 3, true, "12h", "de", 4, {26, 27, 28, 29, 30}, {2, 3, 4, 5, 6},
         {"|Holiday/2", "08:00 am|Standup/3", "01:30 pm|Lunch/1", "03:00 pm|Review/1"}, ""},
        {1, 1, false, "12h", "de", 2, {27, 28, 29, 30, 31}, {1, 2, 3, 4, 5, 6, 7},
         {"|Holiday/2"}, "+3 weitere"},
        {2, 1, true, "24h", "en", 0, {27, 28, 29, 30, 31}, {2, 3, 4, 5, 6}, {}, "+4 more"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.firstWeekday << " " << row.lang << row.lines);
        MonthLayout::Input input;
        input.year = 2003;
        input.month = 7;
        input.firstWeekday = row.firstWeekday;
        if (row.workdays)
            input.shownWeekday = [](int weekday) { return weekday >= 2 && weekday <= 6; };
        input.weekRule = row.rule;
        input.days = july;
        input.linesPerCell = row.lines;
        input.timeFormat = row.timeFormat;
        input.langCode = row.lang;
        input.today = {2003, 7, 9};
        input.selected = {2003, 7, 10};
        const MonthLayout::Month month = MonthLayout::layOut(input);

        QList<int> weeks;
        for (const MonthLayout::Week& week : month.weeks) {
            weeks << week.number;
            EXPECT_EQ(week.cells.size(), row.weekdays.size());
        }
        EXPECT_EQ(weeks, row.weeks);
        EXPECT_EQ(month.weekdays, row.weekdays);
        const MonthLayout::Cell* ninth = MonthLayout::cellOf(month, {2003, 7, 9});
        ASSERT_NE(ninth, nullptr);
        EXPECT_EQ(entriesOf(ninth), row.ninth);
        EXPECT_EQ(ninth->moreCount ? MonthLayout::moreText(ninth->moreCount, row.lang) : "",
                  row.more);
        EXPECT_TRUE(ninth->today && ninth->inMonth && !ninth->selected);
        EXPECT_TRUE(MonthLayout::cellOf(month, {2003, 7, 10})->selected);
        // A hidden weekday has no cell; the next month's days fill the last week.
        EXPECT_EQ(MonthLayout::cellOf(month, {2003, 7, 5}) != nullptr, !row.workdays);
        const MonthLayout::Cell* august = MonthLayout::cellOf(month, {2003, 8, 1});
        ASSERT_NE(august, nullptr);
        EXPECT_FALSE(august->inMonth);
        EXPECT_EQ(august->entries.size() + august->moreCount, 1);
        if (!ninth->entries.isEmpty()) {
            EXPECT_EQ(MonthLayout::entryOf(month, ninth->entries.last().tag),
                      &ninth->entries.last());
        }
    }
}

} // namespace
