// A span of days changed through the store service: every day in one request, one undo step
// named after the span.
#include "service/StoreService.h"

void StoreService::changeSpan(const ClassTermin& day, StoreWorker::SpanChange change,
                              SeriesDone done)
{
    if (!m_state.mayWrite() || provisional(day.filename())) {
        SeriesFiling::Outcome refused;
        refused.outcome = WriteOutcome::failed(WriteOutcome::Cause::NotAnswering, m_folder);
        if (done)
            done(refused);
        return;
    }
    using Answer = StoreWorker::Journaled<SeriesFiling::Outcome>;
    ask<Answer>(
        [day, change = std::move(change)](StoreWorker& store) {
            return store.journaled(UndoStep::Act::Change, [&](StoreWorker& worker) {
                return worker.changeSpan(day, change);
            });
        },
        [this, done = std::move(done)](const Answer& changed) {
            markStale(changed.result.written + changed.result.removed);
            // Named after the span's title, not one day's.
            UndoStep step = changed.step;
            step.title = SpanDays::unmarkedText(step.title);
            record(std::move(step));
            if (done)
                done(changed.result);
        });
}
