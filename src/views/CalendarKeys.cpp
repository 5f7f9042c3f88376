#include "views/CalendarKeys.h"

#include "calendar/Weeks.h"
#include "ui/DateKeys.h"

#include <algorithm>

namespace CalendarKeys {

namespace {

QDate firstOfMonth(const QDate& date)
{
    return QDate(date.year(), date.month(), 1);
}

bool isArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

bool isForward(int key)
{
    return key == Qt::Key_Right || key == Qt::Key_Down || key == Qt::Key_PageDown ||
           key == Qt::Key_End;
}

std::optional<QDate> weekStep(const QDate& weekStart, const QDate& shown, int key, int firstday)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return weekStart.addDays(-7);
    case Qt::Key_Right:
    case Qt::Key_Down:
        return weekStart.addDays(7);
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return StartOfWeek(weekStart.addMonths(key == Qt::Key_PageDown ? 1 : -1), firstday);
    case Qt::Key_Home:
        return StartOfWeek(shown, firstday);
    case Qt::Key_End:
        return StartOfWeek(shown.addDays(shown.daysInMonth() - 1), firstday);
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<Place> step(const Place& from, int key, Qt::KeyboardModifiers modifiers, int firstday)
{
    if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier || !from.shown.isValid())
        return std::nullopt;
    const QDate first = firstOfMonth(from.shown);
    const QDate last = first.addDays(first.daysInMonth() - 1);
    const QDate selected = from.selected.isValid() ? from.selected : first;
    // The same day in the month shown, for a selection out of sight.
    const QDate alike(first.year(), first.month(), std::min(selected.day(), first.daysInMonth()));

    if (from.week) {
        const QDate start = StartOfWeek(selected, firstday);
        const bool inSight = start <= last && start.addDays(6) >= first;
        const QDate base = inSight ? start : StartOfWeek(alike, firstday);
        std::optional<QDate> to = weekStep(base, first, key, firstday);
        if (!to)
            return std::nullopt;
        if (!inSight && isArrow(key))
            to = base;
        if (*to <= last && to->addDays(6) >= first)
            return Place{*to, first, true};
        // Of a week beyond the month shown, its nearest part comes into sight.
        const QDate nearest = isForward(key) ? *to : to->addDays(6);
        return Place{*to, firstOfMonth(nearest), true};
    }

    const bool inSight = firstOfMonth(selected) == first;
    const QDate base = inSight ? selected : alike;
    std::optional<QDate> to = DateKeys::step(base, key, modifiers);
    if (!to)
        return std::nullopt;
    if (!inSight && isArrow(key))
        to = base;
    return Place{*to, firstOfMonth(*to), false};
}

} // namespace CalendarKeys
