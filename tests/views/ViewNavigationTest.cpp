// Where the main window's keys, buttons, calendar clicks and lists lead, and the arithmetic of the
// time grid and the week columns, as data.
#include "views/ViewNavigation.h"
#include "calendar/Weeks.h"
#include "views/ViewGeometry.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using State = ViewNavigation::State;
using Step = ViewNavigation::Step;
using Redraw = ViewNavigation::Redraw;

constexpr int kMonday = 2;
const QDate kToday(2003, 7, 9); // a Wednesday

const auto d = [](int month, int day, int year = 2003) { return QDate(year, month, day); };

using N = ViewNavigation;
using Action = std::function<std::optional<Step>(const N&, const State&)>;

Action key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    return [=](const N& n, const State& s) { return n.key(s, k, mods); };
}

template <typename... P, typename... A> Action rule(Step (N::*f)(const State&, P...) const, A... a)
{
    return [=](const N& n, const State& s) { return std::optional<Step>((n.*f)(s, a...)); };
}

// The day, week, month or list of selected with the upper calendar showing shownMonth of 2003.
const auto in = [](ViewMode mode) {
    return [mode](int m, int dd, int shown) { return State{d(m, dd), d(shown, 1), mode}; };
};
const auto day = in(ViewMode::Day);
const auto week = in(ViewMode::Week);
const auto month = in(ViewMode::Month);
const auto list = in(ViewMode::List);

