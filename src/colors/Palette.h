#pragma once

#include <QColor>

// The fixed colours of the drawn views and of the printouts, as they look on a light
// desktop and on paper; a dark desktop adapts them on screen (ui/ScreenColors).
namespace Palette {

inline const QColor kInk(0, 0, 0);
// Secondary text and rules on paper.
inline const QColor kGreyInk(128, 128, 128);
// Weekends on screen and on paper, and the days of other months on paper.
inline const QColor kWeekendGrey(239, 239, 239);
// The strips above the grids and the month view's headers.
inline const QColor kHeaderGrey(148, 148, 148);
inline const QColor kGridLine(192, 192, 192);
// The selected day and the calendar's captions.
inline const QColor kDarkBlue(0, 0, 192);
// Today's mark in the calendars, and a data folder that does not answer.
inline const QColor kAlertRed(255, 0, 0);
// Where a dragged appointment would land.
inline const QColor kDropTarget(255, 244, 200);

} // namespace Palette
