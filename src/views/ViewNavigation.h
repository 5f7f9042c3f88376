#pragma once

#include "views/ViewMode.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>

#include <functional>
#include <optional>

// Where the main window's buttons, keys, calendar clicks and year and month lists lead: the
// selected date, the month of the upper calendar and the day or week mode, as plain data. The
// lower calendar always shows the month after the upper one. In the week mode the selected
// date is a day the week view shows, so whatever takes it as "the day" (the D key, a new
// appointment, the day print) lands on a column in sight.
class ViewNavigation {
public:
    // Whether the week view shows a weekday (1 = Sunday … 7 = Saturday).
    using WeekdayFilter = std::function<bool(int weekday)>;

    struct State {
        QDate selected;
        QDate shown; // the first of the upper calendar's month
        // The month view shows the selected date's month, the list the days from it on.
        ViewMode mode = ViewMode::Day;
        friend bool operator==(const State&, const State&) = default;
    };
    // What the window draws again after a step: nothing, the calendars, or the calendars and
    // the view.
    enum class Redraw { Nothing, Calendars, View };
    // The days the agenda list shows, and Page Up and Down step by.
    static constexpr int kListDays = 14;
    struct Step {
        State state;
        Redraw redraw = Redraw::View;
    };
    // An entry of the year or month list.
    struct ListEntry {
        QString text;
        int value = 0; // a year, or a month 1..12
        bool checked = false;
    };

    // firstWeekday 1 = Sunday … 7 = Saturday; german decides the letter keys; without
    // shownWeekdays every weekday is shown.
    ViewNavigation(int firstWeekday, const QDate& today, bool german,
                   WeekdayFilter shownWeekdays = {});

    // The day of the week around date that a week view selects: today when it lies in that
    // week and is shown, else the first shown day; the week's first day when none is shown.
    QDate shownDayOfWeek(const QDate& date) const;

    // One day, week or month forward (sign 1) or back (-1) from the selection.
    Step stepView(const State& state, int sign) const;
    // Today (sign 0), the day, week or month after (1) or before (-1), counted from today.
    Step aroundToday(const State& state, int sign) const;
    // The calendars one month forward or back; the selection stays. Not beyond 20 years ahead.
    Step stepMonth(const State& state, int sign) const;
    Step dayMode(const State& state) const;
    // The week around the selected date.
    Step weekMode(const State& state) const;
    // The month of the selected date.
    Step monthMode(const State& state) const;
    // The agenda list from the selected date on.
    Step listMode(const State& state) const;
    Step peopleMode(const State& state) const;
    // A date asked for (Go to date): shown in the mode of the moment, the calendars follow.
    Step goTo(const State& state, const QDate& date) const;
    // A day or a week chosen in a calendar or a day header; a day chosen in the month view
    // keeps it.
    Step pickDay(const State& state, const QDate& date) const;
    Step pickWeek(const State& state, const QDate& firstDay) const;
    // The day view of date, chosen in the month view.
    Step openDay(const State& state, const QDate& date) const;
    // A key of the window; nothing for a key without a meaning here.
    std::optional<Step> key(const State& state, int key, Qt::KeyboardModifiers modifiers) const;

    // Seven years around the shown one, or the twelve months (monthNames 1..12).
    QList<ListEntry> yearList(const State& state) const;
    QList<ListEntry> monthList(const State& state, const QStringList& monthNames) const;
    // A year or month chosen from a list: the calendars show it, keeping the other part.
    Step chooseFromList(const State& state, int value) const;

private:
    // Neither calendar shows the month of date.
    static bool outOfSight(const State& state, const QDate& date);
    State stepSelected(const State& state, int days, int months, bool forward) const;
    State towards(const State& state, const QDate& selected, bool forward) const;
    State inWeekMode(State state) const;
    // Arrows move the month view's selection by a day or a week, Page Up and Down by a month,
    // past the weekdays it does not show.
    std::optional<Step> monthKey(const State& state, int key, Qt::KeyboardModifiers mods) const;
    // In the agenda list the arrows move by a day, Page Up and Down by the list's days.
    std::optional<Step> listKey(const State& state, int key, Qt::KeyboardModifiers mods) const;

    int m_firstWeekday;
    QDate m_today;
    bool m_german;
    WeekdayFilter m_shownWeekdays;
};
