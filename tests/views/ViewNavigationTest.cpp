// Where the main window's keys, buttons, calendar clicks and lists lead, as data.
#include "ViewNavigation.h"

#include <gtest/gtest.h>

#include <functional>

// Printed as "2003-07-09 in 2003-07 day" when a case fails.
static void PrintTo(const ViewNavigation::State& s, std::ostream* out)
{
    *out << s.selected.toString(Qt::ISODate).toStdString() << " in "
         << s.shown.toString("yyyy-MM").toStdString() << (s.week ? " week" : " day");
}

namespace {

using State = ViewNavigation::State;
using Step = ViewNavigation::Step;
using Redraw = ViewNavigation::Redraw;

constexpr int kMonday = 2;
const QDate kToday(2003, 7, 9); // a Wednesday

QDate d(int month, int day, int year = 2003)
{
    return QDate(year, month, day);
}

using Action = std::function<std::optional<Step>(const ViewNavigation&, const State&)>;

Action key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    return [=](const ViewNavigation& n, const State& s) { return n.key(s, k, mods); };
}

template <typename Rule> Action rule(Rule r)
{
    return [=](const ViewNavigation& n, const State& s) { return std::optional<Step>(r(n, s)); };
}

TEST(ViewNavigationTest, EveryWayOfMovingLeadsWhereItShould)
{
    const State july9{d(7, 9), d(7, 1), false};
    const State weekOf7{d(7, 7), d(7, 1), true};
    const struct {
        const char* what;
        State from;
        Action act;
        State to;
        Redraw redraw = Redraw::View;
        bool german = false;
    } cases[] = {
        {"Right: a day on", july9, key(Qt::Key_Right), {d(7, 10), d(7, 1), false}},
        {"Down as Right", july9, key(Qt::Key_Down), {d(7, 10), d(7, 1), false}},
        {"keypad Right as Right",
         july9,
         key(Qt::Key_Right, Qt::KeypadModifier),
         {d(7, 10), d(7, 1), false}},
        {"Up: a day back", july9, key(Qt::Key_Up), {d(7, 8), d(7, 1), false}},
        {"Shift+Right: a week on",
         july9,
         key(Qt::Key_Right, Qt::ShiftModifier),
         {d(7, 16), d(7, 1), false}},
        {"Ctrl+Left: a month back, shown in the upper calendar",
         july9,
         key(Qt::Key_Left, Qt::ControlModifier),
         {d(6, 9), d(6, 1), false}},
        {"Alt+Right: a month on, still in sight",
         july9,
         key(Qt::Key_Right, Qt::AltModifier),
         {d(8, 9), d(7, 1), false}},
        {"Right in the week view: the next week",
         weekOf7,
         key(Qt::Key_Right),
         {d(7, 14), d(7, 1), true}},
        {"Left in the week view: the week before",
         weekOf7,
         key(Qt::Key_Left),
         {d(6, 30), d(6, 1), true}},
        {"Shift+Right does nothing in the week view", weekOf7,
         key(Qt::Key_Right, Qt::ShiftModifier), weekOf7, Redraw::Nothing},
        {"Right past the lower calendar: the new month comes in below",
         {d(8, 31), d(7, 1)},
         key(Qt::Key_Right),
         {d(9, 1), d(8, 1), false}},
        {"Left before the upper calendar: the new month comes in above",
         {d(8, 1), d(8, 1)},
         key(Qt::Key_Left),
         {d(7, 31), d(7, 1), false}},
        {"months only count, not years",
         {d(7, 31, 2004), d(7, 1)},
         key(Qt::Key_Right),
         {d(8, 1, 2004), d(7, 1), false}},
        {"H means nothing in English", july9, key(Qt::Key_H), july9, Redraw::Nothing},
        {"H is today in German",
         {d(1, 5), d(1, 1), true},
         key(Qt::Key_H),
         july9,
         Redraw::View,
         true},
        {"T is today in English", {d(1, 5), d(1, 1), true}, key(Qt::Key_T), july9},
        {"T is the day view in German",
         {d(1, 5), d(12, 1, 2002), true},
         key(Qt::Key_T),
         {d(1, 5), d(1, 1), false},
         Redraw::View,
         true},
        {"D is the day view in English",
         {d(1, 5), d(12, 1, 2002), true},
         key(Qt::Key_D),
         {d(1, 5), d(1, 1), false}},
        {"D means nothing in German", weekOf7, key(Qt::Key_D), weekOf7, Redraw::Nothing, true},
        {"W: the week from its Monday", {d(7, 13), d(7, 1)}, key(Qt::Key_W), weekOf7},
        {"next day",
         july9,
         rule([](auto& n, auto& s) { return n.stepView(s, 1); }),
         {d(7, 10), d(7, 1), false}},
        {"previous week",
         weekOf7,
         rule([](auto& n, auto& s) { return n.stepView(s, -1); }),
         {d(6, 30), d(6, 1), true}},
        {"tomorrow counts from today",
         {d(1, 1), d(1, 1)},
         rule([](auto& n, auto& s) { return n.aroundToday(s, 1); }),
         {d(7, 10), d(7, 1), false}},
        {"last week: the week of today - 7, in today - 7's month",
         {d(1, 6), d(1, 1), true},
         rule([](auto& n, auto& s) { return n.aroundToday(s, -1); }),
         {d(6, 30), d(7, 1), true}},
        {"today",
         {d(1, 1), d(1, 1)},
         rule([](auto& n, auto& s) { return n.aroundToday(s, 0); }),
         july9},
        {"next month keeps the selection",
         july9,
         rule([](auto& n, auto& s) { return n.stepMonth(s, 1); }),
         {d(7, 9), d(8, 1), false},
         Redraw::Calendars},
        {"previous month",
         july9,
         rule([](auto& n, auto& s) { return n.stepMonth(s, -1); }),
         {d(7, 9), d(6, 1), false},
         Redraw::Calendars},
        {"no further than 20 years ahead",
         {d(7, 9), d(12, 1, 2023)},
         rule([](auto& n, auto& s) { return n.stepMonth(s, 1); }),
         {d(7, 9), d(12, 1, 2023)},
         Redraw::Nothing},
        {"day label",
         weekOf7,
         rule([](auto& n, auto& s) { return n.dayMode(s); }),
         {d(7, 7), d(7, 1), false}},
        {"week label", july9, rule([](auto& n, auto& s) { return n.weekMode(s); }), weekOf7},
        {"a day picked",
         weekOf7,
         rule([](auto& n, auto& s) { return n.pickDay(s, d(8, 20)); }),
         {d(8, 20), d(7, 1), false}},
        {"a week picked",
         july9,
         rule([](auto& n, auto& s) { return n.pickWeek(s, d(8, 18)); }),
         {d(8, 18), d(7, 1), true}},
        {"a year chosen keeps the month",
         july9,
         rule([](auto& n, auto& s) { return n.chooseFromList(s, 2005); }),
         {d(7, 9), d(7, 1, 2005), false}},
        {"a month chosen keeps the year",
         july9,
         rule([](auto& n, auto& s) { return n.chooseFromList(s, 2); }),
         {d(7, 9), d(2, 1), false}},
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

TEST(ViewNavigationTest, OtherKeysAreNotTheNavigationsToHandle)
{
    const ViewNavigation navigation(kMonday, kToday, false);
    for (int k : {int(Qt::Key_X), int(Qt::Key_Return), int(Qt::Key_F1)})
        EXPECT_FALSE(navigation.key({kToday, d(7, 1)}, k, Qt::NoModifier)) << k;
}

TEST(ViewNavigationTest, TheListsOfferSevenYearsAndTwelveMonths)
{
    const ViewNavigation navigation(kMonday, kToday, false);
    const State state{kToday, d(7, 1)};
    const QList<ViewNavigation::ListEntry> years = navigation.yearList(state);
    ASSERT_EQ(years.size(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(years[i].value, 2000 + i);
        EXPECT_EQ(years[i].text, QString::number(2000 + i));
        EXPECT_EQ(years[i].checked, i == 3);
    }
    QStringList names{QString()};
    for (int m = 1; m <= 12; ++m)
        names << QStringLiteral("M%1").arg(m);
    const QList<ViewNavigation::ListEntry> months = navigation.monthList(state, names);
    ASSERT_EQ(months.size(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(months[i].value, i + 1);
        EXPECT_EQ(months[i].text, names[i + 1]);
        EXPECT_EQ(months[i].checked, i + 1 == 7);
    }
}

} // namespace
