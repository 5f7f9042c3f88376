#include "store/SeriesFiling.h"

#include "store/Common.h"

#include <QRandomGenerator>
#include <QUuid>

SeriesFiling::SeriesFiling(DataAccess& store, AppointmentFiling& filing, NewId newId)
    : m_store(store)
    , m_filing(filing)
    , m_newId(std::move(newId))
{
    if (!m_newId)
        m_newId = SeriesEdit::seriesIdFor;
}

QList<ClassTermin> SeriesFiling::otherPartsOf(const ClassTermin& part,
                                              const QList<ClassTermin>& known)
{
    QList<ClassTermin> others;
    if (part.SeriesId().isEmpty())
        return others;
    for (const TerminPtr& file : m_store.AppointmentsIn(DirectoryOfPath(part.filename()))) {
        if (file->SeriesId() == part.SeriesId() && file->filename() != part.filename())
            others.append(*file);
    }
    for (const ClassTermin& exception : known) {
        if (!exception.IsRecurring() && exception.SeriesId() == part.SeriesId())
            others.append(exception);
    }
    return others;
}

SeriesFiling::Outcome SeriesFiling::apply(const Request& request)
{
    Outcome outcome;
    SeriesEdit::Change change;
    change.part = request.part;
    change.occurrence = request.occurrence;
    change.scope = request.scope;
    change.changed = request.changed;
    change.otherParts = otherPartsOf(request.part, request.knownExceptions);
    // Never over another user's change: every file of the series is asked first, before
    // anything is written (the recurring ones were just read, the others as the caller saw).
    QList<ClassTermin> seen = change.otherParts;
    seen.prepend(request.part);
    for (const ClassTermin& file : std::as_const(seen)) {
        const DataAccess::FileChange changed = m_store.ChangeSinceLoaded(file);
        if (changed.kind != DataAccess::FileChange::Kind::None) {
            outcome.conflict = changed;
            outcome.conflictPath = file.filename();
            return outcome;
        }
    }
    change.newSeriesId = m_newId(request.part);
    change.restSeriesId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    for (const SeriesEdit::Step& planned : SeriesEdit::plan(change)) {
        if (!step(planned, outcome))
            break; // what was written stays: the order leaves a gap, never a duplicate
    }
    return outcome;
}

void SeriesFiling::createIn(const QString& dir, ClassTermin& appointment, const QString& keysFrom,
                            Outcome& outcome)
{
    appointment.setFilename(
        dir + m_store.UnusedFileName(dir, [] { return QRandomGenerator::global()->generate(); }));
    outcome.outcome = m_store.SaveAppointment(appointment, keysFrom);
}

bool SeriesFiling::step(const SeriesEdit::Step& step, Outcome& outcome)
{
    ClassTermin appointment = step.appointment;
    switch (step.kind) {
    case SeriesEdit::Step::Kind::Remove:
        m_store.DeleteAppointmentFile(appointment.filename());
        if (m_store.FileExists(appointment.filename())) {
            outcome.outcome =
                WriteOutcome::failed(WriteOutcome::Cause::System, appointment.filename());
            return false;
        }
        outcome.removed.append(appointment.filename());
        return true;
    case SeriesEdit::Step::Kind::Create:
        createIn(DirectoryOfPath(appointment.filename()), appointment, step.keysFrom, outcome);
        break;
    case SeriesEdit::Step::Kind::Rewrite:
        outcome.outcome = m_store.SaveAppointment(appointment);
        break;
    case SeriesEdit::Step::Kind::File: {
        if (appointment.isNew() && !step.keysFrom.isEmpty()) {
            createIn(AppointmentFiling::TargetDirectory(m_store.DataFolder(), appointment),
                     appointment, step.keysFrom, outcome);
            break;
        }
        const QString earlier = appointment.filename();
        outcome.outcome = m_filing.File(appointment);
        if (outcome.outcome.ok && !earlier.isEmpty() && earlier != appointment.filename())
            outcome.removed.append(earlier);
        break;
    }
    }
    if (outcome.outcome.ok)
        outcome.written.append(appointment.filename());
    return outcome.outcome.ok;
}
