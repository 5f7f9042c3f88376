#pragma once

// The files of a span (see SpanDays) found in the folder, and a SpanDays::Plan carried out.

#include "store/DataAccess.h"
#include "store/SpanDays.h"

#include <QList>
#include <QString>

#include <functional>

namespace SpanFiling {

// The readable files of the span that `day` belongs to, on the days it names, by day; `day`
// alone when it is no span day.
QList<TerminPtr> filesOf(DataAccess& store, const TerminPtr& day);

// Writes the plan's days, each over the file it replaces or as a new file of its day, then
// deletes what it removes; stops at the first write that fails, with that outcome, before
// anything is deleted. The paths written come to *written.
WriteOutcome run(DataAccess& store, const SpanDays::Plan& plan,
                 const std::function<quint32()>& draw, QStringList* written = nullptr);

// Whether the appointment is to become a span: it names one from its own day to a later one
// that its file (if it has one) does not belong to yet, as the editor hands over an appointment
// whose end day it set later than its day.
bool isNewSpan(DataAccess& store, const ClassTermin& appointment);
// Writes such an appointment as the day files of its span in place of its file; it takes the
// first day's path.
WriteOutcome fileNewSpan(DataAccess& store, ClassTermin& appointment,
                         const std::function<quint32()>& draw);

} // namespace SpanFiling
