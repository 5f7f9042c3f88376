#pragma once

#include "ui/AccessibleItem.h"

#include <QDate>
#include <QList>
#include <QRect>
#include <QString>

// What a screen reader is told about a month calendar: a table named by the month, a cell per
// day named by its date and described as today and as having appointments, and a cell per
// week number; the selected ones selected, the keyboard's one focused.
namespace CalendarAccessible {

struct Cell {
    int row = 0;
    int column = 0; // 0..6 a day, 7 the week number
    QDate date;     // the day; a week number's week's first day
    int week = 0;   // the week number, in column 7
    QRect rect;     // on the picture, in pixels
    bool selected = false;
    bool focused = false;
    bool today = false;
    bool marked = false; // appointments on the day
};

AccessibleItem describe(const QDate& shown, const QList<Cell>& cells, const QString& langCode);

} // namespace CalendarAccessible
