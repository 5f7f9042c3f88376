#include "AppointmentFiling.h"
#include "Common.h"
#include "DataAccess.h"
#include "IcsImportSupport.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace Ics {

namespace {

// The days of this many planned appointments are looked at in one pass over the folder: its
// memory of what it has seen stays small.
constexpr size_t kDaysAtOnce = 1000;

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
        count();
    }

private:
    const QDate& dayOf(size_t i) const { return m_planned[i].appointment.datum(); }

    // Each planned appointment with a UID takes the file of an earlier one of its day, the
    // closest match first: same kind and start, same kind, any.
    void findEarlier(const std::vector<size_t>& order, size_t from, size_t to)
    {
        DataAccess::Pass pass(m_target.store);
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
            earlier.removeAt(i);
            return;
        }
    }

    void write(Planned& p)
    {
        ClassTermin& a = p.appointment;
        PlannedEvent& event = m_events[size_t(p.event)];
        WriteOutcome outcome;
        if (m_reachable) {
            const QString earlier = a.filename();
            const QString directory = AppointmentFiling::TargetDirectory(m_target.folder, a);
            // An earlier import's file keeps its name, moved when its kind or day changed.
            QString name = FileNameOfPath(earlier);
            if (earlier.isEmpty() ||
                (directory + name != earlier && m_target.store.FileExists(directory + name)))
                name = m_target.store.UnusedFileName(directory, m_target.random);
            const bool recurring = a.IsRecurring();
            a.setFilename(directory + name);
            a.setIsRecurring(recurring);
            outcome = m_target.store.SaveAppointment(a);
            if (outcome.ok) {
                m_taken.insert(a.filename());
                if (!earlier.isEmpty()) {
                    ++m_result.updated;
                    if (earlier != a.filename())
                        m_target.store.DeleteAppointmentFile(earlier);
                }
                ++event.written;
                return;
            }
            // An unmounted share answers every further try the same way, only slower.
            m_reachable = outcome.cause != WriteOutcome::Cause::FolderUnreachable;
        }
        event.failed = true;
        if (m_result.failed++ == 0)
            m_result.firstFailure = outcome;
    }

    // What landed: events all of whose appointments were written.
    void count()
    {
        for (const PlannedEvent& e : m_events) {
            if (e.written < e.appointments) {
                ++m_result.eventsNotSaved;
                continue;
            }
            switch (e.kind) {
            case PlannedEvent::Kind::Recurring:
                ++m_result.recurring;
                [[fallthrough]];
            case PlannedEvent::Kind::Single:
                ++m_result.imported;
                break;
            case PlannedEvent::Kind::Expanded:
                ++m_result.expanded;
                m_result.expandedInto += e.written;
                break;
            }
        }
    }

    std::vector<Planned>& m_planned;
    std::vector<PlannedEvent>& m_events;
    const WriteTarget& m_target;
    IcsImportResult& m_result;
    QSet<QString> m_taken; // files this import wrote or already took over
    bool m_reachable = true;
};

} // namespace

void writePlanned(std::vector<Planned>& planned, std::vector<PlannedEvent>& events,
                  const WriteTarget& target, IcsImportResult& result)
{
    Writer(planned, events, target, result).run();
}

} // namespace Ics
