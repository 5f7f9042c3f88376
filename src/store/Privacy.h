#pragma once

#include "store/ClassTermin.h"

#include <QString>

// What others see of a private appointment: "Busy" with its times, its owner, whom it is for
// and the rooms it books, so a colleague plans around it without reading it. The one rule
// every reader of the folder follows; a reader without a viewer (the sync, an import) reads
// everything as it is.
namespace Privacy {

// Whether the user with this login sees only "Busy": the appointment is private and the user
// is not its owner. An empty viewer sees everything.
bool hiddenFrom(const ClassTermin& appointment, const QString& viewer);

// The appointment as the viewer may see it: itself, or a masked copy (see isMasked).
TerminPtr seenBy(TerminPtr appointment, const QString& viewer);

// "Busy", in the language of the program.
QString busyText();

// Why a masked record is not filed: it would write "Busy" over its owner's text.
QString refusal(const ClassTermin& appointment);

// Why the user may not change or delete the appointment here: another user's private one
// (see refusal), or one a subscription brings, which each refresh replaces. Empty when the
// user may.
QString whyUnchangeable(const ClassTermin& appointment);

} // namespace Privacy
