#include "views/GridFocus.h"

#include <algorithm>

namespace GridFocus {

namespace {

// The day's items as the keys walk them: the whole-day ones first, then by start.
QList<int> order(const QList<Item>& items)
{
    QList<int> indices(items.size());
    for (int i = 0; i < items.size(); ++i)
        indices[i] = i;
    std::stable_sort(indices.begin(), indices.end(), [&](int a, int b) {
        if (items[a].allDay != items[b].allDay)
            return items[a].allDay;
        return !items[a].allDay && items[a].start < items[b].start;
    });
    return indices;
}

TimeOfDay minutes(int m)
{
    return TimeOfDay::fromMinutes(m);
}

Focus onStep(int day, TimeOfDay time)
{
    return {day, -1, time};
}

Focus onItem(const Grid& grid, int day, int item)
{
    return {day, item, grid.days[day][item].start};
}

Focus down(const Grid& grid, const Focus& focus)
{
    const QList<Item>& items = grid.days[focus.day];
    const QList<int> walk = order(items);
    const int step = grid.gridMinutes;
    if (focus.item >= 0) {
        const Item& at = items[focus.item];
        const qsizetype place = walk.indexOf(focus.item);
        const int next = place + 1 < walk.size() ? walk[place + 1] : -1;
        if (at.allDay) {
            if (next >= 0 && (items[next].allDay || items[next].start <= grid.first))
                return onItem(grid, focus.day, next);
            return onStep(focus.day, grid.first);
        }
        if (next >= 0 && items[next].start <= at.end)
            return onItem(grid, focus.day, next);
        if (at.end < grid.last)
            return onStep(focus.day, stepOf(grid, minutes(at.end.minutes() + step - 1)));
        return next >= 0 ? onItem(grid, focus.day, next) : focus;
    }
    const int t = focus.time.minutes();
    for (const int i : walk) {
        if (!items[i].allDay && items[i].start.minutes() > t &&
            items[i].start.minutes() <= t + step)
            return onItem(grid, focus.day, i);
    }
    if (t + step < grid.last.minutes())
        return onStep(focus.day, minutes(t + step));
    return focus;
}

Focus up(const Grid& grid, const Focus& focus)
{
    const QList<Item>& items = grid.days[focus.day];
    const QList<int> walk = order(items);
    const int step = grid.gridMinutes;
    const auto lastAllDay = [&]() -> int {
        int found = -1;
        for (const int i : walk) {
            if (items[i].allDay)
                found = i;
        }
        return found;
    };
    if (focus.item >= 0) {
        const Item& at = items[focus.item];
        const qsizetype place = walk.indexOf(focus.item);
        const int previous = place > 0 ? walk[place - 1] : -1;
        if (at.allDay)
            return previous >= 0 ? onItem(grid, focus.day, previous) : focus;
        if (previous >= 0 &&
            (items[previous].allDay ? at.start <= grid.first : items[previous].end >= at.start))
            return onItem(grid, focus.day, previous);
        if (at.start > grid.first)
            return onStep(focus.day, stepOf(grid, minutes(at.start.minutes() - 1)));
        return previous >= 0 ? onItem(grid, focus.day, previous) : focus;
    }
    const int t = focus.time.minutes();
    for (qsizetype k = walk.size() - 1; k >= 0; --k) {
        const Item& item = items[walk[k]];
        if (!item.allDay && item.start.minutes() >= t - step && item.start.minutes() < t)
            return onItem(grid, focus.day, walk[k]);
    }
    if (t - step >= grid.first.minutes())
        return onStep(focus.day, minutes(t - step));
    if (const int allDay = lastAllDay(); allDay >= 0)
        return onItem(grid, focus.day, allDay);
    return focus;
}

// The same place on another day: its appointment at that time, else the free step.
Focus sideways(const Grid& grid, const Focus& focus, int day)
{
    if (day < 0 || day >= grid.days.size())
        return focus;
    const QList<Item>& items = grid.days[day];
    const bool allDay = focus.item >= 0 && grid.days[focus.day][focus.item].allDay;
    for (const int i : order(items)) {
        if (allDay ? items[i].allDay
                   : !items[i].allDay && items[i].start <= focus.time && focus.time < items[i].end)
            return onItem(grid, day, i);
    }
    return onStep(day, allDay ? grid.first : stepOf(grid, focus.time));
}

} // namespace

TimeOfDay stepOf(const Grid& grid, TimeOfDay time)
{
    const int step = std::max(1, grid.gridMinutes);
    const int first = grid.first.minutes();
    const int lastStep = std::max(first, grid.last.minutes() - step);
    const int t = std::clamp(time.minutes(), first, lastStep);
    return minutes(first + (t - first) / step * step);
}

Focus fitted(const Grid& grid, Focus focus)
{
    if (grid.days.isEmpty())
        return {};
    focus.day = std::clamp(focus.day, 0, int(grid.days.size()) - 1);
    if (focus.item >= grid.days[focus.day].size())
        focus.item = -1;
    if (focus.item >= 0)
        return onItem(grid, focus.day, focus.item);
    return onStep(focus.day, stepOf(grid, focus.time));
}

Focus move(const Grid& grid, const Focus& given, Key key)
{
    if (grid.days.isEmpty())
        return given;
    const Focus focus = fitted(grid, given);
    const QList<int> walk = order(grid.days[focus.day]);
    switch (key) {
    case Key::Down:
        return down(grid, focus);
    case Key::Up:
        return up(grid, focus);
    case Key::Left:
        return sideways(grid, focus, focus.day - 1);
    case Key::Right:
        return sideways(grid, focus, focus.day + 1);
    case Key::Home:
        return walk.isEmpty() ? onStep(focus.day, grid.first)
                              : onItem(grid, focus.day, walk.first());
    case Key::End:
        return walk.isEmpty() ? onStep(focus.day, stepOf(grid, grid.last))
                              : onItem(grid, focus.day, walk.last());
    }
    return focus;
}

std::optional<Change> shifted(const Item& item, int gridMinutes, Shift shift)
{
    const int s = item.start.minutes();
    const int e = item.end.minutes();
    const int step = std::max(1, gridMinutes);
    switch (shift) {
    case Shift::DayBack:
        return Change{-1, item.start, item.end};
    case Shift::DayOn:
        return Change{1, item.start, item.end};
    default:
        break;
    }
    if (item.allDay)
        return std::nullopt;
    int start = s;
    int end = e;
    switch (shift) {
    case Shift::Earlier:
    case Shift::Later: {
        const int delta = shift == Shift::Later ? step : -step;
        const int moved = std::clamp(delta, std::min(0, -s), std::max(0, TimeOfDay::kEndOfDay - e));
        start += moved;
        end += moved;
        break;
    }
    case Shift::Shorter:
        end = std::max(std::min(e, s + step), e - step);
        break;
    case Shift::Longer:
        end = std::min(TimeOfDay::kEndOfDay, e + step);
        break;
    default:
        break;
    }
    if (start == s && end == e)
        return std::nullopt;
    return Change{0, minutes(start), minutes(end)};
}

} // namespace GridFocus
