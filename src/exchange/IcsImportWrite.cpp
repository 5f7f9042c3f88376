#include "exchange/IcsImportSupport.h"
#include "exchange/ImportRecord.h"
#include "exchange/OccurrenceSeries.h"
#include "store/AppointmentFile.h"
#include "store/AppointmentFiling.h"
#include "store/Common.h"
#include "store/DataAccess.h"
#include "store/FilingOrder.h"
#include "store/RuleSeriesFiling.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <numeric>
#include <optional>

namespace Ics {

namespace {

// The days of this many planned appointments are looked at in one pass over the folder: its
// memory of what it has seen stays small.
constexpr size_t kDaysAtOnce = 1000;
// How far after its first day an event imported before is looked for in occurrences the file
// no longer has: an open rule is expanded up to two years after the day of its import.
constexpr qint64 kLongestSeries = 800;

struct Earlier {
    QString path;
    QString uid;
    bool recurring = false;
    TimeOfDay start;
};

// Appointments of the day that carry one of uids and were not written by this import.
QList<Earlier> earlierOn(DataAccess& store, const QDate& day, const QSet<QString>& uids,
                         const QSet<QString>& taken)
{
    QList<Earlier> found;
    for (const TerminPtr& a : store.GetAppointmentsOfDay(day)) {
        if (uids.contains(a->Uid()) && !taken.contains(a->filename()))
            found.append({a->filename(), a->Uid(), a->IsRecurring(), a->StartTime()});
    }
    return found;
}

class Writer {
public:
    Writer(std::vector<Planned>& planned, std::vector<PlannedEvent>& events,
           const WriteTarget& target, IcsImportResult& result)
        : m_planned(planned)
        , m_events(events)
        , m_target(target)
        , m_result(result)
    {
    }

    void run()
    {
        m_result.appointments = int(m_planned.size());
        for (const Planned& p : m_planned)
            noteUid(p.appointment);
        // By day: a day's earlier appointments are looked for once.
        std::vector<size_t> order(m_planned.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
            return m_planned[a].appointment.datum() < m_planned[b].appointment.datum();
        });
        size_t done = 0;
        while (done < order.size() && !m_result.stopped) {
            size_t end = std::min(done + kDaysAtOnce, order.size());
            while (end < order.size() && dayOf(order[end]) == dayOf(order[end - 1]))
                ++end;
            if (m_reachable)
                findEarlier(order, done, end);
            for (; done < end; ++done) {
                if (m_target.stop && m_target.stop()) {
                    m_result.stopped = true;
                    break;
                }
                write(m_planned[order[done]]);
                if (m_target.progress)
                    m_target.progress(int(done) + 1, m_result.appointments);
            }
        }
        m_result.notTried = int(order.size() - done);
        if (m_reachable && !m_result.stopped) {
            removeOccurrenceSeries();
            removeStale();
        }
        countLanded(m_events, m_result);
    }

private:
    // What the planned appointments of one UID span, and how many landed.
    struct UidSpan {
        QDate first;
        QDate last;
        int planned = 0;
        int written = 0;
        bool earlier = false; // an earlier import of it was found
    };

    const QDate& dayOf(size_t i) const { return m_planned[i].appointment.datum(); }

    void noteUid(const ClassTermin& a)
    {
        if (a.Uid().isEmpty())
            return;
        UidSpan& span = m_uids[a.Uid()];
        const QDate last = a.IsRecurring() ? a.RecurringEndDate() : a.datum();
        span.first = span.planned == 0 ? a.datum() : std::min(span.first, a.datum());
        span.last = span.planned == 0 ? last : std::max(span.last, last);
        ++span.planned;
    }

    // Occurrences an earlier import wrote that the file no longer has (a changed occurrence
    // moved to another day, an exception added) go once all of the event's new ones landed.
    void removeStale()
    {
        QMap<QDate, QSet<QString>> days;
        for (auto it = m_uids.cbegin(); it != m_uids.cend(); ++it) {
            const UidSpan& span = it.value();
            if (!span.earlier || span.written < span.planned)
                continue;
            const QDate last = std::min(span.last, span.first.addDays(kLongestSeries));
            for (QDate day = span.first; day <= last; day = day.addDays(1))
                days[day].insert(it.key());
        }
        qsizetype inPass = 0;
        std::optional<DataAccess::Pass> pass;
        for (auto it = days.cbegin(); it != days.cend(); ++it) {
            if (m_target.stop && m_target.stop())
                return;
            if (!pass || ++inPass % qsizetype(kDaysAtOnce) == 0)
                pass.emplace(m_target.store);
            for (const Earlier& e : earlierOn(m_target.store, it.key(), it.value(), m_taken)) {
                m_target.store.DeleteAppointmentFile(e.path);
                m_taken.insert(e.path);
                ++m_result.removed;
            }
        }
    }

