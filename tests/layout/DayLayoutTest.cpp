// The day layout as values: overlapping appointments side by side in list order, the hours
// shown, and where each appointment's box lies in an area of the day's hours.
#include "layout/DayLayout.h"
#include "TestDays.h"

#include <gtest/gtest.h>

// "x,y wxh" of a box.
static QString boxText(const QRectF& b)
{
    return QString::asprintf("%g,%g %gx%g", b.x(), b.y(), b.width(), b.height());
}

TEST(DayLayoutTest, OverlappingOnesTakeTheLowestFreeColumnInListOrder)
{
    const struct {
        const char* what;
        const char* day;
        bool rowPerColor;
        QList<int> columns;
    } cases[] = {
        // clang-format off
        {"overlapping ones side by side, touching ones share", "9-10 9:30-11 10-10:30", false,
         {1, 2, 1}},
        {"list order, not time order, decides", "10-11 12-13 9-14 9:30-10:30", false, {1, 1, 2, 3}},
        {"a gap in a column is filled by a later one", "8-9 8-12 11-12 9-11", false, {1, 2, 1, 1}},
        {"zero length takes its first minute: beside its like and what spans it, not an edge",
         "9-9 9-9 8-10 10-10", false, {1, 2, 3, 1}},
        {"all day in the strip, no column", "0-24 9-10 0-24 9:30-10 0-23", false, {0, 1, 0, 2, 3}},
        {"ending before it starts: overlaps what spans its end to its start",
         "10-9 8-12 9:30-9:45 11-8", false, {1, 2, 1, 1}},
        {"each colour keeps its own columns", "9-10/1 9-10/2 9-10/1 11-12/2", true, {1, 2, 3, 2}},
        {"without rowPerColor colours mix", "9-10/1 9-10/2 9-10/1 11-12/2", false, {1, 2, 3, 1}},
        {"an empty day", "", false, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QList<int> columns = DayLayout::columns(dayOf(c.day), c.rowPerColor);
        EXPECT_EQ(columns, c.columns);
        const int widest =
            c.columns.isEmpty() ? 1 : *std::max_element(c.columns.begin(), c.columns.end());
        EXPECT_EQ(DayLayout::columnCount(columns), widest);
    }
    EXPECT_FALSE(DayLayout::overlaps(at(9), at(10), at(10), at(11))) << "touching";
    EXPECT_TRUE(DayLayout::overlaps(at(9), at(10), at(9, 30), at(9, 45))) << "one inside";
    const QList<TerminPtr> crowded = dayOf(QString("9-10 ").repeated(51) + "9:30-11/1");
    EXPECT_EQ(DayLayout::columns(crowded, false).mid(48), (QList<int>{49, 50, 0, 0}))
        << "fifty columns at most";
}

TEST(DayLayoutTest, TheHoursShownWidenToWholeHoursAroundEveryAppointment)
{
    const auto hours = [](const QString& day, int startHour, int endHour) {
        const auto [from, to] = DayLayout::shownHours(at(startHour), at(endHour), dayOf(day));
        return QString::asprintf("%02d:%02d-%02d:%02d", from.hour(), from.minute(), to.hour(),
                                 to.minute());
    };
    EXPECT_EQ(hours("", 8, 18), "08:00-18:00");
    EXPECT_EQ(hours("9-10", 8, 18), "08:00-18:00");
    EXPECT_EQ(hours("22-23 7:45-8:15", 8, 18), "07:00-23:00");
    EXPECT_EQ(hours("23:30-24", 8, 18), "08:00-24:00");
    EXPECT_EQ(hours("9-10", 8, 8), "08:00-10:00") << "a grid without rows still shows it";
    EXPECT_EQ(hours("0-24 9-10", 8, 18), "08:00-18:00") << "all day is the strip's";
    EXPECT_EQ(hours("18-18", 8, 18), "08:00-19:00") << "no length, its first minute";
}

TEST(DayLayoutTest, AllDayOnesLieInTheStripOneRowEachOrStackedWhenMore)
{
    const struct {
        QString day;
        int rows; // of the view's strip
        int needed;
        QStringList boxes; // of each, "-" for one in the hours
    } cases[] = {{"0-24 9-10 0-24", 2, 2, {"0,0 500x200", "-", "0,200 500x200"}},
                 {"0-24 0-24 0-24 0-24",
                  2,
                  3,
                  {"0,0 500x100", "0,100 500x100", "0,200 500x100", "0,300 500x100"}},
                 {"0-23 9-9", 0, 0, {"-", "-"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day.toStdString());
        const QList<TerminPtr> day = dayOf(c.day);
        EXPECT_EQ(DayLayout::stripRows(day), c.needed);
        QStringList placed;
        for (const QRectF& box : DayLayout::stripBoxes(day, 500, c.rows, 200))
            placed << (box.isNull() ? QStringLiteral("-") : boxText(box));
        EXPECT_EQ(placed, c.boxes);
    }
}

TEST(DayLayoutTest, BoxesShareTheWidthByColumnAndLieWhereTheirTimesSay)
{
    const struct {
        const char* what;
        QString day;
        QSizeF size;
        int fromHour; // to 18:00 in steps of 30 minutes
        double step;  // what the slot height is rounded down to
        double slot;
        QStringList boxes; // of each appointment from the one at index from on
        qsizetype from = 0;
        double thin = 0; // the height of one of no length
    } cases[] = {
        // clang-format off
        {"the area without margins, 300 a slot", "9-10 9:30-11 7-8", {2000, 6000}, 8, 0, 300,
         {"0,600 1000x600", "1000,900 1000x900", "0,-600 1000x600"}},
        {"slots rounded down to the step", "8-8:30 9-10", {3000, 9125}, 8, 15, 450,
         {"0,0 3000x450", "0,900 3000x900"}},
        {"ending before it starts: as high as its length", "11-10", {600, 6000}, 8, 0, 300,
         {"0,1800 600x600"}},
        {"the fifty-first overlapping one left of column one", QString("9-10 ").repeated(51),
         {5000, 6000}, 8, 0, 300, {"4900,600 100x600", "-100,600 100x600"}, 49},
        {"no length: a thin box at its time, none in the hours for all day", "9-9 0-24 10-11",
         {2000, 6000}, 8, 0, 300, {"0,600 2000x180", "0,0 0x0", "0,1200 2000x600"}, 0, 180},
        {"no width: no boxes", "9-10", {0, 6000}, 8, 0, 300, {}},
        {"no height: no slot, no boxes", "9-10", {2000, 0}, 8, 0, 0, {}},
        {"a grid without rows: no slot, no boxes", "9-10", {2000, 6000}, 18, 0, 0, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QList<TerminPtr> day = dayOf(c.day);
        const DayLayout::Grid grid{at(c.fromHour), at(18), 30};
        EXPECT_DOUBLE_EQ(DayLayout::slotHeight(c.size.height(), grid, c.step), c.slot);
        const QList<int> columns = DayLayout::columns(day, false);
        QStringList placed;
        for (const QRectF& box : DayLayout::boxes(day, columns, c.size, grid, c.step, c.thin))
            placed << boxText(box);
        EXPECT_EQ(placed.mid(c.from), c.boxes);
    }
}
