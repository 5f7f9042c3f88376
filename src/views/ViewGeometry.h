#pragma once

#include "profile/DateParts.h"

#include <QDate>
#include <QList>
#include <QRect>
#include <QString>

#include <functional>
#include <utility>

// The arithmetic of the day and week views, apart from any widget so it can be checked
// on its own. Lengths are twips.
namespace ViewGeometry {

constexpr int kTimeLabelColumn = 500; // hour labels left of the day columns
constexpr int kGridMargin = 200;
constexpr int kMinimumRowHeight = 225; // 15 pixels
constexpr int kColumnBottomMargin = 60;
constexpr int kTwipsPerPixel = 15;

// The all-day strip above the hours: rows of one label line each and a gap under them, as
// high as the busiest day of the view needs; nothing without rows.
constexpr int kStripRowHeight = 270; // 18 pixels
constexpr int kStripGap = 60;
int StripHeight(int rows);

// Rows of the time grid: the minutes between day start and end divided by the grid, with
// halves going to the even neighbour. 0 when start and end are equal.
int Rows(TimeOfDay dayStart, TimeOfDay dayEnd, int gridMinutes);

// Whole pixels of (panel height − margin) / rows, at least 15 pixels. With no rows, the
// minimum.
int RowHeight(int panelHeight, int rows);

struct Scroll {
    bool enabled = false;
    int maximum = 0;     // pixels
    int largeChange = 0; // pixels
    int smallChange = 0; // pixels
};
Scroll ScrollFor(int viewHeight, int panelHeight, int rowHeight);

// One line of the hour-label column.
struct HourLabel {
    int row = 0;
    QString hour;    // "08:" etc.; empty when the line continues the hour before
    QString dayHalf; // "am"/"pm" under the hour, 12-hour format only (DayHalfUnderHour)
    QString minutes; // "00", "30", ...
};
QList<HourLabel> HourLabels(TimeOfDay dayStart, int rows, int gridMinutes,
                            const QString& timeFormat);

// Where a 12-hour label's day half stands, in pixels from the top of its hour's row: under the
// hour's digits, in a font that fits the room left in the row (at most the hour's size, never
// below 7 pixels), so it never reads as one with the next line's minutes.
struct DayHalfPlace {
    int top = 0;
    int pixelSize = 0;
};
DayHalfPlace DayHalfUnderHour(int rowHeight, int hourAscent, int hourPixelSize);
// The room under the grid's last line: the margin, or where that line's label has an am or pm,
// enough for it under the digits as on every other line.
int BottomMargin(const QList<HourLabel>& labels, int hourAscent, int hourPixelSize);

// Left and right edge of the c-th (1-based) of n equal week columns in a view of viewWidth.
struct ColumnSpan {
    int startX = 0;
    int endX = 0;
};
ColumnSpan WeekColumn(int viewWidth, int n, int c);

// The week-view header: "Mo 2003-07-07", then without the year, then the two letters alone,
// whichever first fits the column. shortName is the day's two letters (ShortDayNames);
// textWidth measures in the header's font.
QString WeekHeader(const QString& shortName, const QString& dateText, const QString& dateNoYear,
                   int columnWidth, const std::function<int(const QString&)>& textWidth);

// The hour a new appointment proposes when the clock shows nowHour: that full hour to the
// next, moved inside the shown hours so it lies on the grid; the shown hours themselves when
// they are shorter than an hour.
std::pair<TimeOfDay, TimeOfDay> ProposedHour(int nowHour, TimeOfDay shownStart, TimeOfDay shownEnd);

// The time grid as the day columns lay it out, for dragging appointment labels.
struct TimeGrid {
    QList<ColumnSpan> columns; // left to right
    TimeOfDay dayStart;        // the time of the first line
    int gridMinutes = 30;
    double firstLineY = 0; // where the first line lies
    double slotHeight = 0; // from one line to the next
};
// The column under x; beside the columns the nearest one; -1 without columns.
int ColumnAt(const TimeGrid& grid, int x);
double YOfTime(const TimeGrid& grid, TimeOfDay time);

// A press close to a label's lower edge takes the edge (at most a third of a small label),
// anywhere else the whole label.
enum class DragKind { Move, Resize };
constexpr int kResizeEdge = 75; // 5 pixels
DragKind DragKindAt(int yInLabel, int labelHeight);

// Where an appointment from start to end in column from goes as the pointer moves from
// pressed to now: a move takes it by whole grid steps and to the column under the pointer, a
// resize moves its end by whole steps. It never leaves its day, and a resize never makes it
// shorter than a step (or than it was, when it was shorter already).
struct DragTarget {
    int column = 0;
    TimeOfDay start;
    TimeOfDay end;
    friend bool operator==(const DragTarget&, const DragTarget&) = default;
};
DragTarget DragTo(const TimeGrid& grid, DragKind kind, int from, TimeOfDay start, TimeOfDay end,
                  const QPoint& pressed, const QPoint& now);

// Where the main window opens: where it was, when a screen still shows most of it; otherwise
// centred on the first screen at a comfortable share of it, never below the design size.
// screens are the screens' available areas, the first one the primary.
QRect InitialWindowGeometry(const QRect& saved, const QList<QRect>& screens, const QSize& design);

} // namespace ViewGeometry