    // A series kept by its rule file that an earlier import made of an event the file now holds
    // otherwise (a rule the directories hold, or one expanded) goes with its occurrences once
    // the event's new appointments landed, and its exceptions with the stale ones.
    void removeOccurrenceSeries()
    {
        QSet<QString> kept;
        for (const Planned& p : m_planned) {
            if (RuleSeries::keptByRuleFile(p.appointment))
                kept.insert(p.appointment.Uid());
        }
        // One listing of the rule files in place of a look for each event's.
        const QString rules = DirectoryOfPath(RuleSeries::rulePath(m_target.folder, {}));
        const auto listing =
            m_target.store.files().listFiles(rules, AppointmentFile::kExtension, m_target.folder);
        const QSet<QString> ruleFiles(
            listing ? QSet<QString>(listing->names.cbegin(), listing->names.cend())
                    : QSet<QString>());
        AppointmentFiling filing(m_target.store, m_target.random);
        for (auto it = m_uids.begin(); it != m_uids.end(); ++it) {
            const QString series = OccurrenceSeries::idOfUid(it.key());
            if (kept.contains(it.key()) || it->written < it->planned ||
                !ruleFiles.contains(FileNameOfPath(RuleSeries::rulePath({}, series))))
                continue;
            const std::optional<ClassTermin> rule =
                RuleSeriesFiling::ruleOf(m_target.store, series);
            if (!rule)
                continue;
            const RuleSeriesFiling::Done done =
                RuleSeriesFiling::run(m_target.store, filing, RuleSeries::planRemove(*rule));
            m_result.removed += int(done.removed.size());
            it->earlier = true;
        }
    }

    // Each planned appointment with a UID takes the file of an earlier one of its day, the
    // closest match first: same kind and start, same kind, any.
    void findEarlier(const std::vector<size_t>& order, size_t from, size_t to)
    {
        DataAccess::Pass pass(m_target.store);
        QList<QDate> days;
        for (size_t i = from; i < to; ++i) {
            if (!m_planned[order[i]].appointment.Uid().isEmpty() &&
                (days.isEmpty() || days.last() != dayOf(order[i])))
                days.append(dayOf(order[i]));
        }
        m_target.store.NoteMissingDirectoriesOf(days);
        for (size_t dayStart = from; dayStart < to;) {
            size_t dayEnd = dayStart;
            QSet<QString> uids;
            for (; dayEnd < to && dayOf(order[dayEnd]) == dayOf(order[dayStart]); ++dayEnd) {
                if (!m_planned[order[dayEnd]].appointment.Uid().isEmpty())
                    uids.insert(m_planned[order[dayEnd]].appointment.Uid());
            }
            if (!uids.isEmpty()) {
                QList<Earlier> earlier =
                    earlierOn(m_target.store, dayOf(order[dayStart]), uids, m_taken);
                for (int closeness = 0; closeness < 3 && !earlier.isEmpty(); ++closeness) {
                    for (size_t i = dayStart; i < dayEnd; ++i)
                        claim(m_planned[order[i]].appointment, earlier, closeness);
                }
            }
            dayStart = dayEnd;
        }
        // What the listings told of the directories the appointments go to spares a look for
        // a free name in each.
        m_listed.clear();
        const DataAccess::PassMemo* seen = m_target.store.seenInPass();
        for (size_t i = from; i < to && seen; ++i) {
            const QString dir = AppointmentFiling::TargetDirectory(m_target.folder,
                                                                   m_planned[order[i]].appointment);
            if (const auto listed = seen->listings.constFind(dir); listed != seen->listings.cend())
                m_listed.insert(dir, QSet<QString>(listed->cbegin(), listed->cend()));
        }
    }

    void claim(ClassTermin& a, QList<Earlier>& earlier, int closeness)
    {
        if (a.Uid().isEmpty() || !a.filename().isEmpty())
            return;
        for (qsizetype i = 0; i < earlier.size(); ++i) {
            const Earlier& e = earlier[i];
            const bool sameKind = e.recurring == a.IsRecurring();
            if (e.uid != a.Uid() || (closeness < 2 && !sameKind) ||
                (closeness < 1 && e.start != a.StartTime()))
                continue;
            const bool recurring = a.IsRecurring();
            a.setFilename(e.path);
            a.setIsRecurring(recurring); // a path in the recurring tree says otherwise
            m_taken.insert(e.path);
            m_uids[a.Uid()].earlier = true;
            earlier.removeAt(i);
            return;
        }
    }

