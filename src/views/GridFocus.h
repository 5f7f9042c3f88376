#pragma once

#include "profile/DateParts.h"

#include <QList>
#include <QString>

#include <optional>

// Where the keyboard is in the day or week grid and where each key takes it. The focus rests
// on an appointment or on a free step of the grid, so a new appointment can be made at any
// time without the mouse. Pure: the view tells the days as they are laid out and does what the
// answer says.
namespace GridFocus {

// An appointment of a day, in the order of the day column's appointments.
struct Item {
    TimeOfDay start;
    TimeOfDay end;
    bool allDay = false;
};

struct Grid {
    QList<QList<Item>> days; // left to right
    TimeOfDay first;         // the first grid line
    TimeOfDay last;          // the end of the last step
    int gridMinutes = 30;
};

struct Focus {
    int day = 0;    // index into Grid::days
    int item = -1;  // index into the day's items; -1 for a free step
    TimeOfDay time; // the step's time, or the item's start
    friend bool operator==(const Focus&, const Focus&) = default;
};

enum class Key { Up, Down, Left, Right, Home, End };

// The focus after key; the focus itself where the key leads nowhere.
Focus move(const Grid& grid, const Focus& focus, Key key);
// A focus that fits the grid: on its item where that still is, else on the step at its time.
Focus fitted(const Grid& grid, Focus focus);
// The step of the grid that holds time.
TimeOfDay stepOf(const Grid& grid, TimeOfDay time);

// Alt with the arrows: the focused appointment a step earlier or later, a day back or on, or,
// with Shift as well, a step shorter or longer. Kept inside its day and never shorter than a
// step (or than it was), as a mouse drag; nothing for keys that do not change it.
struct Change {
    int days = 0;
    TimeOfDay start;
    TimeOfDay end;
    friend bool operator==(const Change&, const Change&) = default;
};
enum class Shift { Earlier, Later, DayBack, DayOn, Shorter, Longer };
std::optional<Change> shifted(const Item& item, int gridMinutes, Shift shift);

} // namespace GridFocus
