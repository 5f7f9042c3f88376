// The main window's "Find a time...": from the Edit menu over the window, or over the editor
// whose button asked. A time taken from the menu's dialog opens the editor on a new
// appointment for the people chosen; one taken for an editor goes back into it.
#include "views/form_main.h"

#include "edit/AppointmentEditing.h"
#include "layout/FreeSlots.h"
#include "layout/PersonLanes.h"
#include "store/ApiLoginName.h"
#include "views/EditCoordinator.h"
#include "views/FindTimeDialog.h"
#include "views/MainWindowControls.h"

#include <QAction>
#include <QPointer>

#include <algorithm>

namespace {

// Who an appointment of owner is for when persons were asked: all of them but the owner.
QStringList forUsersOf(QStringList persons, const QString& owner)
{
    persons.removeAll(owner);
    return persons;
}

} // namespace

void form_main::connectFindTime()
{
    connect(m_ui->mnu_edit_find_time, &QAction::triggered, this, [this] { openFindTime(nullptr); });
    // The editing outlives the window: an editor that asks later is not answered.
    m_editing.setFindTime([window = QPointer(this)](const FindTimeAsk& ask) {
        if (window)
            window->openFindTime(&ask);
    });
}

void form_main::openFindTime(const FindTimeAsk* ask)
{
    FindTimeDialog::Start start;
    start.team = m_settings.TeamMembers();
    for (const TeamRoom& room : m_settings.TeamRooms())
        start.rooms << room.name;
    // Besides the team's, whoever and whatever the days the calendars show know of.
    QStringList booked;
    for (const QDate& day : calendarDays())
        for (const TerminPtr& a : m_stores->knownDay(day).value_or(QList<TerminPtr>())) {
            for (const QString& login : PersonLanes::loginsOf(*a))
                if (!login.isEmpty() && !start.others.contains(login))
                    start.others << login;
            booked << a->Rooms();
        }
    start.others.sort();
    booked.sort(Qt::CaseInsensitive);
    start.rooms << booked;
    start.now = m_now();
    start.from = today();
    if (ask) {
        const ClassTermin& draft = ask->draft;
        start.chosen = PersonLanes::loginsOf(draft);
        start.chosenRooms = draft.Rooms();
        const int minutes = draft.EndTime().minutes() - draft.StartTime().minutes();
        if (minutes >= FreeSlots::kShortest)
            start.minutes = minutes;
        start.from = std::max(start.from, draft.datum());
    } else {
        start.chosen = {GetLoginName()};
    }
    start.to = start.from.addDays(13);
    start.weekdays = FreeSlots::shownWeekdays(m_settings);
    start.datePattern = m_settings.DateFormat();
    start.timeFormat = m_settings.TimeFormat();
    start.langCode = m_settings.LangCode();

    auto* dialog = new FindTimeDialog(*m_stores, start, ask ? ask->editor : this);
    // A change of ours (the appointment made of a time taken) shows in the list.
    connect(m_stores.get(), &FolderStores::historyChanged, dialog, &FindTimeDialog::find);
    if (ask) {
        connect(dialog, &FindTimeDialog::slotTaken, dialog,
                [dialog, take = ask->take,
                 owner = ask->draft.Producer()](const FindTimeDialog::Taken& taken) {
                    take(taken.slot.day, taken.slot.start, taken.slot.end,
                         forUsersOf(taken.persons, owner), taken.rooms);
                    dialog->close();
                });
        dialog->open();
        return;
    }
    connect(dialog, &FindTimeDialog::slotTaken, this, [this](const FindTimeDialog::Taken& taken) {
        ClassTermin a = newAppointment(taken.slot.day, taken.slot.start, taken.slot.end);
        a.setForUsers(forUsersOf(taken.persons, a.Producer()));
        a.setRooms(taken.rooms);
        m_edits->create(a);
    });
    dialog->show();
}
