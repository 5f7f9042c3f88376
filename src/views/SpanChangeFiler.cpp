#include "views/SpanChangeFiler.h"

#include "views/SeriesChangeFiler.h"

SpanChangeFiler::SpanChangeFiler(StoreService& service, ClassTermin day)
    : m_service(service)
    , m_day(std::move(day))
{
}

void SpanChangeFiler::file(const ClassTermin& changed, Filed done)
{
    m_service.changeSpan(
        m_day,
        [day = m_day, changed](const SpanDays::Shape& now) {
            return std::optional(SpanDays::edited(now, day, changed));
        },
        [changed, done = std::move(done)](const SeriesFiling::Outcome& outcome) {
            ClassTermin filed = changed;
            if (!outcome.written.isEmpty())
                filed.setFilename(outcome.written.first());
            if (done)
                done(SeriesChangeFiler::writeOutcomeOf(outcome), filed);
        });
}

void SpanChangeFiler::changeSinceLoaded(const ClassTermin&, Changed done)
{
    m_service.changeSinceLoaded(m_day, std::move(done));
}

void SpanChangeFiler::remove(StoreService::SeriesDone done)
{
    m_service.changeSpan(
        m_day, [](const SpanDays::Shape&) { return std::optional<SpanDays::Shape>(); },
        std::move(done));
}
