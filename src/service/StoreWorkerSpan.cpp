#include "service/StoreWorker.h"

#include "store/SpanFiling.h"

#include <QRandomGenerator>

SeriesFiling::Outcome StoreWorker::changeSpan(const ClassTermin& day, const SpanChange& change)
{
    SeriesFiling::Outcome outcome;
    outcome.conflict = m_store.ChangeSinceLoaded(day);
    if (outcome.conflict.kind != DataAccess::FileChange::Kind::None) {
        outcome.conflictPath = day.filename();
        return outcome;
    }
    const QList<TerminPtr> files =
        SpanFiling::filesOf(m_store, m_store.LoadAppointment(day.filename(), day.datum()));
    const SpanDays::Plan plan = SpanDays::plan(files, change(*SpanDays::shapeOf(files)));
    outcome.outcome = SpanFiling::run(
        m_store, plan, [] { return QRandomGenerator::global()->generate(); }, &outcome.written);
    if (outcome.outcome.ok)
        outcome.removed = plan.remove;
    return outcome;
}
