// The edit coordinator's spans of days: whichever day is picked, the whole span changes.
#include "edit/AppointmentEditing.h"
#include "views/EditCoordinator.h"
#include "views/SpanChangeFiler.h"

#include <QPointer>

void EditCoordinator::editSpan(const ClassTermin& day)
{
    const Service service = serviceOf(day);
    auto filer = std::make_shared<SpanChangeFiler>(*service, day);
    // The title without its day mark: what the user types is every day's title.
    ClassTermin shown = day;
    shown.setText(SpanDays::unmarkedText(day.Text()));
    m_editing.EditMe(
        shown, true,
        [self = QPointer(this), filer, service,
         held = hold()](const AppointmentEditing::Result& result) {
            if (self)
                self->editDone(result.failure, held);
        },
        *filer);
}

void EditCoordinator::moveSpan(const AppointmentDrag::Drop& drop)
{
    ClassTermin moved = drop.appointment;
    moved.setDatum(moved.datum().addDays(drop.fromDay.daysTo(drop.toDay)));
    moved.setStartTime(drop.start);
    moved.setEndTime(drop.end);
    const Service service = serviceOf(drop.appointment);
    auto filer = std::make_shared<SpanChangeFiler>(*service, drop.appointment);
    filer->file(moved, [self = QPointer(this), filer, service,
                        held = hold()](const WriteOutcome& outcome, const ClassTermin&) {
        if (self)
            self->editDone(outcome.ok ? QString() : AppointmentEditing::failureMessage(outcome),
                           held);
    });
}

void EditCoordinator::removeSpan(const ClassTermin& day)
{
    const Service service = serviceOf(day);
    SpanChangeFiler filer(*service, day);
    filer.remove(deletionAnswer(service));
}
