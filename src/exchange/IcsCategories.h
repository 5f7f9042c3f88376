#pragma once

// An event's CATEGORIES as an appointment keeps them: both ways, for the import, the export and
// the sync. Inside the exchange library only.

#include <libical/ical.h>

#include <QStringList>

namespace Ics {

// The names of all its CATEGORIES properties, each of them holding one or several, as
// AppointmentFile::roomsOf keeps names (a name twice, letter case aside, counts once); a comma
// separates names.
QStringList categoriesOf(icalcomponent* event);
// One CATEGORIES property for each name.
void addCategories(icalcomponent* event, const QStringList& names);

} // namespace Ics
