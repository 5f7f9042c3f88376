#pragma once

// An appointment of its own zone keeps the team's date and times as the copy that saved it
// worked them out; a newer zone database may move them. Reading it works them out again from
// the zone's wall clock, so the record shows what today's rules say and its next save writes it.

#include "store/ClassTermin.h"

namespace ZoneCorrection {

// The record with the team's date and times its zone gives today (teamZone an IANA name, empty:
// the system's); the record itself when they match, when it has no known zone of its own, for a
// recurring one, and for one day of several whose day the zone no longer gives.
TerminPtr withTeamTimes(const TerminPtr& appointment, const QString& teamZone);
// The same as the store reads it: one that today's rules move to another day stays as it is,
// shown where its file lies, until norvane-cli rezone files it on its day.
TerminPtr withTeamTimesOnItsDay(const TerminPtr& appointment, const QString& teamZone);

// Whether the zone's wall clocks are all of a one-time appointment, its date and times as the
// team sees them: then they may stand for it (an export writes them in its zone).
bool zoneClocksHold(const ClassTermin& appointment, const QString& teamZone);

} // namespace ZoneCorrection
