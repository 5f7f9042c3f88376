#include "store/SeriesFiling.h"

#include "store/Common.h"
#include "store/FolderClaim.h"
#include "store/RuleSeriesFiling.h"

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

namespace {

// Whether two records of one file say the same: what a change was planned from is what is there.
bool sameContent(const ClassTermin& a, const ClassTermin& b)
{
    return a.filename() == b.filename() && a.datum() == b.datum() &&
           a.StartTime() == b.StartTime() && a.EndTime() == b.EndTime() &&
           a.IsRecurring() == b.IsRecurring() && a.IsReminder() == b.IsReminder() &&
           a.RemindMinutes() == b.RemindMinutes() && a.ReminderAll() == b.ReminderAll() &&
           a.Text() == b.Text() && a.ColorCode() == b.ColorCode() &&
           a.EmailEnable() == b.EmailEnable() && a.RecurringStartDate() == b.RecurringStartDate() &&
           a.RecurringEndDate() == b.RecurringEndDate() && a.Producer() == b.Producer() &&
           a.ForUsers() == b.ForUsers() && a.IsPrivate() == b.IsPrivate() &&
           a.Rooms() == b.Rooms() && a.Location() == b.Location() && a.Uid() == b.Uid() &&
           a.Categories() == b.Categories() && a.SeriesId() == b.SeriesId();
}

} // namespace

QList<ClassTermin> SeriesFiling::otherPartsOf(const ClassTermin& part,
                                              const QList<ClassTermin>& known)
{
    QList<ClassTermin> others;
    const QString& id = part.SeriesId();
    if (id.isEmpty())
        return others;
    QSet<QString> found{part.filename()};
    QSet<QDate> days(part.SeriesDays().cbegin(), part.SeriesDays().cend());
    for (const TerminPtr& file : m_store.AppointmentsIn(DirectoryOfPath(part.filename()))) {
        if (file->SeriesId() == id && !found.contains(file->filename())) {
            found.insert(file->filename());
            others.append(*file);
            days.unite(QSet<QDate>(file->SeriesDays().cbegin(), file->SeriesDays().cend()));
        }
    }
    // The one-time files where the recurring ones say they lie, then those the caller saw.
    const QString folder = m_store.DataFolder();
    for (const QDate& day : std::as_const(days)) {
        for (const TerminPtr& file :
             m_store.AppointmentsIn(DataAccess::DayDirectory(folder, day))) {
            if (!file->IsRecurring() && file->SeriesId() == id &&
                !found.contains(file->filename())) {
                found.insert(file->filename());
                others.append(*file);
            }
        }
    }
    for (const ClassTermin& exception : known) {
        if (!exception.IsRecurring() && exception.SeriesId() == id &&
            !found.contains(exception.filename())) {
            found.insert(exception.filename());
            others.append(exception);
        }
    }
    return others;
}

bool SeriesFiling::notesItsDays(const ClassTermin& part)
{
    if (!part.SeriesDays().isEmpty())
        return true;
    for (const ClassTermin& other : otherPartsOf(part, {})) {
        if (!other.SeriesDays().isEmpty())
            return true;
    }
    return false;
}

DataAccess::FileChange SeriesFiling::changeSinceLoaded(const ClassTermin& loaded)
{
    DataAccess::FileChange change = m_store.ChangeSinceLoaded(loaded);
    if (change.kind != DataAccess::FileChange::Kind::None || loaded.isNew())
        return change;
    // Another copy's write within the clock's last tick leaves the time as it was: what the
    // file says now decides.
    if (!m_store.FileExists(loaded.filename())) {
        change.kind = DataAccess::FileChange::Kind::Deleted;
        return change;
    }
    const TerminPtr now = m_store.LoadAppointment(loaded.filename(), loaded.datum());
    if (!sameContent(*now, loaded)) {
        change.kind = DataAccess::FileChange::Kind::Changed;
        change.producer = now->Producer();
    }
    return change;
}

SeriesFiling::Outcome SeriesFiling::applyToRuleSeries(const Request& request)
{
    Outcome outcome;
    const ClassTermin& part = request.part;
    const QString& id = part.SeriesId();
    const FolderClaim claim(m_store.files(), m_store.DataFolder(),
                            FolderClaim::seriesPath(m_store.DataFolder(), id));
    const auto rule = claim.held() ? RuleSeriesFiling::ruleOf(m_store, id) : std::nullopt;
    outcome.conflict = changeSinceLoaded(part);
    outcome.conflictPath = part.filename();
    if (!rule && outcome.conflict.kind == DataAccess::FileChange::Kind::None)
        outcome.conflict.kind = DataAccess::FileChange::Kind::Changed; // changed, or unreadable
    if (outcome.conflict.kind != DataAccess::FileChange::Kind::None)
        return outcome;
    RuleSeries::Change change;
    change.rule = *rule;
    change.occurrence = RuleSeries::dayOf(part, request.occurrence);
    change.scope = request.scope;
    change.changed = request.changed;
    change.restSeriesId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    change.today = m_store.today();
    const QString folder = m_store.DataFolder();
    for (const QDate& day : rule->SeriesDays()) {
        for (const TerminPtr& file :
             m_store.AppointmentsIn(DataAccess::DayDirectory(folder, day))) {
            if (file->SeriesId() == id && !file->repeats())
                change.exceptions.append(*file);
        }
    }
    const RuleSeriesFiling::Done done =
        RuleSeriesFiling::run(m_store, m_filing, RuleSeries::plan(change));
    outcome.outcome = done.outcome;
    outcome.written = done.written;
    outcome.removed = done.removed;
    return outcome;
}

SeriesFiling::Outcome SeriesFiling::apply(const Request& request)
{
    if (RuleSeries::isKeptFile(request.part))
        return applyToRuleSeries(request);
    Outcome outcome;
    const ClassTermin& part = request.part;
    // One copy at a time: the check below and the writes are one step against the others.
    const FolderClaim claim(
        m_store.files(), m_store.DataFolder(),
        FolderClaim::seriesPath(m_store.DataFolder(), part.SeriesId().isEmpty()
                                                          ? SeriesEdit::seriesIdFor(part)
                                                          : part.SeriesId()));
    if (!claim.held()) {
        outcome.conflict.kind = DataAccess::FileChange::Kind::Changed;
        outcome.conflictPath = part.filename();
        return outcome;
    }
    SeriesEdit::Change change;
    change.part = part;
    change.occurrence = request.occurrence;
    change.scope = request.scope;
    change.changed = request.changed;
    // Never over another user's change: the part as loaded is what is there now, and so is
    // every other file of the series (those found here were just read, the caller's are asked).
    if (const auto changed = changeSinceLoaded(part);
        changed.kind != DataAccess::FileChange::Kind::None) {
        outcome.conflict = changed;
        outcome.conflictPath = part.filename();
        return outcome;
    }
    // Where the series' one-time files lie, as the file says now (a caller may not know).
    change.part.setSeriesDays(m_store.LoadAppointment(part.filename(), part.datum())->SeriesDays());
    change.otherParts = otherPartsOf(change.part, request.knownExceptions);
    for (const ClassTermin& file : std::as_const(change.otherParts)) {
        const DataAccess::FileChange changed = changeSinceLoaded(file);
        if (changed.kind != DataAccess::FileChange::Kind::None) {
            outcome.conflict = changed;
            outcome.conflictPath = file.filename();
            return outcome;
        }
    }
    change.newSeriesId = m_newId(part);
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
