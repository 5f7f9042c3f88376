// Where the keys take the keyboard's focus in the grid, and what Alt with the arrows makes of
// an appointment: tables over a day of a few appointments, and random walks that never leave
// the grid.
#include "views/GridFocus.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using namespace GridFocus;

TimeOfDay at(int hour, int minute = 0)
{
    return TimeOfDay::fromHourMinute(hour, minute);
}

Item timed(int from, int to)
{
    return {TimeOfDay::fromMinutes(from), TimeOfDay::fromMinutes(to), false};
}

const Item kAllDay{at(0), at(24), true};

// Day 0: 9:00-10:00 (item 0), 10:00-11:00 (1), an all-day one (2), 14:00-14:30 (3).
// Day 1: nothing. Day 2: 9:30-12:00 (0). The grid shows 8:00 to 18:00 in half hours.
Grid week()
{
    const QList<Item> first{timed(540, 600), timed(600, 660), kAllDay, timed(840, 870)};
    return {{first, {}, {timed(570, 720)}}, at(8), at(18), 30};
}

Focus item(int day, int index)
{
    return fitted(week(), {day, index, {}});
}

Focus step(int day, int hour, int minute = 0)
{
    return {day, -1, at(hour, minute)};
}

TEST(GridFocusTest, TheKeysWalkAppointmentsAndTheFreeStepsBetweenThem)
{
    struct Case {
        const char* what;
        Focus from;
        Key key;
        Focus to;
    };
    const Case cases[] = {
        {"Home: the whole-day one first", step(0, 12), Key::Home, item(0, 2)},
        {"End: the latest", item(0, 0), Key::End, item(0, 3)},
        {"down from the whole-day one to the first step", item(0, 2), Key::Down, step(0, 8)},
        {"down a free step", step(0, 8), Key::Down, step(0, 8, 30)},
        {"down onto the one starting within the step", step(0, 8, 30), Key::Down, item(0, 0)},
        {"down to the adjoining appointment", item(0, 0), Key::Down, item(0, 1)},
        {"down past its end onto free time", item(0, 1), Key::Down, step(0, 11)},
        {"down the free time to the next", step(0, 13, 30), Key::Down, item(0, 3)},
        {"down stops at the last step", step(1, 17, 30), Key::Down, step(1, 17, 30)},
        {"up to the adjoining one", item(0, 1), Key::Up, item(0, 0)},
        {"up from the first timed one onto the step before", item(0, 0), Key::Up, step(0, 8, 30)},
        {"up onto the one starting in the step before", step(0, 14, 30), Key::Up, item(0, 3)},
        {"up from the first step to the whole-day one", step(0, 8), Key::Up, item(0, 2)},
        {"up stops on an empty day's first step", step(1, 8), Key::Up, step(1, 8)},
        {"right onto the appointment at that time", step(1, 10), Key::Right, item(2, 0)},
        {"right onto a free step at that time", item(0, 3), Key::Right, step(1, 14)},
        {"sideways from a whole-day one to the first step", item(0, 2), Key::Right, step(1, 8)},
        {"left of the first day stays", item(0, 0), Key::Left, item(0, 0)},
        {"right of the last day stays", item(2, 0), Key::Right, item(2, 0)},
        {"Home on an empty day: its first step", step(1, 12), Key::Home, step(1, 8)},
        {"End on an empty day: its last step", step(1, 12), Key::End, step(1, 17, 30)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(move(week(), c.from, c.key), c.to) << c.what;
}

TEST(GridFocusTest, AFocusFitsTheGridAfterItChanged)
{
    EXPECT_EQ(fitted(week(), {5, 0, {}}), item(2, 0)) << "a day too far: the last day";
    EXPECT_EQ(fitted(week(), {1, 3, at(10, 10)}), step(1, 10)) << "an item gone: its step";
    EXPECT_EQ(fitted(week(), {0, -1, at(20)}), step(0, 17, 30)) << "past the grid: the last step";
    EXPECT_EQ(fitted(week(), {0, -1, at(6)}), step(0, 8)) << "before it: the first";
    EXPECT_EQ(fitted({}, {3, 2, at(9)}), Focus{}) << "no days";
}

TEST(GridFocusTest, RandomKeysNeverLeaveTheGrid)
{
    QRandomGenerator random(38);
    const Grid g = week();
    Focus focus;
    for (int i = 0; i < 5000; ++i) {
        focus = move(g, focus, Key(random.bounded(6)));
        ASSERT_GE(focus.day, 0);
        ASSERT_LT(focus.day, g.days.size());
        if (focus.item >= 0) {
            ASSERT_LT(focus.item, g.days[focus.day].size());
            ASSERT_EQ(focus.time, g.days[focus.day][focus.item].start);
        } else {
            ASSERT_GE(focus.time, g.first);
            ASSERT_LT(focus.time, g.last);
            ASSERT_EQ((focus.time.minutes() - g.first.minutes()) % g.gridMinutes, 0);
        }
    }
}

TEST(GridFocusTest, AltArrowsMoveAndResizeWithinTheDayAsADragDoes)
{
    struct Case {
        const char* what;
        Item item;
        Shift shift;
        std::optional<Change> change;
    };
    const Case cases[] = {
        {"a step later", timed(540, 600), Shift::Later, Change{0, at(9, 30), at(10, 30)}},
        {"a step earlier", timed(540, 600), Shift::Earlier, Change{0, at(8, 30), at(9, 30)}},
        {"a day on", timed(540, 600), Shift::DayOn, Change{1, at(9), at(10)}},
        {"a day back", timed(540, 600), Shift::DayBack, Change{-1, at(9), at(10)}},
        {"longer", timed(540, 600), Shift::Longer, Change{0, at(9), at(10, 30)}},
        {"shorter", timed(540, 600), Shift::Shorter, Change{0, at(9), at(9, 30)}},
        {"never shorter than a step", timed(540, 570), Shift::Shorter, std::nullopt},
        {"a short one stays as short", timed(540, 550), Shift::Shorter, std::nullopt},
        {"not before midnight", timed(10, 70), Shift::Earlier, Change{0, at(0), at(1)}},
        {"not at all at midnight", timed(0, 60), Shift::Earlier, std::nullopt},
        {"not past the day's end", timed(1380, 1440), Shift::Later, std::nullopt},
        {"longer up to the day's end", timed(1380, 1430), Shift::Longer, Change{0, at(23), at(24)}},
        {"a whole-day one keeps its times", kAllDay, Shift::Later, std::nullopt},
        {"but moves by days", kAllDay, Shift::DayOn, Change{1, at(0), at(24)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shifted(c.item, 30, c.shift), c.change) << c.what;
}

} // namespace
