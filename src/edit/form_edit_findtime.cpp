// The editor's "Find a time...": a request the window answers with its dialog over the editor;
// the time taken there becomes the appointment's day and times, the people its "For" list and
// the rooms its rooms.
#include "edit/form_edit.h"

#include "edit/form_edit_layout.h"
#include "store/AppointmentFile.h"

#include <QFrame>
#include <QPointer>
#include <QPushButton>

using namespace FormEditLayout;

void form_edit::createFindTimeButton()
{
    if (!m_handOver->findTime)
        return;
    command_find_time = new QPushButton(frame_display[kAppointmentPage]);
    command_find_time->setObjectName(QStringLiteral("command_find_time"));
    command_find_time->setGeometry(Layout::kFindTime);
    command_find_time->setText(tr("Find a time..."));
    connect(command_find_time, &QPushButton::clicked, this, [this] {
        ClassTermin draft = m_handOver->appointment;
        draft.setDatum(text_am->value());
        draft.setStartTime(text_zeit_von->value());
        draft.setEndTime(text_zeit_bis->value());
        draft.setForUsers(AppointmentFile::loginsOf(text_for->text()));
        draft.setRooms(AppointmentFile::roomsOf(text_rooms->text()));
        m_handOver->findTime(
            {draft, this,
             [self = QPointer(this)](const QDate& day, TimeOfDay start, TimeOfDay end,
                                     const QStringList& forUsers, const QStringList& rooms) {
                 if (!self)
                     return;
                 // As the date sheet and the clocks would have set them.
                 self->datumswahl_Change(day);
                 self->zeit_von_TimeChanged(start);
                 self->zeit_bis_TimeChanged(end);
                 self->text_for->setText(forUsers.join(QStringLiteral(", ")));
                 self->text_rooms->setText(rooms.join(QStringLiteral("; ")));
             }});
    });
}
