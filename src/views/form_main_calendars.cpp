// The month calendars by keyboard: what a key selects goes the way of a click; the keys a
// calendar has no use for go to the window. And the year and month lists over them.
#include "views/form_main.h"

#include "calendar/Names.h"
#include "settings/Settings.h"
#include "views/Calendar.h"
#include "views/MainWindowControls.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

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

void form_main::label_jahr_MouseDown()
{
    showDatumList(navigation().yearList(viewState()), m_ui->label_jahr);
}

void form_main::label_monat_MouseDown()
{
    showDatumList(navigation().monthList(viewState(), MonthNames(m_settings.LangCode())),
                  m_ui->label_monat);
}

void form_main::showDatumList(const QList<ViewNavigation::ListEntry>& entries, QLabel* below)
{
    for (int i = 0; i < m_ui->mnu_popup_datum_array.size(); ++i) {
        QAction* item = m_ui->mnu_popup_datum_array[i];
        item->setVisible(i < entries.size());
        if (i >= entries.size())
            continue;
        item->setText(entries[i].text);
        item->setData(entries[i].value);
        item->setChecked(entries[i].checked);
    }
    m_ui->mnu_popup_datum->popup(below->mapToGlobal(QPoint(0, below->height())));
}

void form_main::mnu_popup_datum_array_Click(int index)
{
    const QAction* item = m_ui->mnu_popup_datum_array.value(index);
    navigate(navigation().chooseFromList(viewState(), item ? item->data().toInt() : 0));
}
