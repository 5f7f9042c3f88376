#include "store/RuleSeriesFiling.h"

#include "store/FolderClaim.h"
#include "store/Recurrence.h"

namespace RuleSeriesFiling {

Done run(DataAccess& store, AppointmentFiling& filing, const QList<RuleSeries::Step>& steps)
{
    Done done;
    for (const RuleSeries::Step& step : steps) {
        ClassTermin record = step.record;
        switch (step.kind) {
        case RuleSeries::Step::Kind::Remove:
            if (!store.FileExists(record.filename()))
                continue;
            store.DeleteAppointmentFile(record.filename());
            if (store.FileExists(record.filename())) {
                done.outcome = WriteOutcome::failed(WriteOutcome::Cause::System, record.filename());
                return done;
            }
            done.removed.append(record.filename());
            continue;
        case RuleSeries::Step::Kind::Write:
            // Over its own keys, so that a key the record no longer has goes (a day no longer
            // skipped), while what other copies keep there stays.
            done.outcome = store.SaveAppointment(record, record.filename());
            break;
        case RuleSeries::Step::Kind::File:
            done.outcome = filing.File(record);
            break;
        }
        if (!done.outcome.ok)
            return done;
        done.written.append(record.filename());
    }
    return done;
}

std::optional<ClassTermin> ruleOf(DataAccess& store, const QString& seriesId)
{
    if (!RuleSeries::isFileName(seriesId))
        return std::nullopt; // never a path out of the rules' directory
    const QString path = RuleSeries::rulePath(store.DataFolder(), seriesId);
    if (!store.FileExists(path))
        return std::nullopt;
    const TerminPtr rule = store.LoadAppointment(path, store.today());
    // An unreadable file reads as defaults, without a rule.
    if (!rule->Rule() || rule->SeriesId() != seriesId || !rule->FileDate().isValid())
        return std::nullopt;
    return *rule;
}

Done extendAll(DataAccess& store, AppointmentFiling& filing)
{
    Done done;
    const QString folder = store.DataFolder();
    const QString dir = folder + Recurrence::kTreeName + QLatin1Char('/') +
                        RuleSeries::kRulesDirectory + QLatin1Char('/');
    const QDate today = store.today();
    for (const TerminPtr& listed : store.AppointmentsIn(dir)) {
        if (!RuleSeries::wantsExtending(*listed, today))
            continue;
        const FolderClaim claim(store.files(), folder,
                                FolderClaim::seriesPath(folder, listed->SeriesId()));
        const std::optional<ClassTermin> rule =
            claim.held() ? ruleOf(store, listed->SeriesId()) : std::nullopt;
        if (!rule)
            continue;
        const Done extended = run(store, filing, RuleSeries::planExtend(*rule, today));
        done.written += extended.written;
        if (!extended.outcome.ok)
            done.outcome = extended.outcome;
    }
    return done;
}

} // namespace RuleSeriesFiling
