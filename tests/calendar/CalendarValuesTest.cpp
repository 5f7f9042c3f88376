// Weekdays, week bounds and numbers, day and month names, and how times and dates look.
#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"

#include <gtest/gtest.h>

namespace {

constexpr int kSunday = 1;
constexpr int kMonday = 2;

TEST(WeekTest, BoundsCellsAndWeekdaysFollowTheFirstWeekday)
{
    // 1 July 2003 is a Tuesday, 1 August 2004 a Sunday; unknown first days count as Sunday.
    const struct {
        int year, month, day, firstday, startDay, weekday, row, column;
    } cases[] = {{2003, 7, 7, kMonday, 7, 2, 1, 0},   {2003, 7, 13, kMonday, 7, 1, 1, 6},
                 {2003, 7, 12, kSunday, 6, 7, 1, 6},  {2003, 7, 7, 7, 5, 2, 1, 2},
                 {2004, 8, 31, kMonday, 30, 3, 5, 1}, {2003, 7, 7, 0, 6, 2, 1, 1},
                 {2003, 7, 7, 8, 6, 2, 1, 1}};
    for (const auto& c : cases) {
        const QDate date(c.year, c.month, c.day), start(c.year, c.month, c.startDay);
        SCOPED_TRACE(date.toString(Qt::ISODate).toStdString() + " " + std::to_string(c.firstday));
        EXPECT_EQ(StartOfWeek(date, c.firstday), start);
        EXPECT_EQ(EndOfWeek(date, c.firstday), start.addDays(6));
        EXPECT_EQ(Weekday(date), c.weekday);
        const MonthCell cell = MonthCellOf(date, c.firstday);
        EXPECT_EQ(std::pair(cell.row, cell.column), std::pair(c.row, c.column));
    }
}

TEST(WeekNumberTest, TheIsoWeekYearBoundariesAndBadInput)
{
    for (QDate day(2003, 12, 1); day <= QDate(2010, 1, 31); day = day.addDays(1))
        ASSERT_EQ(WeekNumber(day, kMonday, kFirstFourDayWeek), day.weekNumber())
            << day.toString().toStdString();
    // 1 January 2004 is a Thursday, 2005 a Saturday, 2006 a Sunday. Unknown arguments count as
    // Sunday weeks and the 1 January rule (the settings make an unknown "FirstCW" the four-day
    // rule before it gets here); an invalid date has week 0.
    constexpr int kJan1 = kWeekOfFirstJanuary, kFour = kFirstFourDayWeek, kFull = kFirstFullWeek;
    const struct {
        int year, month, day, firstday, rule, week;
    } cases[] = {{2003, 12, 28, kMonday, kJan1, 52}, {2003, 12, 29, kMonday, kJan1, 1},
                 {2003, 12, 28, kSunday, kJan1, 1},  {2005, 1, 1, kMonday, kJan1, 1},
                 {2005, 1, 1, kMonday, kFour, 53},   {2004, 1, 4, kMonday, kFull, 52},
                 {2004, 1, 5, kMonday, kFull, 1},    {2004, 1, 4, kSunday, kFull, 1},
                 {2007, 1, 1, kSunday, kFull, 53},   {2004, 1, 3, kSunday, kFour, 53},
                 {2004, 1, 4, kSunday, kFour, 1},    {2002, 12, 29, kSunday, kFour, 1},
                 {2004, 12, 31, 7, kJan1, 53},       {2005, 1, 1, 7, kJan1, 1},
                 {2005, 1, 4, 4, kFull, 52},         {2005, 1, 5, 4, kFull, 1},
                 {0, 0, 0, kMonday, kFour, 0},       {2003, 12, 28, 0, 9, 1},
                 {2003, 12, 27, 8, 0, 52},           {2005, 1, 1, kMonday, 4, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(WeekNumber(QDate(c.year, c.month, c.day), c.firstday, c.rule), c.week)
            << c.year << '-' << c.month << '-' << c.day << ' ' << c.firstday << ' ' << c.rule;
}

TEST(FormatTimeTest, TwelveAndTwentyFourHours)
{
    // Noon is afternoon, the day's end midnight again; only "24h" shows 24 hours.
    const struct {
        int minutes;
        const char *twelve, *twentyFour;
    } cases[] = {{0, "00:00 am", "00:00"},    {30, "00:30 am", "00:30"},
                 {719, "11:59 am", "11:59"},  {720, "12:00 pm", "12:00"},
                 {735, "12:15 pm", "12:15"},  {785, "01:05 pm", "13:05"},
                 {1439, "11:59 pm", "23:59"}, {1440, "12:00 am", "24:00"}};
    for (const auto& c : cases) {
        const TimeOfDay time = TimeOfDay::fromMinutes(c.minutes);
        EXPECT_EQ(FormatTime(time, "12h"), c.twelve);
        EXPECT_EQ(FormatTime(time, "24h"), c.twentyFour);
        EXPECT_EQ(FormatTime(time, "24H"), c.twelve);
    }
    EXPECT_EQ(TwoDigits(5) + TwoDigits(12) + TwoDigits(123), QStringLiteral("0512123"));
}

// What FormatDate cannot fill in completely is no pattern: the settings refuse it.
TEST(FormatDateTest, PatternsInBothSpellingsAndWhatIsNone)
{
    const struct {
        const char *pattern, *text, *noYear; // no pattern: no text without the year
    } cases[] = {{"dd.mm.yyyy", "04.07.2003", "04.07."},  {"TT.MM.JJJJ", "04.07.2003", "04.07."},
                 {"mm/dd/yyyy", "07/04/2003", "07/04/"},  {"yyyy-mm-dd", "2003-07-04", "-07-04"},
                 {"JJJJ-MM-TT", "2003-07-04", "-07-04"},  {"dd mm yyyy", "04 07 2003", "04 07 "},
                 {"dd.mm.yyyyy", "04.07.2003y", nullptr}, {"d.m.yy", "d.m.yy", nullptr},
                 {"dd,mm,yyyy", "04,07,2003", nullptr},   {"...", "...", nullptr}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDate(QDate(2003, 7, 4), c.pattern), c.text) << c.pattern;
        EXPECT_EQ(IsDatePattern(c.pattern), c.noYear != nullptr) << c.pattern;
        EXPECT_TRUE(!c.noYear || FormatDateNoYear(QDate(2003, 7, 4), c.pattern) == c.noYear)
            << c.pattern;
    }
}

TEST(NamesTest, GermanForDeAndEnglishForEveryOtherCode)
{
    const struct {
        const char *lang, *shortDays, *names, *dateFormat;
    } cases[] = {
        {"de", ",So,Mo,Di,Mi,Do,Fr,Sa", "Sonntag Samstag Januar März Dezember", "TT.MM.JJJJ"},
        {"en", ",Su,Mo,Tu,We,Th,Fr,Sa", "Sunday Saturday January March December", "mm/dd/yyyy"},
        {"DE", ",Su,Mo,Tu,We,Th,Fr,Sa", "Sunday Saturday January March December", "mm/dd/yyyy"}};
    for (const auto& c : cases) {
        const QStringList days = DayNames(c.lang), months = MonthNames(c.lang);
        EXPECT_EQ(ShortDayNames(c.lang).join(u','), c.shortDays) << c.lang;
        EXPECT_EQ(QStringList({days[1], days[7], months[1], months[3], months[12]}).join(u' '),
                  QString::fromUtf8(c.names));
        EXPECT_EQ(DefaultDateFormat(c.lang), c.dateFormat) << c.lang;
        EXPECT_TRUE(IsDatePattern(DefaultDateFormat(c.lang))) << c.lang;
    }
}

} // namespace
