// The editor's "Calendar" choice: which of the data folders shown a new appointment goes into.
// It lies beside OK and Cancel, apart from the pages.
#include "edit/form_edit.h"

#include "edit/form_edit_layout.h"

#include <QComboBox>
#include <QLabel>

using namespace FormEditLayout;

void form_edit::createCalendarChoice()
{
    const QList<EditHandOver::Calendar>& calendars = m_handOver->calendars;
    if (calendars.size() < 2)
        return;
    label_calendar = new QLabel(this);
    label_calendar->setObjectName(QStringLiteral("label_calendar"));
    label_calendar->setGeometry(Layout::kCalendarCaption);
    combo_calendar = new QComboBox(this);
    combo_calendar->setObjectName(QStringLiteral("combo_calendar"));
    combo_calendar->setGeometry(Layout::kCalendar);
    // A folder's name is shown as it is, whatever it holds.
    for (const EditHandOver::Calendar& calendar : calendars)
        combo_calendar->addItem(calendar.name);
    label_calendar->setBuddy(combo_calendar);
}

void form_edit::takeCalendarChoice()
{
    if (!combo_calendar)
        return;
    const EditHandOver::Calendar chosen =
        m_handOver->calendars.value(combo_calendar->currentIndex());
    if (chosen.filer)
        m_handOver->filer = chosen.filer.get();
}
