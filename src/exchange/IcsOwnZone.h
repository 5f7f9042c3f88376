#pragma once

// An event's own zone (a flight at 09:00 New York) kept beside the team's times.

#include "exchange/IcsSupport.h"
#include "store/ClassTermin.h"

namespace Ics {

// The IANA name the zone database knows for a libical zone (its location, else its TZID without
// a program's prefix, a Windows name mapped); empty for none.
QString ianaNameOf(const icaltimezone* zone);

// Keeps the zone of start, an event's zoned start lasting `seconds`, on an appointment of it
// when it is a zone known by name other than the calendar's; the appointment keeps the team's
// times it has.
void keepOwnZone(ClassTermin& appointment, const icaltimetype& start, qint64 seconds);

} // namespace Ics
