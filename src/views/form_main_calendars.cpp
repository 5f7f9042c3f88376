// The month calendars by keyboard: what a key selects goes the way of a click; the keys a
// calendar has no use for go to the window.
#include "views/form_main.h"

#include "views/Calendar.h"

void form_main::connectCalendarKeys()
{
    for (Calendar* calendar : {m_calendar1.get(), m_calendar2.get()})
        connect(calendar, &Calendar::UnusedKey, this,
                [this](int key, Qt::KeyboardModifiers modifiers) { windowKey(key, modifiers); });
    // The lower calendar shows the month after the upper one: when a key takes it into
    // another month, the upper one goes along before the selection is taken.
    connect(m_calendar2.get(), &Calendar::ShowDateMoved, this,
            [this](const QDate& shown) { m_calendar1->setShowDate(shown.addMonths(-1)); });
}
