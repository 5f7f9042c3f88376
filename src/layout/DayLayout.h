#pragma once

#include "store/ClassTermin.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <utility>

// Where the appointments of a day lie, on screen and on paper alike: overlapping ones side by
// side in columns, each in a box of an area that spans the day's hours. The columns come back
// beside the appointments; the records, which other views share, are never written.
namespace DayLayout {

// Columns side by side before an appointment is left without one (column 0).
inline constexpr int kMaxColumns = 50;

// An all-day appointment lies in a strip above the hours, not in them: it takes no column and
// widens no hours.
bool inStrip(const ClassTermin& a);
// A day's appointments as the lists show them: the whole day first, then by start and end; the
// same times keep the day's own order.
QList<TerminPtr> inDayOrder(QList<TerminPtr> appointments);

// Touching intervals do not overlap.
bool overlaps(TimeOfDay s1, TimeOfDay e1, TimeOfDay s2, TimeOfDay e2);

// The column of each appointment, in list order: greedy, the lowest of 1..kMaxColumns without
// an overlapping appointment (and, with rowPerColor, without one of another colour); 0 when
// none is free, and for those in the strip. One of no length takes its first minute, as its
// box does: two at the same time stand side by side.
QList<int> columns(const QList<TerminPtr>& appointments, bool rowPerColor);

// The columns the width is divided into: the highest one used, at least 1.
int columnCount(const QList<int>& columns);

// The hours from start to end, widened to whole hours that cover every appointment given
// (never beyond 00:00 to 24:00), so no appointment lies outside the grid.
std::pair<TimeOfDay, TimeOfDay> shownHours(TimeOfDay start, TimeOfDay end,
                                           const QList<TerminPtr>& appointments);

// The hours an area spans and the minutes of one grid step.
struct Grid {
    TimeOfDay start;
    TimeOfDay end;
    int minutes = 30;

    // Grid steps from start to end, a fraction where they do not divide evenly.
    double steps() const;
};

// The height of one grid step in an area this high: rounded down to a multiple of step when
// one is given (whole pixels on screen); 0 when the grid has no step to divide it into.
double slotHeight(double height, const Grid& grid, double step = 0);

// The box of each appointment in an area of size from its top left corner: its column's share
// of the width, and its times on the grid (y below 0 when it starts before the grid, as high
// as its absolute length, at least thin when it has no length, so it shows). An empty box for
// those in the strip; none at all when the area has no width or no slot height.
QList<QRectF> boxes(const QList<TerminPtr>& appointments, const QList<int>& columns,
                    const QSizeF& size, const Grid& grid, double step = 0, double thin = 0);

// Rows of the strip the strip appointments need, at most kMaxStripRows: a view's strip is as
// high as its busiest day's.
inline constexpr int kMaxStripRows = 3;
int stripRows(const QList<TerminPtr>& appointments);

// The box of each appointment in a strip of rows rows of rowHeight, width wide: one row each
// in list order, or all stacked evenly in the strip when there are more than rows. An empty
// box for those in the hours.
QList<QRectF> stripBoxes(const QList<TerminPtr>& appointments, double width, int rows,
                         double rowHeight);

} // namespace DayLayout