    void write(Planned& p)
    {
        ClassTermin& a = p.appointment;
        PlannedEvent& event = m_events[size_t(p.event)];
        if (m_reachable && RuleSeries::keptByRuleFile(a))
            return writeOccurrences(a, event);
        WriteOutcome outcome;
        if (m_reachable) {
            const QString earlier = a.filename();
            const QString directory = AppointmentFiling::TargetDirectory(m_target.folder, a);
            // An earlier import's file keeps its name, moved when its kind or day changed.
            const auto listed = m_listed.find(directory);
            const QString name = FilingName(m_target.store, directory, earlier, m_target.random,
                                            listed == m_listed.end() ? nullptr : &*listed);
            if (listed != m_listed.end())
                listed->insert(name);
            const bool recurring = a.IsRecurring();
            a.setFilename(directory + name);
            a.setIsRecurring(recurring);
            if (!noted(a, earlier.isEmpty()))
                return failed(event, WriteOutcome::failed(WriteOutcome::Cause::System,
                                                          m_target.record->path(),
                                                          m_target.record->error()));
            outcome = SaveInPlaceOf(m_target.store, a, earlier);
            if (outcome.ok && earlier.isEmpty() && m_target.record && outcome.written)
                m_target.record->noteWritten(a.filename(), *outcome.written);
            if (outcome.ok) {
                m_taken.insert(a.filename());
                if (!earlier.isEmpty())
                    ++m_result.updated;
                ++event.written;
                if (!a.Uid().isEmpty())
                    ++m_uids[a.Uid()].written;
                return;
            }
            // An unmounted share answers every further try the same way, only slower.
            m_reachable = outcome.cause != WriteOutcome::Cause::FolderUnreachable;
        }
        failed(event, outcome);
    }

    // A series kept by its rule file: its rule file and the files it stands for in place of
    // those of an earlier import (its SeriesId comes from the UID), and of the one-time file of
    // its first day that an import expanding it left.
    void writeOccurrences(const ClassTermin& a, PlannedEvent& event)
    {
        DataAccess& store = m_target.store;
        const std::optional<ClassTermin> before = RuleSeriesFiling::ruleOf(store, a.SeriesId());
        QList<RuleSeries::Step> steps =
            RuleSeries::planReplace(before, a, m_target.folder, m_target.today);
        if (!a.filename().isEmpty()) {
            ClassTermin expanded;
            expanded.setFilename(a.filename());
            steps.append({RuleSeries::Step::Kind::Remove, expanded});
        }
        for (const RuleSeries::Step& step : std::as_const(steps)) {
            if (step.kind == RuleSeries::Step::Kind::Write &&
                !noted(step.record, !store.FileExists(step.record.filename())))
                return failed(event, WriteOutcome::failed(WriteOutcome::Cause::System,
                                                          m_target.record->path(),
                                                          m_target.record->error()));
        }
        AppointmentFiling filing(store, m_target.random);
        const RuleSeriesFiling::Done done = RuleSeriesFiling::run(store, filing, steps);
        for (const QString& path : done.written + done.removed)
            m_taken.insert(path);
        if (!done.outcome.ok) {
            m_reachable = done.outcome.cause != WriteOutcome::Cause::FolderUnreachable;
            return failed(event, done.outcome);
        }
        if (before || !a.filename().isEmpty()) {
            ++m_result.updated;
            if (!a.Uid().isEmpty())
                m_uids[a.Uid()].earlier = true; // its exceptions the file no longer has go
        }
        ++event.written;
        if (!a.Uid().isEmpty())
            ++m_uids[a.Uid()].written;
    }

    // The record notes a new file before it is written, so that a killed import can be taken
    // back; an earlier import's file written over stays when it is.
    bool noted(const ClassTermin& a, bool isNew)
    {
        if (!m_target.record)
            return true;
        if (!isNew)
            return m_target.record->noteUpdated(a.filename());
        return m_target.record->noteNew(a.filename(), AppointmentFile::bytesOf(a, m_target.folder));
    }

    void failed(PlannedEvent& event, const WriteOutcome& outcome)
    {
        event.failed = true;
        if (m_result.failed++ == 0)
            m_result.firstFailure = outcome;
    }

    std::vector<Planned>& m_planned;
    std::vector<PlannedEvent>& m_events;
    const WriteTarget& m_target;
    IcsImportResult& m_result;
    QSet<QString> m_taken;                  // files this import wrote, took over or removed
    QHash<QString, QSet<QString>> m_listed; // the names of directories of the days written
    QHash<QString, UidSpan> m_uids;
    bool m_reachable = true;
};

} // namespace

void countLanded(const std::vector<PlannedEvent>& events, IcsImportResult& result)
{
    for (const PlannedEvent& e : events) {
        if (e.written < e.appointments) {
            ++result.eventsNotSaved;
            continue;
        }
        switch (e.kind) {
        case PlannedEvent::Kind::Recurring:
            ++result.recurring;
            [[fallthrough]];
        case PlannedEvent::Kind::Single:
            ++result.imported;
            break;
        case PlannedEvent::Kind::Expanded:
            ++result.expanded;
            result.expandedInto += e.written;
            break;
        }
        if (e.severalDays) {
            ++result.severalDays;
            result.severalDaysInto += e.written;
        }
    }
}

void writePlanned(std::vector<Planned>& planned, std::vector<PlannedEvent>& events,
                  const WriteTarget& target, IcsImportResult& result)
{
    Writer(planned, events, target, result).run();
}

} // namespace Ics
