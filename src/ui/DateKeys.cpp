#include "ui/DateKeys.h"

namespace DateKeys {

std::optional<QDate> step(const QDate& from, int key, Qt::KeyboardModifiers modifiers)
{
    // The arrows of the number pad come with their own modifier.
    if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier || !from.isValid())
        return std::nullopt;
    switch (key) {
    case Qt::Key_Left:
        return from.addDays(-1);
    case Qt::Key_Right:
        return from.addDays(1);
    case Qt::Key_Up:
        return from.addDays(-7);
    case Qt::Key_Down:
        return from.addDays(7);
    case Qt::Key_PageUp:
        return from.addMonths(-1);
    case Qt::Key_PageDown:
        return from.addMonths(1);
    case Qt::Key_Home:
        return QDate(from.year(), from.month(), 1);
    case Qt::Key_End:
        return QDate(from.year(), from.month(), from.daysInMonth());
    default:
        return std::nullopt;
    }
}

} // namespace DateKeys
