// The arithmetic of the time grid and the week columns.
#include "ViewGeometry.h"

#include <gtest/gtest.h>

using namespace ViewGeometry;

namespace {

TimeOfDay hm(int h, int m)
{
    return TimeOfDay::fromHourMinute(h, m);
}

TEST(ViewGeometryTest, RowsAndTheirHeight)
{
    const struct {
        TimeOfDay start, end;
        int grid, rows;
    } rows[] =
        {
            {hm(8, 0), hm(18, 0), 30, 20}, {hm(8, 0), hm(18, 0), 15, 40},
            {hm(18, 0), hm(8, 0), 30, 20}, {hm(8, 0), hm(8, 0), 30, 0},
            {hm(8, 0), hm(8, 45), 30, 2}, // 1.5 and 2.5 rows go to the even neighbour
            {hm(8, 0), hm(9, 15), 30, 2},
        };
    for (const auto& r : rows)
        EXPECT_EQ(Rows(r.start, r.end, r.grid), r.rows)
            << r.start.minutes() << "-" << r.end.minutes();
    EXPECT_EQ(RowHeight(6615, 20), 315); // (6615 - 200) / 20 = 320.75 twips -> 21 pixels
    EXPECT_EQ(RowHeight(3000, 40), 225); // too short: the minimum
    EXPECT_EQ(RowHeight(6615, 0), 225);  // no rows: no division by zero
}

TEST(ViewGeometryTest, TheScrollBarOnlyWhenTheGridDoesNotFit)
{
    EXPECT_FALSE(ScrollFor(6615, 6615, 315).enabled);
    const Scroll s = ScrollFor(9200, 3000, 225);
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.maximum, (9200 - 3000) / 15);
    EXPECT_EQ(s.largeChange, 200);
    EXPECT_EQ(s.smallChange, 15);
}

TEST(ViewGeometryTest, HourLabelsInBothFormats)
{
    const struct {
        TimeOfDay start;
        const char* format;
        int row;
        QString hour, dayHalf, minutes;
    } lines[] = {
        {hm(11, 0), "12h", 0, "11:", "am", "00"},
        {hm(11, 0), "12h", 1, "", "", "30"},      // the hour only where it changes
        {hm(11, 0), "12h", 2, "12:", "pm", "00"}, // noon is afternoon
        {hm(11, 0), "12h", 4, "01:", "pm", "00"},
        {hm(0, 0), "12h", 0, "00:", "am", "00"},
        {hm(8, 0), "24h", 10, "13:", "", "00"},
        {hm(8, 0), "24h", 20, "18:", "", "00"},
    };
    for (const auto& l : lines) {
        const QList<HourLabel> labels = HourLabels(l.start, 20, 30, l.format);
        ASSERT_EQ(labels.size(), 21);
        const HourLabel& label = labels[l.row];
        EXPECT_EQ(label.row, l.row);
        EXPECT_EQ(label.hour + "|" + label.dayHalf + "|" + label.minutes,
                  l.hour + "|" + l.dayHalf + "|" + l.minutes)
            << l.start.minutes() << " " << l.format << " row " << l.row;
    }
}

TEST(ViewGeometryTest, WeekColumnsShareTheWidthAndHeadersShrinkToFit)
{
    EXPECT_EQ(WeekColumn(7515, 5, 1).startX, 485);
    for (int c = 1; c <= 5; ++c) {
        const ColumnSpan span = WeekColumn(7515, 5, c);
        EXPECT_EQ(span.startX, 485 + (c - 1) * 1403) << c;
        EXPECT_EQ(span.endX - span.startX, (7515 - 500) / 5) << c;
    }
    EXPECT_EQ(WeekColumn(7515, 0, 1).endX, 0) << "no weekday shown: no column";

    const auto width = [](const QString& text) { return int(text.size()) * 100; };
    EXPECT_EQ(WeekHeader("Monday", "2003-07-07", "-07-07", 2000, width), "Mo 2003-07-07");
    EXPECT_EQ(WeekHeader("Monday", "2003-07-07", "-07-07", 1000, width), "Mo -07-07");
    EXPECT_EQ(WeekHeader("Monday", "2003-07-07", "-07-07", 500, width), "Mo");
}

} // namespace
