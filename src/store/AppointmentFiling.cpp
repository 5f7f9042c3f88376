#include "store/AppointmentFiling.h"

#include "store/Common.h"
#include "store/DataAccess.h"
#include "store/FilingOrder.h"
#include "store/Recurrence.h"
#include "store/RuleSeriesFiling.h"
#include "store/SpanFiling.h"

#include <QRandomGenerator>
#include <QUuid>

AppointmentFiling::AppointmentFiling(DataAccess& store, RandomSource random)
    : m_store(store)
    , m_random(std::move(random))
{
    if (!m_random)
        m_random = [] { return QRandomGenerator::global()->generate(); };
}

QString AppointmentFiling::TargetDirectory(const QString& dataFolder, const ClassTermin& a)
{
    if (!a.IsRecurring())
        return Recurrence::directory(dataFolder, Recurrence::Kind::None, a.datum());
    return Recurrence::directory(dataFolder, Recurrence::ofCode(a.Recurring_code), a.datum());
}

WriteOutcome AppointmentFiling::File(ClassTermin& a)
{
    if (RuleSeries::keptByRuleFile(a))
        return fileByRule(a);
    if (SpanFiling::isNewSpan(m_store, a))
        return SpanFiling::fileNewSpan(m_store, a, m_random);
    const QString directory = TargetDirectory(m_store.DataFolder(), a);
    const QString oldPath = a.filename();
    // A name is drawn without asking the folder; one that another file took meanwhile is
    // drawn again.
    constexpr int kDraws = 8;
    WriteOutcome saved;
    for (int draw = 0; draw < kDraws; ++draw) {
        a.setFilename(directory + FilingName(m_store, directory, oldPath, m_random));
        saved = SaveInPlaceOf(m_store, a, oldPath);
        if (saved.ok || saved.cause != WriteOutcome::Cause::NameTaken)
            break;
    }
    if (!saved.ok && !oldPath.isEmpty())
        a.setFilename(oldPath);
    return saved;
}

WriteOutcome AppointmentFiling::fileByRule(ClassTermin& a)
{
    const QString earlier = a.filename();
    ClassTermin series = a;
    if (!RuleSeries::isFileName(series.SeriesId()))
        series.setSeriesId(QUuid::createUuid().toString(QUuid::WithoutBraces));
    const RuleSeriesFiling::Done done = RuleSeriesFiling::run(
        m_store, *this, RuleSeries::planNew(series, m_store.DataFolder(), m_store.today()));
    if (!done.outcome.ok)
        return done.outcome;
    a = series;
    a.setFilename(done.written.value(0));
    // The file it was kept in before goes once the series is written.
    if (!earlier.isEmpty() && earlier != a.filename())
        m_store.DeleteAppointmentFile(earlier);
    return done.outcome;
}

void AppointmentFiling::file(const ClassTermin& appointment, Filed done)
{
    ClassTermin filed = appointment;
    const WriteOutcome outcome = File(filed);
    if (done)
        done(outcome, filed);
}
