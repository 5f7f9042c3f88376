// The arithmetic of the time grid and the week columns.
#include "ViewGeometry.h"

#include <gtest/gtest.h>

using namespace ViewGeometry;

namespace {

TimeOfDay hm(int h, int m)
{
    return TimeOfDay::fromHourMinute(h, m);
}

TEST(ViewGeometryTest, RowsFollowTheGrid)
{
    EXPECT_EQ(Rows(hm(8, 0), hm(18, 0), 30), 20);
    EXPECT_EQ(Rows(hm(8, 0), hm(18, 0), 15), 40);
    EXPECT_EQ(Rows(hm(8, 0), hm(8, 0), 30), 0);
    EXPECT_EQ(Rows(hm(8, 0), hm(8, 45), 30), 2) << "1.5 rows go to the even neighbour";
    EXPECT_EQ(Rows(hm(8, 0), hm(9, 15), 30), 2) << "2.5 rows go to the even neighbour";
    EXPECT_EQ(Rows(hm(18, 0), hm(8, 0), 30), 20);
}

TEST(ViewGeometryTest, RowHeightIsWholePixelsAndAtLeastFifteen)
{
    EXPECT_EQ(RowHeight(6615, 20), 315); // (6615 - 200) / 20 = 320.75 twips -> 21 pixels
    EXPECT_EQ(RowHeight(3000, 40), 225); // too short: the minimum
    EXPECT_EQ(RowHeight(6615, 0), 225);  // no rows: no division by zero
}

TEST(ViewGeometryTest, TheScrollBarOnlyWhenTheGridDoesNotFit)
{
    EXPECT_FALSE(ScrollFor(6500, 6615, 315).enabled);
    const Scroll s = ScrollFor(9200, 3000, 225);
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.maximum, (9200 - 3000) / 15);
    EXPECT_EQ(s.largeChange, 200);
    EXPECT_EQ(s.smallChange, 15);
}

TEST(ViewGeometryTest, HourLabelsInBothFormats)
{
    const QList<HourLabel> twelve = HourLabels(hm(11, 0), 6, 30, "12h");
    ASSERT_EQ(twelve.size(), 7);
    EXPECT_EQ(twelve[0].hour, QStringLiteral("11:"));
    EXPECT_EQ(twelve[0].dayHalf, QStringLiteral("am"));
    EXPECT_TRUE(twelve[1].hour.isEmpty());
    EXPECT_EQ(twelve[1].minutes, QStringLiteral("30"));
    EXPECT_EQ(twelve[2].hour, QStringLiteral("12:"));
    EXPECT_EQ(twelve[2].dayHalf, QStringLiteral("pm")) << "noon is afternoon";
    EXPECT_EQ(twelve[4].hour, QStringLiteral("01:"));
    EXPECT_EQ(twelve[4].dayHalf, QStringLiteral("pm"));

    const QList<HourLabel> midnight = HourLabels(hm(0, 0), 1, 30, "12h");
    EXPECT_EQ(midnight[0].hour, QStringLiteral("00:"));
    EXPECT_EQ(midnight[0].dayHalf, QStringLiteral("am"));

    const QList<HourLabel> day = HourLabels(hm(8, 0), 20, 30, "24h");
    ASSERT_EQ(day.size(), 21);
    EXPECT_EQ(day[10].hour, QStringLiteral("13:"));
    EXPECT_TRUE(day[10].dayHalf.isEmpty());
    EXPECT_EQ(day[20].hour, QStringLiteral("18:"));
}

TEST(ViewGeometryTest, WeekColumnsShareTheWidth)
{
    const ColumnSpan first = WeekColumn(7515, 5, 1);
    const ColumnSpan last = WeekColumn(7515, 5, 5);
    EXPECT_EQ(first.startX, 485);
    EXPECT_EQ(first.endX - first.startX, (7515 - 500) / 5);
    EXPECT_EQ(last.endX - last.startX, first.endX - first.startX);
    EXPECT_EQ(WeekColumn(7515, 0, 1).endX, 0) << "no weekday shown: no column";
}

TEST(ViewGeometryTest, WeekHeadersShrinkToFit)
{
    const auto width = [](const QString& text) { return int(text.size()) * 100; };
    EXPECT_EQ(WeekHeader("Monday", "2003-07-07", "-07-07", 2000, width),
              QStringLiteral("Mo 2003-07-07"));
    EXPECT_EQ(WeekHeader("Monday", "2003-07-07", "-07-07", 1000, width),
              QStringLiteral("Mo -07-07"));
    EXPECT_EQ(WeekHeader("Monday", "2003-07-07", "-07-07", 500, width), QStringLiteral("Mo"));
}

} // namespace
