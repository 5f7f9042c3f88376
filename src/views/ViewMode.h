#pragma once

// What the main window shows: the day view, the week view, the month grid, the agenda list or
// the day as lanes per person.
// Every part of the window asks this one value, so a print or a step answers for the view that
// is really shown.
enum class ViewMode { Day, Week, Month, List, People };

// What the back, forward and around-today buttons step by, and so what their tooltips say: the
// list steps by a day, as the day view does.
enum class StepUnit { Day, Week, Month };

constexpr StepUnit stepUnitOf(ViewMode mode)
{
    switch (mode) {
    case ViewMode::Week:
        return StepUnit::Week;
    case ViewMode::Month:
        return StepUnit::Month;
    case ViewMode::Day:
    case ViewMode::List:
    case ViewMode::People:
        break;
    }
    return StepUnit::Day;
}

// The day and week view draw day columns; the month grid and the list lie over them.
constexpr bool showsDayColumns(ViewMode mode)
{
    return mode == ViewMode::Day || mode == ViewMode::Week;
}
