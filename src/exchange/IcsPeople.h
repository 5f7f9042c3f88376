#pragma once

// An event's organizer and attendees, kept as their whole property lines so that the export
// and the sync write them back as they came. Inside the exchange library only.

#include <libical/ical.h>

#include <QString>
#include <QStringList>

class ClassTermin;

namespace Ics {

struct People {
    QString organizer;
    QStringList attendees;
    // false: a line too long or with a control character, or beyond the appointment file's
    // number of attendees, was left out
    bool organizerKept = true;
    bool attendeesKept = true;
};

// The event's ORGANIZER and ATTENDEE lines as libical writes them, unfolded, without the line
// end, capped as an appointment file keeps them.
People peopleOf(icalcomponent* event);

// Whether a property of this kind the event has is kept whole: its organizer and all its
// attendees; false for every other kind.
bool keptAsPeople(icalcomponent* event, icalproperty_kind kind);

// Adds the appointment's organizer and attendees to the event; a line libical cannot read, or
// one of another property, is left out.
void addPeople(icalcomponent* event, const ClassTermin& appointment);

} // namespace Ics
