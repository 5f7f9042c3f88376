#include "exchange/IcsPeople.h"

#include "store/AppointmentFile.h"
#include "store/ClassTermin.h"

#include <memory>

namespace Ics {

namespace {

// The property as one line: libical folds it at 75 octets ("\r\n ") and ends it in "\r\n".
QString lineOf(icalproperty* property)
{
    char* text = icalproperty_as_ical_string_r(property);
    QByteArray bytes(text);
    icalmemory_free_buffer(text);
    bytes.replace("\r\n ", "").replace("\r\n\t", "");
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    return QString::fromUtf8(bytes);
}

// Where the value of a property line starts: after the first colon outside quotes; -1 for a
// line whose quotes do not close, which libical would read as something else.
qsizetype valueStart(const QString& line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u':' && !quoted)
            return i + 1;
    }
    return -1;
}

struct PropertyFree {
    void operator()(icalproperty* property) const { icalproperty_free(property); }
};

} // namespace

People peopleOf(icalcomponent* event)
{
    People people;
    if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ORGANIZER_PROPERTY)) {
        people.organizer = AppointmentFile::propertyLineOf(lineOf(p));
        // A second organizer is none RFC 5545 allows; the first is the one kept.
        people.organizerKept = !people.organizer.isEmpty() &&
                               !icalcomponent_get_next_property(event, ICAL_ORGANIZER_PROPERTY);
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ATTENDEE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ATTENDEE_PROPERTY)) {
        const QString line = AppointmentFile::propertyLineOf(lineOf(p));
        if (line.isEmpty() || people.attendees.size() >= AppointmentFile::kMaxAttendees)
            people.attendeesKept = false;
        else
            people.attendees.append(line);
    }
    return people;
}

bool keptAsPeople(icalcomponent* event, icalproperty_kind kind)
{
    if (kind != ICAL_ORGANIZER_PROPERTY && kind != ICAL_ATTENDEE_PROPERTY)
        return false;
    const People people = peopleOf(event);
    return kind == ICAL_ORGANIZER_PROPERTY ? people.organizerKept : people.attendeesKept;
}

void addPeople(icalcomponent* event, const ClassTermin& a)
{
    const auto add = [event](const QString& line, icalproperty_kind kind) {
        // A line that is not one property of its kind, or that libical reads otherwise than it
        // is written, goes out neither whole nor in part.
        if (line.isEmpty() || line.contains(u'\r') || line.contains(u'\n'))
            return;
        std::unique_ptr<icalproperty, PropertyFree> property(
            icalproperty_new_from_string(line.toUtf8().constData()));
        const qsizetype value = valueStart(line);
        if (property && icalproperty_isa(property.get()) == kind && value > 0 &&
            QString::fromUtf8(icalproperty_get_value_as_string(property.get())) == line.mid(value))
            icalcomponent_add_property(event, property.release());
    };
    add(a.Organizer(), ICAL_ORGANIZER_PROPERTY);
    for (const QString& line : a.Attendees())
        add(line, ICAL_ATTENDEE_PROPERTY);
}

} // namespace Ics
