// How times, dates, weeks and paths look to the user.
#include "store/Common.h"
#include "store/Recurrence.h"

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

// The one test for an appointment path that a record, a server or a command line names.
TEST(PathTest, AnAppointmentPathIsOneOfTheTreeAndNothingElse)
{
    const struct {
        const char* path;
        bool appointment;
    } cases[] = {
        {"y2026/m3/d1/12345678.nv3", true}, {"y2024/m2/d29/a.NV3", true},
        {"y1/m1/d1/a.nv3", true},           {"recurring/every/a.nv3", true},
        {"recurring/wd7/a.nv3", true},      {"recurring/d31/a.nv3", true},
        {"recurring/m2/d29/a.nv3", true},   {"y2025/m2/d29/a.nv3", false}, // no such day
        {"y2026/m03/d1/a.nv3", false}, // never written with a leading zero
        {"y2026/m13/d1/a.nv3", false},      {"y0/m1/d1/a.nv3", false},
        {"y12345/m1/d1/a.nv3", false},      {"recurring/wd8/a.nv3", false},
        {"recurring/d32/a.nv3", false},     {"recurring/m4/d31/a.nv3", false},
        {"recurring/a.nv3", false},         {"y2026/m3/d1/.a.nv3.tmp1", false},
        {"y2026/m3/d1/.a.nv3", false},      {"y2026/m3/d1/a.txt", false},
        {"y2026/m3/d1/.nv3", false},        {"../outside/a.nv3", false},
        {"/etc/y2026/m3/d1/a.nv3", false},  {"y2026/m3/d1/../../../../outside/a.nv3", false},
        {"y2026/m3/d1/x/a.nv3", false},     {"y2026\\m3\\d1\\a.nv3", false},
        {"ImportRecords/a.nv3", false},     {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Recurrence::isAppointmentPath(QString::fromLatin1(c.path)), c.appointment)
            << c.path;
    EXPECT_FALSE(Recurrence::isAppointmentPath(QStringLiteral("y2026/m3/d1/a\nb.nv3")));

    // The day a file lies under, by the same names: either separator, anywhere on the disk.
    const struct {
        const char* path;
        QDate day;
    } days[] = {
        {"/srv/y2026/m3/d1/a.nv3", {2026, 3, 1}},
        {"C:\\data\\y2024\\m2\\d29\\a.nv3", {2024, 2, 29}},
        {"/srv/y2026/m03/d1/a.nv3", {}},
        {"/srv/y2026/m3/d01/a.nv3", {}},
        {"/srv/y2025/m2/d29/a.nv3", {}},
        {"/srv/recurring/m3/d1/a.nv3", {}},
        {"/srv/y2026/m3/d1/x/a.nv3", {}},
        {"/srv/y2026/m3/d1/.a.nv3", {}},
    };
    for (const auto& c : days)
        EXPECT_EQ(Recurrence::dayOf(QString::fromLatin1(c.path)), c.day) << c.path;

    EXPECT_EQ(Recurrence::folderOf("/srv/team/y2026/m3/d1/a.nv3"), QStringLiteral("/srv/team/"));
    EXPECT_EQ(Recurrence::folderOf("/srv/team/recurring/m2/d29/a.nv3"),
              QStringLiteral("/srv/team/"));
    EXPECT_EQ(Recurrence::folderOf("/srv/team/recurring/wd2/a.nv3"), QStringLiteral("/srv/team/"));
    EXPECT_EQ(Recurrence::folderOf("/srv/team/notes/a.nv3"), QString());
    EXPECT_EQ(Recurrence::folderOf("y2026/m3/d1/a.nv3"), QString());
}

} // namespace