TEST(ViewNavigationTest, EveryWayOfMovingLeadsWhereItShould)
{
    const State july9 = day(7, 9, 7);
    const State weekOf7 = week(7, 7, 7);
    using enum ViewNavigation::Redraw;
    using enum Qt::Key;
    using enum Qt::KeyboardModifier;
    const struct {
        const char* what;
        State from;
        Action act;
        State to;
        Redraw redraw = View;
        bool german = false;
    } cases[] = {
        // clang-format off
        {"Right: a day on", july9, key(Key_Right), day(7, 10, 7)},
        {"Down as Right", july9, key(Key_Down), day(7, 10, 7)},
        {"keypad Right as Right", july9, key(Key_Right, KeypadModifier), day(7, 10, 7)},
        {"Up: a day back", july9, key(Key_Up), day(7, 8, 7)},
        {"Shift+Right: a week on", july9, key(Key_Right, ShiftModifier), day(7, 16, 7)},
        {"Ctrl+Left: a month back, above", july9, key(Key_Left, ControlModifier), day(6, 9, 6)},
        {"Alt+Right: a month on, still in sight", july9, key(Key_Right, AltModifier), day(8, 9, 7)},
        {"Right in the week view: the next week", weekOf7, key(Key_Right), week(7, 14, 7)},
        {"Left in the week view: the week before", weekOf7, key(Key_Left), week(6, 30, 6)},
        {"Shift+Right: none in a week", weekOf7, key(Key_Right, ShiftModifier), weekOf7, Nothing},
        {"Right past the lower month: it moves up", day(8, 31, 7), key(Key_Right), day(9, 1, 8)},
        {"Left before the upper month: shown above", day(8, 1, 8), key(Key_Left), day(7, 31, 7)},
        {"months only count, not years", {d(7, 31, 2004), d(7, 1)}, key(Key_Right),
         {d(8, 1, 2004), d(7, 1)}},
        {"H means nothing in English", july9, key(Key_H), july9, Nothing},
        {"H is today in German, same view", week(1, 5, 1), key(Key_H), week(7, 9, 7), View, true},
        {"T is today in English, in the view shown", week(1, 5, 1), key(Key_T), week(7, 9, 7)},
        {"T in the day view: today's day", day(1, 5, 1), key(Key_T), july9},
        {"T in the month view: today's month", month(1, 5, 1), key(Key_T), month(7, 9, 7)},
        {"T is the day view in German", week(1, 5, 12), key(Key_T), day(1, 5, 1), View, true},
        {"D is the day view in English", week(1, 5, 12), key(Key_D), day(1, 5, 1)},
        {"D means nothing in German", weekOf7, key(Key_D), weekOf7, Nothing, true},
        {"W: the week of today selects today", day(7, 13, 7), key(Key_W), week(7, 9, 7)},
        {"next day", july9, rule(&N::stepView, 1), day(7, 10, 7)},
        {"previous week", weekOf7, rule(&N::stepView, -1), week(6, 30, 6)},
        {"tomorrow counts from today", day(1, 1, 1), rule(&N::aroundToday, 1), day(7, 10, 7)},
        {"last week: around today - 7, in its month", week(1, 6, 1), rule(&N::aroundToday, -1),
         week(6, 30, 7)},
        {"today", day(1, 1, 1), rule(&N::aroundToday, 0), july9},
        {"next month keeps the selection", july9, rule(&N::stepMonth, 1), day(7, 9, 8), Calendars},
        {"no further than 20 years ahead", {d(7, 9), d(12, 1, 2023)}, rule(&N::stepMonth, 1),
         {d(7, 9), d(12, 1, 2023)}, Nothing},
        {"day label", weekOf7, rule(&N::dayMode), day(7, 7, 7)},
        {"week label", july9, rule(&N::weekMode), week(7, 9, 7)},
        {"a day picked", weekOf7, rule(&N::pickDay, d(8, 20)), day(8, 20, 7)},
        {"a week picked", july9, rule(&N::pickWeek, d(8, 18)), week(8, 18, 7)},
        {"a year keeps the month", july9, rule(&N::chooseFromList, 2005), {d(7, 9), d(7, 1, 2005)}},
        {"a month chosen keeps the year", july9, rule(&N::chooseFromList, 2), day(7, 9, 2)},
        {"M: the month view", weekOf7, key(Key_M), month(7, 7, 7)},
        {"M in German too", july9, key(Key_M), month(7, 9, 7), View, true},
        {"Down in the month view: a week on", month(7, 9, 7), key(Key_Down), month(7, 16, 7)},
        {"Page Down: a month on, in sight", month(7, 9, 7), key(Key_PageDown), month(8, 9, 7)},
        {"Page Up: the new month above", month(7, 9, 7), key(Key_PageUp), month(6, 9, 6)},
        {"no modifiers in the month view", month(7, 9, 7), key(Key_Right, ShiftModifier),
         month(7, 9, 7), Nothing},
        {"the month's button: next month", month(7, 9, 7), rule(&N::stepView, 1), month(8, 9, 7)},
        {"W leaves the month view", month(7, 9, 7), key(Key_W), week(7, 9, 7)},
        {"a day picked in a month", month(7, 9, 7), rule(&N::pickDay, d(8, 20)), month(8, 20, 7)},
        {"a day opened from it", month(7, 9, 7), rule(&N::openDay, d(9, 1)), day(9, 1, 8)},
        {"L: the list, in German too", weekOf7, key(Key_L), list(7, 7, 7), View, true},
        {"Up in the list: a day back", list(7, 9, 7), key(Key_Up), list(7, 8, 7)},
        {"Page Down: 14 days on", list(8, 25, 7), key(Key_PageDown), list(9, 8, 8)},
        {"a day picked keeps the list", list(7, 9, 7), rule(&N::pickDay, d(8, 20)), list(8, 20, 7)},
        {"M leaves the list", list(7, 9, 7), key(Key_M), month(7, 9, 7)},
        {"gone to, out of sight", list(7, 9, 7), rule(&N::goTo, d(12, 24)), list(12, 24, 11)},
        {"gone to in the week view: that day", weekOf7, rule(&N::goTo, d(1, 15)), week(1, 15, 1)},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ViewNavigation navigation(kMonday, kToday, c.german);
        const std::optional<Step> step = c.act(navigation, c.from);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->state, c.to);
        EXPECT_EQ(step->redraw, c.redraw);
    }
}

