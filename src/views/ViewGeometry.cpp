#include "views/ViewGeometry.h"

#include "calendar/Formats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ViewGeometry {

int Rows(TimeOfDay dayStart, TimeOfDay dayEnd, int gridMinutes)
{
    const int minutes = std::abs(dayEnd.minutes() - dayStart.minutes());
    return int(std::nearbyint(double(minutes) / gridMinutes));
}

int RowHeight(int panelHeight, int rows)
{
    if (rows <= 0)
        return kMinimumRowHeight;
    const int pixels = (panelHeight - kGridMargin) / rows / kTwipsPerPixel;
    return std::max(kMinimumRowHeight, pixels * kTwipsPerPixel);
}

int StripHeight(int rows)
{
    return rows > 0 ? rows * kStripRowHeight + kStripGap : 0;
}

Scroll ScrollFor(int viewHeight, int panelHeight, int rowHeight)
{
    if (viewHeight <= panelHeight)
        return {};
    return {true, (viewHeight - panelHeight) / kTwipsPerPixel, panelHeight / kTwipsPerPixel,
            rowHeight / kTwipsPerPixel};
}

QList<HourLabel> HourLabels(TimeOfDay dayStart, int rows, int gridMinutes,
                            const QString& timeFormat)
{
    QList<HourLabel> labels;
    const bool twelveHours = !IsTwentyFourHours(timeFormat);
    int previousHour = -1;
    for (int r = 0; r <= rows; ++r) {
        const TimeOfDay t = TimeOfDay::fromMinutes(dayStart.minutes() + r * gridMinutes);
        const int h = t.hour() % 24;
        HourLabel label;
        label.row = r;
        label.minutes = TwoDigits(t.minute());
        if (h != previousHour) {
            const TwelveHour twelve = TwelveHourClock(h);
            label.hour = TwoDigits(twelveHours ? twelve.hour : h) + QLatin1Char(':');
            if (twelveHours)
                label.dayHalf = twelve.dayHalf;
        }
        previousHour = h;
        labels.append(label);
    }
    return labels;
}

DayHalfPlace DayHalfUnderHour(int rowHeight, int hourAscent, int hourPixelSize)
{
    constexpr int kSmallest = 7;
    const int top = hourAscent + 1;
    const int largest = std::max(kSmallest, hourPixelSize);
    return {top, std::clamp(rowHeight - top, kSmallest, largest)};
}

int BottomMargin(const QList<HourLabel>& labels, int hourAscent, int hourPixelSize)
{
    if (labels.isEmpty() || labels.last().dayHalf.isEmpty())
        return kGridMargin;
    // No row under it to keep to: the day half in its largest size.
    const DayHalfPlace place = DayHalfUnderHour(1000, hourAscent, hourPixelSize);
    return std::max(kGridMargin, (place.top + place.pixelSize + 1) * kTwipsPerPixel);
}

ColumnSpan WeekColumn(int viewWidth, int n, int c)
{
    if (n <= 0)
        return {};
    const int colW = (viewWidth - kTimeLabelColumn) / n;
    return {colW * (c - 1) + kTimeLabelColumn - 15, colW * c + kTimeLabelColumn - 15};
}

QString WeekHeader(const QString& shortName, const QString& dateText, const QString& dateNoYear,
                   int columnWidth, const std::function<int(const QString&)>& textWidth)
{
    QString text = shortName + QLatin1Char(' ') + dateText;
    if (columnWidth < textWidth(text)) {
        text = shortName + QLatin1Char(' ') + dateNoYear;
        if (columnWidth < textWidth(text))
            text = shortName;
    }
    return text;
}

std::pair<TimeOfDay, TimeOfDay> ProposedHour(int nowHour, TimeOfDay shownStart, TimeOfDay shownEnd)
{
    const int first = shownStart.minutes();
    const int last = shownEnd.minutes();
    // An hour from 23:00 would end in the day after.
    int start = std::clamp(nowHour, 0, 22) * 60;
    if (last > first)
        start = last - first < 60 ? first : std::clamp(start, first, last - 60);
    const int end = last > first ? std::min(start + 60, last) : start + 60;
    return {TimeOfDay::fromMinutes(start), TimeOfDay::fromMinutes(end)};
}

int ColumnAt(const TimeGrid& grid, int x)
{
    const int n = int(grid.columns.size());
    for (int c = 0; c < n; ++c)
        if (x < grid.columns[c].endX || c == n - 1)
            return c;
    return -1;
}

double YOfTime(const TimeGrid& grid, TimeOfDay time)
{
    return grid.firstLineY +
           double(time.minutes() - grid.dayStart.minutes()) / grid.gridMinutes * grid.slotHeight;
}

DragKind DragKindAt(int yInLabel, int labelHeight)
{
    const int edge = std::min(kResizeEdge, labelHeight / 3);
    return yInLabel >= labelHeight - edge ? DragKind::Resize : DragKind::Move;
}

DragTarget DragTo(const TimeGrid& grid, DragKind kind, int from, TimeOfDay start, TimeOfDay end,
                  const QPoint& pressed, const QPoint& now)
{
    const int steps =
        grid.slotHeight > 0 ? int(std::lround((now.y() - pressed.y()) / grid.slotHeight)) : 0;
    const int delta = steps * grid.gridMinutes;
    const int s = start.minutes();
    const int e = end.minutes();
    if (kind == DragKind::Resize) {
        const int shortest = std::min(e, s + grid.gridMinutes);
        return {from, start,
                TimeOfDay::fromMinutes(
                    std::clamp(e + delta, shortest, std::max(e, TimeOfDay::kEndOfDay)))};
    }
    const int moved = std::clamp(delta, std::min(0, -s), std::max(0, TimeOfDay::kEndOfDay - e));
    const int column = ColumnAt(grid, now.x());
    return {column < 0 ? from : column, TimeOfDay::fromMinutes(s + moved),
            TimeOfDay::fromMinutes(e + moved)};
}

} // namespace ViewGeometry

namespace ViewGeometry {

QRect InitialWindowGeometry(const QRect& saved, const QList<QRect>& screens, const QSize& design)
{
    if (saved.isValid()) {
        const qint64 area = qint64(saved.width()) * saved.height();
        for (const QRect& screen : screens) {
            const QRect shown = screen.intersected(saved);
            if (qint64(shown.width()) * shown.height() * 2 >= area)
                return QRect(saved.topLeft(), saved.size().expandedTo(design));
        }
    }
    if (screens.isEmpty())
        return QRect(QPoint(0, 0), design);
    // Four fifths of the screen leaves the desktop in sight around the window.
    const QRect screen = screens.first();
    const QSize size =
        (screen.size() * 4 / 5).expandedTo(design).boundedTo(screen.size().expandedTo(design));
    return QRect(screen.x() + (screen.width() - size.width()) / 2,
                 screen.y() + (screen.height() - size.height()) / 2, size.width(), size.height());
}

} // namespace ViewGeometry
