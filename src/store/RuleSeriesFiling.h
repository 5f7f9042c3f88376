#pragma once

#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "store/RuleSeries.h"

#include <QStringList>

#include <optional>

// Writes what RuleSeries plans for a series kept as one-time occurrences, in the store's
// folder.
namespace RuleSeriesFiling {

struct Done {
    WriteOutcome outcome = WriteOutcome::done();
    QStringList written; // as filed, in the order written
    QStringList removed;
};

// Carries out the steps in order and stops at the first that fails: what was written stays,
// and the order leaves a gap, never a day shown twice.
Done run(DataAccess& store, AppointmentFiling& filing, const QList<RuleSeries::Step>& steps);

// The rule file of an occurrence's series as it reads now; none when it is missing, cannot be
// read or names another series.
std::optional<ClassTermin> ruleOf(DataAccess& store, const QString& seriesId);

// Writes the occurrences of every series of the folder that is not written far enough ahead,
// one series at a time under its claim; a series another copy is changing waits for the next
// time. What could not be written is tried again then.
Done extendAll(DataAccess& store, AppointmentFiling& filing);

} // namespace RuleSeriesFiling
