#include "views/SeriesChangeFiler.h"

#include <QCoreApplication>

SeriesChangeFiler::SeriesChangeFiler(StoreService& service, ClassTermin part,
                                     const QDate& occurrence, SeriesEdit::Scope scope)
    : m_service(service)
    , m_part(std::move(part))
    , m_occurrence(occurrence)
    , m_scope(scope)
{
}

SeriesFiling::Request SeriesChangeFiler::request(std::optional<ClassTermin> changed) const
{
    SeriesFiling::Request request;
    request.part = m_part;
    request.occurrence = m_occurrence;
    request.scope = m_scope;
    request.changed = std::move(changed);
    return request;
}

void SeriesChangeFiler::file(const ClassTermin& changed, Filed done)
{
    m_service.changeSeries(request(changed),
                           [changed, done = std::move(done)](const SeriesFiling::Outcome& outcome) {
                               ClassTermin filed = changed;
                               if (!outcome.written.isEmpty())
                                   filed.setFilename(outcome.written.last());
                               if (done)
                                   done(writeOutcomeOf(outcome), filed);
                           });
}

void SeriesChangeFiler::changeSinceLoaded(const ClassTermin&, Changed done)
{
    m_service.changeSinceLoaded(m_part, std::move(done));
}

void SeriesChangeFiler::remove(StoreService::SeriesDone done)
{
    m_service.changeSeries(request(std::nullopt), std::move(done));
}

WriteOutcome SeriesChangeFiler::writeOutcomeOf(const SeriesFiling::Outcome& outcome)
{
    if (outcome.conflict.kind == DataAccess::FileChange::Kind::None)
        return outcome.outcome;
    const QString who = outcome.conflict.producer.isEmpty()
                            ? QCoreApplication::translate("SeriesChangeFiler", "another user")
                            : outcome.conflict.producer;
    return WriteOutcome::failed(
        WriteOutcome::Cause::System, outcome.conflictPath,
        outcome.conflict.kind == DataAccess::FileChange::Kind::Deleted
            ? QCoreApplication::translate("SeriesChangeFiler",
                                          "%1 deleted this part of the series meanwhile.")
                  .arg(who)
            : QCoreApplication::translate("SeriesChangeFiler",
                                          "%1 changed this part of the series meanwhile.")
                  .arg(who));
}
