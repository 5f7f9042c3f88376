#include "views/ViewNavigation.h"

#include "calendar/Weeks.h"
#include "profile/DateParts.h"

namespace {

QDate firstOfMonth(const QDate& date)
{
    return QDate(date.year(), date.month(), 1);
}

} // namespace

ViewNavigation::ViewNavigation(int firstWeekday, const QDate& today, bool german,
                               WeekdayFilter shownWeekdays)
    : m_firstWeekday(firstWeekday)
    , m_today(today)
    , m_german(german)
    , m_shownWeekdays(std::move(shownWeekdays))
{
    if (!m_shownWeekdays)
        m_shownWeekdays = [](int) { return true; };
}

QDate ViewNavigation::shownDayOfWeek(const QDate& date) const
{
    const QDate first = StartOfWeek(date, m_firstWeekday);
    if (StartOfWeek(m_today, m_firstWeekday) == first && m_shownWeekdays(Weekday(m_today)))
        return m_today;
    for (int i = 0; i < 7; ++i)
        if (m_shownWeekdays(Weekday(first.addDays(i))))
            return first.addDays(i);
    return first;
}

bool ViewNavigation::outOfSight(const State& state, const QDate& date)
{
    return date.month() != state.shown.month() && date.month() != state.shown.addMonths(1).month();
}

ViewNavigation::State ViewNavigation::stepSelected(const State& state, int days, int months,
                                                   bool forward) const
{
    return towards(state, state.selected.addMonths(months).addDays(days), forward);
}

ViewNavigation::State ViewNavigation::towards(const State& state, const QDate& selected,
                                              bool forward) const
{
    State next = state;
    next.selected = selected;
    // Forward, the new month comes into the lower calendar; back, into the upper one.
    if (outOfSight(state, next.selected))
        next.shown = firstOfMonth(forward ? next.selected.addMonths(-1) : next.selected);
    return next;
}

ViewNavigation::State ViewNavigation::inWeekMode(State state) const
{
    state.mode = ViewMode::Week;
    state.selected = shownDayOfWeek(state.selected);
    return state;
}

ViewNavigation::Step ViewNavigation::stepView(const State& state, int sign) const
{
    if (state.mode == ViewMode::Month)
        return {stepSelected(state, 0, sign, sign > 0)};
    if (state.mode != ViewMode::Week)
        return {stepSelected(state, sign, 0, sign > 0)};
    const State next = towards(state, shownDayOfWeek(state.selected.addDays(sign * 7)), sign > 0);
    return {inWeekMode(next)};
}

ViewNavigation::Step ViewNavigation::aroundToday(const State& state, int sign) const
{
    State next = state;
    next.selected = state.mode == ViewMode::Month
                        ? m_today.addMonths(sign)
                        : m_today.addDays(sign * (state.mode == ViewMode::Week ? 7 : 1));
    next.shown = firstOfMonth(next.selected);
    return {state.mode == ViewMode::Week ? inWeekMode(next) : next};
}

ViewNavigation::Step ViewNavigation::stepMonth(const State& state, int sign) const
{
    State next = state;
    next.shown = state.shown.addMonths(sign);
    if (sign > 0 && next.shown.year() > m_today.year() + 20)
        return {state, Redraw::Nothing};
    return {next, Redraw::Calendars};
}

ViewNavigation::Step ViewNavigation::dayMode(const State& state) const
{
    State next = state;
    next.mode = ViewMode::Day;
    return {next};
}

ViewNavigation::Step ViewNavigation::weekMode(const State& state) const
{
    return {inWeekMode(state)};
}

ViewNavigation::Step ViewNavigation::monthMode(const State& state) const
{
    State next = state;
    next.mode = ViewMode::Month;
    return {next};
}

ViewNavigation::Step ViewNavigation::listMode(const State& state) const
{
    State next = state;
    next.mode = ViewMode::List;
    return {next};
}

ViewNavigation::Step ViewNavigation::peopleMode(const State& state) const
{
    State next = state;
    next.mode = ViewMode::People;
    return {next};
}

ViewNavigation::Step ViewNavigation::goTo(const State& state, const QDate& date) const
{
    if (!date.isValid())
        return {state, Redraw::Nothing};
    const State next = towards(state, date, date > state.selected);
    if (state.mode != ViewMode::Week)
        return {next};
    // The week of date, on date itself when the week view shows that weekday.
    State week = inWeekMode(next);
    if (m_shownWeekdays(Weekday(date)))
        week.selected = date;
    return {week};
}

ViewNavigation::Step ViewNavigation::pickDay(const State& state, const QDate& date) const
{
    // The month view's days of the months around it come into a calendar.
    if (state.mode == ViewMode::Month)
        return {towards(state, date, date > state.selected)};
    // The list and the people's lanes go to the day picked.
    if (state.mode == ViewMode::List || state.mode == ViewMode::People)
        return {State{date, state.shown, state.mode}};
    return {State{date, state.shown, ViewMode::Day}};
}

