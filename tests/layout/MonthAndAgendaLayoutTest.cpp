// The month's sheet and the agenda list as values: the sheet's weeks and their numbers, the
// weekdays shown, and which appointments a day's cell lists before "+N more"; which days the
// agenda heads, the order of a day's lines, a recurring appointment on each of its days; in both
// languages and time formats.
#include "TestDays.h"
#include "layout/AgendaLayout.h"
#include "layout/MonthLayout.h"

#include <gtest/gtest.h>

namespace {

// Monday 7 July 2003 and the 14th: a recurring "Jour fixe" of anna's; Wednesday the 9th
// (today): 15:00 (in Hall 2), 08:00, all day and 13:30 (two lines) given out of order; Saturday the
// 5th, the 17th (beyond the agenda's ten days) and Friday 1 August (the next month's) one each.
QList<TerminPtr> july(const QDate& date)
{
    const auto texted = [](QList<TerminPtr> day, QStringList texts) {
        for (qsizetype i = 0; i < day.size(); ++i)
            std::const_pointer_cast<ClassTermin>(day[i])->setText(texts.value(i));
        return day;
    };
    if (date == QDate(2003, 7, 7) || date == QDate(2003, 7, 14)) {
        QList<TerminPtr> day = texted(dayOf("9:30-10/4"), {"Jour fixe"});
        std::const_pointer_cast<ClassTermin>(day[0])->setIsRecurring(true);
        std::const_pointer_cast<ClassTermin>(day[0])->setProducer("anna");
        return day;
    }
    if (date == QDate(2003, 7, 9)) {
        QList<TerminPtr> day = texted(dayOf("15-16 8-9/3 0-24/2 13:30-14"),
                                      {"Review", "Standup", "Holiday", "Lunch\r\nat noon"});
        std::const_pointer_cast<ClassTermin>(day[0])->setLocation("Hall 2");
        std::const_pointer_cast<ClassTermin>(day[0])->setOwnZone(
            "America/New_York", QDateTime(date, QTime(9, 0), Qt::UTC),
            QDateTime(date, QTime(10, 0), Qt::UTC));
        return day;
    }
    if (date == QDate(2003, 7, 5) || date == QDate(2003, 7, 17) || date == QDate(2003, 8, 1))
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

// Thursday 10 July 14:00 to Tuesday the 15th 11:00 as day files, and Friday a meeting at 8.
QList<TerminPtr> trip(const QDate& date)
{
    const QDate from(2003, 7, 10), until(2003, 7, 15);
    QList<TerminPtr> day = date == QDate(2003, 7, 11) ? dayOf("8-9") : QList<TerminPtr>();
    if (date >= from && date <= until) {
        auto a = std::make_shared<ClassTermin>();
        a->setDatum(date);
        a->setStartTime(at(date == from ? 14 : 0));
        a->setEndTime(date == until ? at(11) : TimeOfDay::fromMinutes(TimeOfDay::kEndOfDay));
        a->setText(QString("Trip (day %1 of 6)").arg(from.daysTo(date) + 1));
        a->setSpan("trip", from, until);
        day.append(a);
    }
    return day;
}

TEST(MonthLayoutTest, ASpanOfDaysIsOneBarAWeekWithoutItsDayMark)
{
    MonthLayout::Input input;
    input.year = 2003;
    input.month = 7;
    input.firstWeekday = 2; // Monday
    input.days = trip;
    input.timeFormat = "24h";
    const MonthLayout::Month month = MonthLayout::layOut(input);
    QStringList lines;
    for (QDate d(2003, 7, 10); d <= QDate(2003, 7, 15); d = d.addDays(1))
        for (const MonthLayout::Entry& e : MonthLayout::cellOf(month, d)->entries)
            lines << QString("%1 %2|%3 %4")
                         .arg(d.day())
                         .arg(e.time, e.text, e.covered ? "covered" : QString::number(e.columns));
    EXPECT_EQ(lines,
              (QStringList{"10 14:00|Trip 4", "11 |Trip covered", "11 08:00| 1", "12 |Trip covered",
                           "13 |Trip covered", "14 |Trip 2", "15 00:00|Trip covered"}));
}

QStringList shown(const QList<AgendaLayout::Group>& groups, const QString& lang)
{
    QStringList lines;
    for (const AgendaLayout::Group& g : groups) {
        lines << g.heading + (g.today ? "*" : "");
        for (const AgendaLayout::Line& l : g.lines)
            lines << "  " + l.time + '|' + l.text + '|' + l.owner + '|' +
                         QString::number(l.colorCode) +
                         (l.repeats ? QString('|' + AgendaLayout::repeatsText(lang)) : QString());
    }
    return lines;
}

TEST(AgendaLayoutTest, GroupsDaysOrdersTheirLinesAndFollowsTheSettings)
{
    // The time format, the language and the date format, then the lines shown.
    const QStringList rows[] = {
        {"24h", "en", "mm/dd/yyyy", "Monday, 07/07/2003",
         "  09:30 - 10:00|[>>] Jour fixe|anna|4|repeats", "Wednesday, 07/09/2003*",
         "  all day|Holiday||2", "  08:00 - 09:00|Standup||3", "  13:30 - 14:00|Lunch||1",
         "  15:00 - 16:00 (09:00 - 10:00 New York)|Review (Hall 2)||1", "Monday, 07/14/2003",
         "  09:30 - 10:00|[>>] Jour fixe|anna|4|repeats"},
        {"12h", "de", "tt.mm.jjjj", "Montag, 07.07.2003",
         "  09:30 am - 10:00 am|[>>] Jour fixe|anna|4|wiederholt sich", "Mittwoch, 09.07.2003*",
         "  ganztägig|Holiday||2", "  08:00 am - 09:00 am|Standup||3",
         "  01:30 pm - 02:00 pm|Lunch||1",
         "  03:00 pm - 04:00 pm (09:00 am - 10:00 am New York)|Review (Hall 2)||1",
         "Montag, 14.07.2003", "  09:30 am - 10:00 am|[>>] Jour fixe|anna|4|wiederholt sich"}};
    for (const QStringList& row : rows) {
        SCOPED_TRACE((row[0] + ' ' + row[1]).toStdString());
        const AgendaLayout::Input input{july,   {2003, 7, 7}, 10,    {2003, 7, 9},
                                        row[0], row[2],       row[1]};
        EXPECT_EQ(shown(AgendaLayout::layOut(input), row[1]), row.mid(3));
    }
    EXPECT_TRUE(
        AgendaLayout::layOut({july, {2003, 7, 1}, 4, {}, "24h", "yyyy-mm-dd", "en"}).isEmpty());
}

} // namespace
