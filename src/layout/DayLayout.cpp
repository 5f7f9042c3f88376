#include "layout/DayLayout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <vector>

namespace {

int minutesBetween(TimeOfDay from, TimeOfDay to)
{
    return to.minutes() - from.minutes();
}

// What an appointment occupies of the day: its times, its first minute when it has no length.
std::pair<TimeOfDay, TimeOfDay> occupiedSpan(const ClassTermin& a)
{
    const TimeOfDay start = a.StartTime();
    return {start,
            a.EndTime() == start ? TimeOfDay::fromMinutes(start.minutes() + 1) : a.EndTime()};
}

// The appointments of one column, reduced to what decides a clash. b clashes with a when
// b.start < a.end and b.end > a.start, so an appointment that starts no earlier and ends no
// later than another one of the column never decides anything. What is kept has starts and
// ends both rising: the last one starting before a.end has the latest end of all that do.
class ColumnOccupancy {
public:
    explicit ColumnOccupancy(int colorCode)
        : m_colorCode(colorCode)
    {
    }

    int colorCode() const { return m_colorCode; }

    bool clashesWith(TimeOfDay start, TimeOfDay end) const
    {
        auto it = m_ends.lower_bound(end.minutes());
        if (it == m_ends.begin())
            return false;
        return std::prev(it)->second > start.minutes();
    }

    void add(TimeOfDay start, TimeOfDay end)
    {
        const int s = start.minutes();
        const int e = end.minutes();
        // Covered by one kept that starts no later and ends no earlier: nothing to keep.
        auto after = m_ends.upper_bound(s);
        if (after != m_ends.begin() && std::prev(after)->second >= e)
            return;
        // Those it covers in turn decide nothing any more.
        auto covered = m_ends.lower_bound(s);
        while (covered != m_ends.end() && covered->second <= e)
            covered = m_ends.erase(covered);
        m_ends.emplace(s, e);
    }

private:
    int m_colorCode;
    std::map<int, int> m_ends; // start -> end, in minutes
};

} // namespace

namespace DayLayout {

bool inStrip(const ClassTermin& a)
{
    return a.isAllDay();
}

QList<TerminPtr> inDayOrder(QList<TerminPtr> appointments)
{
    std::stable_sort(appointments.begin(), appointments.end(),
                     [](const TerminPtr& a, const TerminPtr& b) {
                         if (inStrip(*a) != inStrip(*b))
                             return inStrip(*a);
                         if (a->StartTime().minutes() != b->StartTime().minutes())
                             return a->StartTime().minutes() < b->StartTime().minutes();
                         return a->EndTime().minutes() < b->EndTime().minutes();
                     });
    return appointments;
}

bool overlaps(TimeOfDay s1, TimeOfDay e1, TimeOfDay s2, TimeOfDay e2)
{
    return s2 < e1 && e2 > s1;
}

QList<int> columns(const QList<TerminPtr>& appointments, bool rowPerColor)
{
    // Columns fill from the left (an empty column is free for anyone), so the columns in use
    // are 1..size. Each appointment tries at most kMaxColumns of them at O(log n) each.
    std::vector<ColumnOccupancy> occupied;
    QList<int> result;
    result.reserve(appointments.size());
    for (const TerminPtr& appointment : appointments) {
        const ClassTermin& a = *appointment;
        const auto [start, end] = occupiedSpan(a);
        int found = 0;
        for (int col = 1; col <= kMaxColumns && !inStrip(a); ++col) {
            if (size_t(col) > occupied.size())
                occupied.emplace_back(a.ColorCode());
            ColumnOccupancy& column = occupied[size_t(col - 1)];
            // With rowPerColor a column keeps the colour of its first appointment.
            if (rowPerColor && column.colorCode() != a.ColorCode())
                continue;
            if (column.clashesWith(start, end))
                continue;
            column.add(start, end);
            found = col;
            break;
        }
        result << found;
    }
    return result;
}

int columnCount(const QList<int>& columns)
{
    int max = 1;
    for (int column : columns)
        max = std::max(max, column);
    return max;
}

std::pair<TimeOfDay, TimeOfDay> shownHours(TimeOfDay start, TimeOfDay end,
                                           const QList<TerminPtr>& appointments)
{
    int first = start.minutes();
    int last = end.minutes();
    for (const TerminPtr& a : appointments) {
        if (inStrip(*a))
            continue;
        const auto [from, to] = occupiedSpan(*a);
        first = std::min(first, std::min(from, to).minutes() / 60 * 60);
        last = std::max(last, (std::max(from, to).minutes() + 59) / 60 * 60);
    }
    return {TimeOfDay::fromMinutes(std::clamp(first, 0, TimeOfDay::kEndOfDay)),
            TimeOfDay::fromMinutes(std::clamp(last, 0, TimeOfDay::kEndOfDay))};
}

double Grid::steps() const
{
    return std::abs(minutesBetween(start, end)) / double(minutes);
}

double slotHeight(double height, const Grid& grid, double step)
{
    const double steps = grid.steps();
    if (steps <= 0 || height <= 0)
        return 0;
    const double slot = height / steps;
    return step > 0 ? std::max(0.0, std::trunc(slot / step) * step) : slot;
}

QList<QRectF> boxes(const QList<TerminPtr>& appointments, const QList<int>& columns,
                    const QSizeF& size, const Grid& grid, double step, double thin)
{
    const double slot = slotHeight(size.height(), grid, step);
    if (slot <= 0 || size.width() <= 0)
        return {};
    const double colW = size.width() / columnCount(columns);
    const double minutes = grid.minutes;
    QList<QRectF> result;
    result.reserve(appointments.size());
    for (qsizetype i = 0; i < appointments.size(); ++i) {
        const ClassTermin& a = *appointments[i];
        if (inStrip(a)) {
            result << QRectF();
            continue;
        }
        const double x = (columns.value(i) - 1) * colW;
        const double y = minutesBetween(grid.start, a.StartTime()) / minutes * slot;
        const double h = std::abs(minutesBetween(a.StartTime(), a.EndTime())) / minutes * slot;
        result << QRectF(x, y, colW, a.StartTime() == a.EndTime() ? thin : h);
    }
    return result;
}

int stripRows(const QList<TerminPtr>& appointments)
{
    const auto count = std::count_if(appointments.begin(), appointments.end(),
                                     [](const TerminPtr& a) { return inStrip(*a); });
    return int(std::min<qsizetype>(count, kMaxStripRows));
}

QList<QRectF> stripBoxes(const QList<TerminPtr>& appointments, double width, int rows,
                         double rowHeight)
{
    const auto count = std::count_if(appointments.begin(), appointments.end(),
                                     [](const TerminPtr& a) { return inStrip(*a); });
    // More than the rows: all share the strip's height, in smaller boxes.
    const double height = count > rows ? rows * rowHeight / double(count) : rowHeight;
    QList<QRectF> result;
    result.reserve(appointments.size());
    int row = 0;
    for (const TerminPtr& a : appointments)
        result << (inStrip(*a) ? QRectF(0, height * row++, width, height) : QRectF());
    return result;
}

} // namespace DayLayout