ViewNavigation::Step ViewNavigation::openDay(const State& state, const QDate& date) const
{
    State next = towards(state, date, date > state.selected);
    next.mode = ViewMode::Day;
    return {next};
}

ViewNavigation::Step ViewNavigation::pickWeek(const State& state, const QDate& firstDay) const
{
    return {State{shownDayOfWeek(firstDay), state.shown, ViewMode::Week}};
}

std::optional<ViewNavigation::Step> ViewNavigation::key(const State& state, int key,
                                                        Qt::KeyboardModifiers modifiers) const
{
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
    const bool backward = key == Qt::Key_Left || key == Qt::Key_Up;
    const Step nothing{state, Redraw::Nothing};
    if (std::optional<Step> step =
            state.mode == ViewMode::Month ? monthKey(state, key, mods) : std::nullopt)
        return step;
    if (std::optional<Step> step =
            state.mode == ViewMode::List ? listKey(state, key, mods) : std::nullopt)
        return step;

    if (forward || backward) {
        const int sign = forward ? 1 : -1;
        if (mods == Qt::NoModifier)
            return stepView(state, sign);
        if (state.mode == ViewMode::Week)
            return nothing; // modifiers do nothing in the week view
        if (mods == Qt::ShiftModifier)
            return Step{stepSelected(state, sign * 7, 0, forward)};
        return Step{stepSelected(state, 0, sign, forward)};
    }

    // The initials of Heute/Tag/Woche/Monat/Liste/Person and Today/Day/Week/Month/List/Person.
    // Today stays in the view shown, as the Today button does.
    const auto dayOf = [&](const QDate& selected) {
        return Step{State{selected, firstOfMonth(selected), ViewMode::Day}};
    };
    switch (key) {
    case Qt::Key_H:
        return m_german ? aroundToday(state, 0) : nothing;
    case Qt::Key_T:
        return m_german ? dayOf(state.selected) : aroundToday(state, 0);
    case Qt::Key_D:
        return m_german ? nothing : dayOf(state.selected);
    case Qt::Key_W:
        return weekMode(state);
    case Qt::Key_M:
        return monthMode(state);
    case Qt::Key_L:
        return listMode(state);
    case Qt::Key_P:
        return peopleMode(state);
    default:
        return std::nullopt;
    }
}

std::optional<ViewNavigation::Step> ViewNavigation::monthKey(const State& state, int key,
                                                             Qt::KeyboardModifiers mods) const
{
    int days = 0;
    int months = 0;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        days = key == Qt::Key_Right ? 1 : -1;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        days = key == Qt::Key_Down ? 7 : -7;
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        months = key == Qt::Key_PageDown ? 1 : -1;
        break;
    default:
        return std::nullopt;
    }
    if (mods != Qt::NoModifier)
        return Step{state, Redraw::Nothing};
    // A weekday the view does not show is passed over, on in the direction of the step.
    const int sign = days + months > 0 ? 1 : -1;
    QDate selected = state.selected.addMonths(months).addDays(days);
    for (int i = 0; i < 6 && !m_shownWeekdays(Weekday(selected)); ++i)
        selected = selected.addDays(sign);
    return Step{towards(state, selected, sign > 0)};
}

std::optional<ViewNavigation::Step> ViewNavigation::listKey(const State& state, int key,
                                                            Qt::KeyboardModifiers mods) const
{
    int days = 0;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        days = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        days = 1;
        break;
    case Qt::Key_PageUp:
        days = -kListDays;
        break;
    case Qt::Key_PageDown:
        days = kListDays;
        break;
    default:
        return std::nullopt;
    }
    if (mods != Qt::NoModifier)
        return Step{state, Redraw::Nothing};
    return Step{stepSelected(state, days, 0, days > 0)};
}

QList<ViewNavigation::ListEntry> ViewNavigation::yearList(const State& state) const
{
    const int shownYear = state.shown.year();
    QList<ListEntry> entries;
    for (int year = shownYear - 3; year <= shownYear + 3; ++year)
        entries.append({QString::number(year), year, year == shownYear});
    return entries;
}

QList<ViewNavigation::ListEntry> ViewNavigation::monthList(const State& state,
                                                           const QStringList& monthNames) const
{
    QList<ListEntry> entries;
    for (int month = 1; month <= 12; ++month)
        entries.append({monthNames.value(month), month, month == state.shown.month()});
    return entries;
}

ViewNavigation::Step ViewNavigation::chooseFromList(const State& state, int value) const
{
    State next = state;
    const QDate shown = state.shown;
    if (value >= 1 && value <= 12)
        next.shown = firstOfMonth(DateSerial(shown.year(), value, shown.day()));
    else if (value > 12)
        next.shown = firstOfMonth(DateSerial(value, shown.month(), shown.day()));
    return {next};
}
