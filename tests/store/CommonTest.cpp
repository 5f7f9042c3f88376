// How times, dates, weeks and paths look to the user.
#include "Common.h"

#include <gtest/gtest.h>

namespace {

TimeOfDay hm(int h, int m)
{
    return TimeOfDay::fromHourMinute(h, m);
}

TEST(FormatTimeTest, TwelveAndTwentyFourHours)
{
    EXPECT_EQ(FormatTime(hm(13, 5), "24h"), QStringLiteral("13:05"));
    EXPECT_EQ(FormatTime(hm(0, 0), "24h"), QStringLiteral("00:00"));
    EXPECT_EQ(FormatTime(TimeOfDay::fromMinutes(TimeOfDay::kEndOfDay), "24h"),
              QStringLiteral("24:00"));
    EXPECT_EQ(FormatTime(hm(0, 30), "12h"), QStringLiteral("00:30 am"));
    EXPECT_EQ(FormatTime(hm(0, 0), "12h"), QStringLiteral("00:00 am"));
    EXPECT_EQ(FormatTime(hm(11, 59), "12h"), QStringLiteral("11:59 am"));
    // Noon is afternoon.
    EXPECT_EQ(FormatTime(hm(12, 0), "12h"), QStringLiteral("12:00 pm"));
    EXPECT_EQ(FormatTime(hm(12, 15), "12h"), QStringLiteral("12:15 pm"));
    EXPECT_EQ(FormatTime(hm(13, 5), "12h"), QStringLiteral("01:05 pm"));
    EXPECT_EQ(FormatTime(hm(23, 59), "12h"), QStringLiteral("11:59 pm"));
}

TEST(FormatDateTest, PatternsInBothSpellings)
{
    const QDate d(2003, 7, 4);
    EXPECT_EQ(FormatDate(d, "dd.mm.yyyy"), QStringLiteral("04.07.2003"));
    EXPECT_EQ(FormatDate(d, "TT.MM.JJJJ"), QStringLiteral("04.07.2003"));
    EXPECT_EQ(FormatDate(QDate(2004, 1, 9), "mm/dd/yyyy"), QStringLiteral("01/09/2004"));
    EXPECT_EQ(FormatDate(d, "yyyy-mm-dd"), QStringLiteral("2003-07-04"));
    EXPECT_EQ(FormatDateNoYear(d, "dd.mm.yyyy"), QStringLiteral("04.07."));
    EXPECT_EQ(FormatDateNoYear(d, "mm/dd/yyyy"), QStringLiteral("07/04/"));
    EXPECT_EQ(FormatDateNoYear(d, "yyyy-mm-dd"), QStringLiteral("-07-04"));
}

TEST(WeekTest, BoundsFollowTheFirstWeekday)
{
    const QDate monday(2003, 7, 7);
    const QDate sunday(2003, 7, 13);
    EXPECT_EQ(StartOfWeek(monday, 2), monday);
    EXPECT_EQ(EndOfWeek(monday, 2), sunday);
    EXPECT_EQ(StartOfWeek(sunday, 2), monday);
    EXPECT_EQ(EndOfWeek(sunday, 2), sunday);
    EXPECT_EQ(StartOfWeek(monday, 1), QDate(2003, 7, 6));
    EXPECT_EQ(EndOfWeek(monday, 1), QDate(2003, 7, 12));
    EXPECT_EQ(Weekday(sunday), 1);
    EXPECT_EQ(Weekday(QDate(2003, 7, 12)), 7);
}

TEST(NamesTest, BothLanguages)
{
    EXPECT_EQ(DayNames("de")[1], QStringLiteral("Sonntag"));
    EXPECT_EQ(DayNames("en")[7], QStringLiteral("Saturday"));
    EXPECT_EQ(MonthNames("de")[3], QStringLiteral("März"));
    EXPECT_EQ(MonthNames("fr")[12], QStringLiteral("December"));
}

TEST(PathTest, LastPathPartAndTwoDigits)
{
    EXPECT_EQ(LastPathPart("C:\\data\\team\\"), QStringLiteral("team"));
    EXPECT_EQ(LastPathPart("/srv/share/calendar/"), QStringLiteral("calendar"));
    EXPECT_EQ(LastPathPart("calendar"), QStringLiteral("calendar"));
    EXPECT_EQ(LastPathPart("/x/" + QString(150, 'a')).size(), 100);
    EXPECT_EQ(TwoDigits(5), QStringLiteral("05"));
    EXPECT_EQ(TwoDigits(12), QStringLiteral("12"));
}

} // namespace