TEST(ViewNavigationTest, AWeekSelectsTodayOrItsFirstShownDayNeverAHiddenOne)
{
    // Weeks from Sunday, the week view showing Monday to Friday.
    const auto workdays = [](int weekday) { return weekday >= 2 && weekday <= 6; };
    const struct {
        const char* what;
        QDate today;
        State from;
        Action act;
        State to;
    } cases[] = {
        // clang-format off
        {"W: today, shown", kToday, day(7, 6, 7), key(Qt::Key_W), week(7, 9, 7)},
        {"W on a hidden today: Monday", d(7, 13), day(7, 13, 7), key(Qt::Key_W), week(7, 14, 7)},
        {"W in another week: its Monday", kToday, day(7, 19, 7), key(Qt::Key_W), week(7, 14, 7)},
        {"picked on Sunday", kToday, day(7, 9, 7), rule(&N::pickWeek, d(7, 20)), week(7, 21, 7)},
        {"the next week", kToday, week(7, 9, 7), key(Qt::Key_Right), week(7, 14, 7)},
        {"back to today's week", kToday, week(7, 14, 7), rule(&N::stepView, -1), week(7, 9, 7)},
        {"last week", kToday, week(7, 9, 7), rule(&N::aroundToday, -1), week(6, 30, 7)},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ViewNavigation navigation(1, c.today, false, workdays);
        const std::optional<Step> step = c.act(navigation, c.from);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->state, c.to);
        const std::optional<Step> dayView = navigation.key(step->state, Qt::Key_D, {});
        EXPECT_EQ(dayView->state.selected, c.to.selected) << "D opens the day selected";
        EXPECT_TRUE(workdays(Weekday(dayView->state.selected)));
    }
    const ViewNavigation nothingShown(1, kToday, false, [](int) { return false; });
    EXPECT_EQ(nothingShown.shownDayOfWeek(d(7, 9)), d(7, 6)) << "no day shown: the first";
}

TEST(ViewNavigationTest, TheListsOfferSevenYearsAndTwelveMonths)
{
    const ViewNavigation navigation(kMonday, kToday, false);
    // Each entry as its text, "=" and its value, "*" when checked.
    const auto shown = [](const QList<ViewNavigation::ListEntry>& entries) {
        QStringList texts;
        for (const ViewNavigation::ListEntry& e : entries)
            texts << QStringLiteral("%1=%2%3").arg(e.text).arg(e.value).arg(e.checked ? "*" : "");
        return texts.join(' ');
    };
    EXPECT_EQ(shown(navigation.yearList(day(7, 9, 7))),
              "2000=2000 2001=2001 2002=2002 2003=2003* 2004=2004 2005=2005 2006=2006");
    const QStringList names{"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    EXPECT_EQ(shown(navigation.monthList(day(7, 9, 7), names)),
              "Jan=1 Feb=2 Mar=3 Apr=4 May=5 Jun=6 Jul=7* Aug=8 Sep=9 Oct=10 Nov=11 Dec=12");
}

using namespace ViewGeometry;

const auto hm = [](int h, int m) { return TimeOfDay::fromHourMinute(h, m); };

