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

} // namespace SpanFiling