// What each view steps by (its buttons' tooltips) and whether it draws day columns.
TEST(ViewModeTest, EachModeStepsByItsUnitAndTheListByADay)
{
    const struct {
        ViewMode mode;
        StepUnit unit;
        bool dayColumns;
    } rows[] = {
        {ViewMode::Day, StepUnit::Day, true},
        {ViewMode::Week, StepUnit::Week, true},
        {ViewMode::Month, StepUnit::Month, false},
        {ViewMode::List, StepUnit::Day, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(stepUnitOf(row.mode), row.unit) << int(row.mode);
        EXPECT_EQ(showsDayColumns(row.mode), row.dayColumns) << int(row.mode);
    }
}

TEST(ViewGeometryTest, RowsTheirHeightAndTheScrollBar)
{
    const struct {
        TimeOfDay start, end;
        int grid, rows;
    } rows[] = {
        // clang-format off
        {hm(8, 0), hm(18, 0), 30, 20}, {hm(8, 0), hm(18, 0), 15, 40},
        {hm(18, 0), hm(8, 0), 30, 20}, {hm(8, 0), hm(8, 0), 30, 0},
        {hm(8, 0), hm(8, 45), 30, 2}, {hm(8, 0), hm(9, 15), 30, 2}, // 1.5 and 2.5 to the even one
        // clang-format on
    };
    for (const auto& r : rows)
        EXPECT_EQ(Rows(r.start, r.end, r.grid), r.rows)
            << r.start.minutes() << "-" << r.end.minutes();
    EXPECT_EQ(RowHeight(6615, 20), 315); // (6615 - 200) / 20 = 320.75 twips -> 21 pixels
    EXPECT_EQ(RowHeight(3000, 40), 225); // too short: the minimum
    EXPECT_EQ(RowHeight(6615, 0), 225);  // no rows: no division by zero
    // The scroll bar only when the grid does not fit.
    EXPECT_FALSE(ScrollFor(6615, 6615, 315).enabled);
    const Scroll s = ScrollFor(9200, 3000, 225); // maximum (9200 - 3000) / 15
    EXPECT_EQ((QList<int>{s.enabled, s.maximum, s.largeChange, s.smallChange}),
              (QList<int>{1, 413, 200, 15}));
}

TEST(ViewGeometryTest, HourLabelsInBothFormats)
{
    // Rows from and to, each as hour, day half, minutes and "@" its row.
    const auto lines = [](TimeOfDay start, const char* format, int from, int to) {
        const QList<HourLabel> labels = HourLabels(start, 20, 30, format);
        QStringList texts{QString::number(labels.size())};
        for (int row = from; row <= to; ++row)
            texts << labels[row].hour + labels[row].dayHalf + labels[row].minutes + "@" +
                         QString::number(labels[row].row);
        return texts.join(' ');
    };
    // The hour only where it changes; noon is afternoon.
    EXPECT_EQ(lines(hm(11, 0), "12h", 0, 4), "21 11:am00@0 30@1 12:pm00@2 30@3 01:pm00@4");
    EXPECT_EQ(lines(hm(0, 0), "12h", 0, 0), "21 00:am00@0");
    EXPECT_EQ(lines(hm(8, 0), "24h", 19, 20), "21 30@19 18:00@20");
    // The day half under the hour's digits, as large as the room left in the row allows.
    const struct {
        int rowHeight, ascent, pixelSize, top, size;
    } halves[] = {
        {31, 11, 11, 12, 11}, {20, 11, 11, 12, 8}, {15, 11, 11, 12, 7}, {40, 11, 5, 12, 7}};
    for (const auto& h : halves) {
        const DayHalfPlace place = DayHalfUnderHour(h.rowHeight, h.ascent, h.pixelSize);
        EXPECT_EQ(QPoint(place.top, place.pixelSize), QPoint(h.top, h.size)) << h.rowHeight;
    }
    // Under the last line the margin, or room for its day half under the digits: 12 + 11 + 1
    // pixels of 15 twips; none for a half hour, nor in 24 hours.
    EXPECT_EQ(BottomMargin(HourLabels(hm(8, 0), 20, 30, "12h"), 11, 11), 360);
    EXPECT_EQ(BottomMargin(HourLabels(hm(8, 0), 20, 30, "12h"), 3, 5), 200) << "a tiny font";
    EXPECT_EQ(BottomMargin(HourLabels(hm(8, 0), 19, 30, "12h"), 11, 11), 200) << "at 05:30";
    EXPECT_EQ(BottomMargin(HourLabels(hm(8, 0), 20, 30, "24h"), 11, 11), 200);
}

TEST(ViewGeometryTest, ANewAppointmentProposesAnHourOnTheGrid)
{
    const struct {
        int nowHour;
        TimeOfDay first, last;
        int start, end; // minutes
    } rows[] = {{10, hm(8, 0), hm(18, 0), 600, 660},   {6, hm(8, 0), hm(18, 0), 480, 540},
                {23, hm(8, 0), hm(18, 0), 1020, 1080}, {23, hm(0, 0), hm(24, 0), 1320, 1380},
                {9, hm(8, 30), hm(18, 0), 540, 600},   {6, hm(8, 30), hm(18, 0), 510, 570},
                {12, hm(8, 0), hm(8, 30), 480, 510},   {23, hm(8, 0), hm(8, 0), 1320, 1380}};
    for (const auto& r : rows) {
        const auto [start, end] = ProposedHour(r.nowHour, r.first, r.last);
        EXPECT_EQ(QString("%1-%2").arg(start.minutes()).arg(end.minutes()),
                  QString("%1-%2").arg(r.start).arg(r.end))
            << r.nowHour << " in " << r.first.minutes() << "-" << r.last.minutes();
    }
}

TEST(ViewGeometryTest, ADraggedLabelSnapsToTheGridAndStaysInItsDay)
{
    // Three columns of 1000 twips from x 500, lines 300 twips apart from 08:00 at y 75.
    const TimeGrid grid{.columns = {{500, 1500}, {1500, 2500}, {2500, 3500}},
                        .dayStart = hm(8, 0),
                        .gridMinutes = 30,
                        .firstLineY = 75,
                        .slotHeight = 300};
    EXPECT_EQ(YOfTime(grid, hm(9, 30)), 975);
    using enum DragKind;
    const QPoint pressed(1000, 700);
    const struct {
        const char* what;
        DragKind kind;
        QPoint now;
        int column;
        TimeOfDay start, end;
    } rows[] = {
        // clang-format off
        {"still", Move, {1000, 700}, 0, hm(9, 0), hm(10, 0)},
        {"less than half a step", Move, {1000, 849}, 0, hm(9, 0), hm(10, 0)},
        {"half a step and more: one", Move, {1000, 851}, 0, hm(9, 30), hm(10, 30)},
        {"three steps up", Move, {1000, -200}, 0, hm(7, 30), hm(8, 30)},
        {"to the third column", Move, {3000, 700}, 2, hm(9, 0), hm(10, 0)},
        {"right of the columns: the last", Move, {9000, 1300}, 2, hm(10, 0), hm(11, 0)},
        {"left of them: the first", Move, {0, 700}, 0, hm(9, 0), hm(10, 0)},
        {"not before midnight", Move, {1000, -9000}, 0, hm(0, 0), hm(1, 0)},
        {"not past the day", Move, {1000, 99000}, 0, hm(23, 0), hm(24, 0)},
        {"the end two steps later", Resize, {3000, 1300}, 0, hm(9, 0), hm(11, 0)},
        {"never shorter than a step", Resize, {1000, -900}, 0, hm(9, 0), hm(9, 30)},
        {"an end not past the day", Resize, {1000, 99000}, 0, hm(9, 0), hm(24, 0)},
        // clang-format on
    };
    for (const auto& r : rows)
        EXPECT_EQ(DragTo(grid, r.kind, 0, hm(9, 0), hm(10, 0), pressed, r.now),
                  (DragTarget{r.column, r.start, r.end}))
            << r.what;
    EXPECT_EQ(DragTo(grid, Resize, 1, hm(9, 0), hm(9, 10), pressed, {0, 0}).end, hm(9, 10))
        << "one shorter than a step already stays as short";
    EXPECT_EQ(ColumnAt(TimeGrid{}, 100), -1);
    // The lower edge of a label takes the resize: 5 pixels, or a third of a small one.
    EXPECT_EQ(DragKindAt(224, 300), Move);
    EXPECT_EQ(DragKindAt(225, 300), Resize);
    EXPECT_EQ(DragKindAt(60, 90), Resize);
    EXPECT_EQ(DragKindAt(59, 90), Move);
}

TEST(ViewGeometryTest, WeekColumnsShareTheWidthAndHeadersShrinkToFit)
{
    for (int c = 1; c <= 5; ++c) {
        const ColumnSpan span = WeekColumn(7515, 5, c);
        EXPECT_EQ(span.startX, 485 + (c - 1) * 1403) << c;
        EXPECT_EQ(span.endX - span.startX, (7515 - 500) / 5) << c;
    }
    EXPECT_EQ(WeekColumn(7515, 0, 1).endX, 0) << "no weekday shown: no column";

    const auto width = [](const QString& text) { return int(text.size()) * 100; };
    EXPECT_EQ(WeekHeader("Mo", "2003-07-07", "-07-07", 2000, width), "Mo 2003-07-07");
    EXPECT_EQ(WeekHeader("Mo", "2003-07-07", "-07-07", 1000, width), "Mo -07-07");
    EXPECT_EQ(WeekHeader("Mo", "2003-07-07", "-07-07", 500, width), "Mo");
}

TEST(ViewGeometryTest, TheWindowOpensWhereItWasOrLargeOnTheFirstScreen)
{
    const QSize design(704, 483);
    const QList<QRect> screens{{0, 0, 1600, 1000}, {1600, 0, 1280, 1024}};
    const struct {
        QRect saved;
        QRect opened;
    } rows[] = {
        {{}, {160, 100, 1280, 800}},                    // never closed here
        {{1700, 50, 900, 700}, {1700, 50, 900, 700}},   // on the second screen
        {{3000, 50, 900, 700}, {160, 100, 1280, 800}},  // that screen is gone
        {{1000, 200, 900, 700}, {1000, 200, 900, 700}}, // most of it on a screen is enough
        {{100, 100, 300, 200}, {100, 100, 704, 483}},   // never below the design size
    };
    for (const auto& row : rows)
        EXPECT_EQ(InitialWindowGeometry(row.saved, screens, design), row.opened) << row.saved.x();
    EXPECT_EQ(InitialWindowGeometry({}, {{0, 0, 800, 600}}, design), QRect(48, 58, 704, 483));
}

} // namespace
