#include "IcsImport.h"

#include "ApiLoginName.h"
#include "AppointmentFiling.h"
#include "ClassTermin.h"
#include "Common.h"
#include "DataAccess.h"
#include "IcsImportSupport.h"
#include "Settings.h"

#include <QDir>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <optional>
#include <utility>

namespace Ics {

namespace {

// All expansions of one file together never write more appointments than this.
constexpr int kMaxAppointments = 200000;

// ---- one appointment ----

// What an appointment needs to know of one occurrence: its local day and minutes.
struct LocalSpan {
    QDate date;
    int start = 0;
    int end = 0; // 1440 when it runs past midnight
};

LocalSpan spanOf(const Event& e, const icaltimetype& occurrence)
{
    if (e.allDay)
        return {Ics::dateOf(occurrence), kAllDayStart, kAllDayEnd};
    // Floating times are carried in UTC only so that nothing shifts them.
    const QDateTime start =
        occurrence.zone
            ? Ics::toLocal(occurrence)
            : QDateTime(Ics::dateOf(occurrence),
                        QTime(occurrence.hour, occurrence.minute, occurrence.second), Qt::UTC);
    const QDateTime end = start.addSecs(e.duration);
    LocalSpan span{start.date(), start.time().hour() * 60 + start.time().minute(), 0};
    span.end = end.date() > span.date ? TimeOfDay::kEndOfDay
                                      : end.time().hour() * 60 + end.time().minute();
    return span;
}

bool holdable(const QDate& date)
{
    return date >= Ics::kFirstDay && date <= Ics::kLastDay;
}

struct NewAppointments {
    int colorCode;
    QString producer;
    QDate openEnd; // the last day a rule without end is expanded to
};

ClassTermin appointmentOf(const Event& e, const LocalSpan& span, const NewAppointments& target)
{
    ClassTermin a;
    a.setDatum(span.date);
    a.setStartTime(TimeOfDay::fromMinutes(span.start));
    a.setEndTime(TimeOfDay::fromMinutes(span.end));
    a.setText(e.text);
    a.setColorCode(qint16(target.colorCode));
    a.setProducer(target.producer);
    a.setIsReminder(e.remindMinutes > 0);
    a.setRemindMinutes(qint16(e.remindMinutes));
    a.setReminderAll(false);
    a.setEmailEnable(false);
    a.setIsRecurring(false);
    a.setRecurringStartDate(span.date);
    a.setRecurringEndDate(span.date);
    return a;
}

// ---- the whole import ----

class Planner {
public:
    Planner(IcsImportResult& result, const NewAppointments& target)
        : m_result(result)
        , m_target(target)
    {
    }

    // Changed occurrences of series, by UID: their series leaves them out.
    void noteReplacements(const std::vector<Source>& events)
    {
        for (const Source& s : events) {
            icalproperty* id =
                icalcomponent_get_first_property(s.event, ICAL_RECURRENCEID_PROPERTY);
            const QString uid = Ics::text(icalcomponent_get_uid(s.event));
            if (id && !uid.isEmpty())
                m_replaced[uid].append(momentOf(id, s.calendar, icalproperty_get_recurrenceid(id)));
        }
    }

    void plan(const Source& s)
    {
        Event e;
        e.name = nameOf(s.event, s.number);
        icalproperty* start = icalcomponent_get_first_property(s.event, ICAL_DTSTART_PROPERTY);
        if (start)
            e.start = momentOf(start, s.calendar, icalproperty_get_dtstart(start));
        if (!start || icaltime_is_null_time(e.start) || hasErrorIn(s.event, "DTSTART"))
            return skip(e, IcsImportResult::SkipReason::NoStart);
        if (icalcomponent_get_status(s.event) == ICAL_STATUS_CANCELLED)
            return skip(e, IcsImportResult::SkipReason::Cancelled);

        QList<icalrecurrencetype> rules;
        for (icalproperty* p : propertiesOf(s.event, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype rule = icalproperty_get_rrule(p);
            if (rule.freq == ICAL_NO_RECURRENCE)
                return skip(e, IcsImportResult::SkipReason::UnreadableRule);
            rules.append(rule);
        }
        if (hasErrorIn(s.event, "RRULE") || hasErrorIn(s.event, "EXDATE") ||
            hasErrorIn(s.event, "RDATE"))
            return skip(e, IcsImportResult::SkipReason::UnreadableRule);

        e.allDay = e.start.is_date;
        e.duration = e.allDay ? 0 : durationOf(s, e.start);
        e.text = textOf(s.event);
        e.remindMinutes = remindMinutesOf(s, e.start, e.duration);

        Exclusions ex;
        for (icalproperty* p : propertiesOf(s.event, ICAL_EXDATE_PROPERTY))
            exclude(ex, momentOf(p, s.calendar, icalproperty_get_exdate(p)), e.start);
        const bool replacement =
            icalcomponent_get_first_property(s.event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
        if (!replacement) {
            const auto replaced = m_replaced.constFind(Ics::text(icalcomponent_get_uid(s.event)));
            if (replaced != m_replaced.cend()) {
                for (const icaltimetype& t : *replaced)
                    exclude(ex, t, e.start);
            }
        }
        QList<icaltimetype> extra;
        for (icalproperty* p : propertiesOf(s.event, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
            const icaltimetype t =
                icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
            if (!icaltime_is_null_time(t))
                extra.append(momentOf(p, s.calendar, t));
        }

        if (rules.isEmpty() && extra.isEmpty())
            return single(e);
        if (rules.size() == 1 && extra.isEmpty() && !ex.any() && recurring(e, rules.first()))
            return;
        expand(e, rules, extra, ex);
    }

    QList<ClassTermin> takePlanned() { return std::exchange(m_planned, {}); }

private:
    void skip(const Event& e, IcsImportResult::SkipReason reason)
    {
        m_result.skipped.append({e.name, reason});
    }

    void single(const Event& e)
    {
        const LocalSpan span = spanOf(e, e.start);
        if (!holdable(span.date))
            return skip(e, IcsImportResult::SkipReason::OutsideDates);
        if (m_planned.size() >= kMaxAppointments)
            return skip(e, IcsImportResult::SkipReason::TooMany);
        m_planned.append(appointmentOf(e, span, m_target));
        ++m_result.imported;
    }

    bool recurring(const Event& e, const icalrecurrencetype& rule)
    {
        const std::optional<Recurrence::Kind> kind = exactKind(rule, e.start);
        if (!kind || !keepsLocalClock(rule, e.start))
            return false;
        LocalSpan span = spanOf(e, e.start);
        const qint64 shift = Ics::dateOf(e.start).daysTo(span.date);
        const QDate last = std::min(lastDayOf(rule, e.start).addDays(shift), Ics::kLastDay);
        if (span.date < Ics::kFirstDay)
            span.date = Ics::firstDayApplying(*kind, span.date, Ics::kFirstDay, last);
        if (!span.date.isValid() || span.date > last)
            return false; // not one occurrence in the years a file holds: expansion decides
        ClassTermin a = appointmentOf(e, span, m_target);
        a.setIsRecurring(true);
        a.Recurring_code = Recurrence::code(*kind);
        a.setRecurringEndDate(last);
        m_planned.append(a);
        ++m_result.imported;
        ++m_result.recurring;
        return true;
    }

    void expand(const Event& e, const QList<icalrecurrencetype>& rules,
                const QList<icaltimetype>& extra, const Exclusions& ex)
    {
        bool ends = true;
        for (const icalrecurrencetype& rule : rules)
            ends = ends && (rule.count > 0 || !icaltime_is_null_time(rule.until));
        const int room = kMaxAppointments - int(m_planned.size());
        if (room <= 0)
            return skip(e, IcsImportResult::SkipReason::TooMany);
        const std::optional<Occurrences> found =
            occurrencesOf(e, rules, extra, ex, ends ? Ics::kLastDay : m_target.openEnd, room);
        if (!found)
            return skip(e, IcsImportResult::SkipReason::UnreadableRule);
        int added = 0;
        for (const icaltimetype& t : found->times) {
            const LocalSpan span = spanOf(e, t);
            if (holdable(span.date)) {
                m_planned.append(appointmentOf(e, span, m_target));
                ++added;
            }
        }
        if (added == 0)
            return skip(e, IcsImportResult::SkipReason::OutsideDates);
        ++m_result.expanded;
        m_result.expandedInto += added;
        if (found->shortened)
            m_result.shortened.append(e.name);
    }

    IcsImportResult& m_result;
    const NewAppointments& m_target;
    QHash<QString, QList<icaltimetype>> m_replaced;
    QList<ClassTermin> m_planned;
};

} // namespace

} // namespace Ics

IcsImportResult ImportIcs(const QByteArray& ics, DataAccess& store, const QString& dataFolder,
                          int colorCode, const IcsImportProgress& progress,
                          const IcsImportOptions& options)
{
    Ics::prepareLibrary();
    IcsImportResult result;
    const Ics::Parsed parsed = Ics::parse(ics);
    if (!parsed.error.isEmpty()) {
        result.error = parsed.error;
        return result;
    }
    result.ok = true;

    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    const Ics::NewAppointments target{
        colorCode, options.producer.isEmpty() ? GetLoginName() : options.producer,
        std::min(today.addYears(2), Ics::kLastDay)};
    const std::vector<Ics::Source> events = Ics::eventsOf(parsed);
    result.events = int(events.size());
    Ics::Planner planner(result, target);
    planner.noteReplacements(events);
    for (const Ics::Source& s : events)
        planner.plan(s);

    // Written only now: a file that is not iCalendar has left nothing behind.
    const QString folder = WithTrailingSeparator(dataFolder);
    auto random = options.random;
    if (!random)
        random = [] { return QRandomGenerator::global()->generate(); };
    QList<ClassTermin> planned = planner.takePlanned();
    result.appointments = int(planned.size());
    bool reachable = true;
    int done = 0;
    for (ClassTermin& a : planned) {
        WriteOutcome outcome;
        if (reachable) {
            const QString directory = AppointmentFiling::TargetDirectory(folder, a);
            a.setFilename(directory + store.UnusedFileName(directory, random));
            outcome = store.SaveAppointment(a);
            // An unmounted share answers every further try the same way, only slower.
            reachable = outcome.ok || outcome.cause != WriteOutcome::Cause::FolderUnreachable;
        }
        if (!outcome.ok && result.failed++ == 0)
            result.firstFailure = outcome;
        if (progress)
            progress(++done, result.appointments);
    }
    return result;
}

QString IcsNotSavedReason(const WriteOutcome& failure)
{
    const QString where = QDir::toNativeSeparators(failure.path);
    switch (failure.cause) {
    case WriteOutcome::Cause::FolderUnreachable:
        return IcsImport::tr("The data folder %1 cannot be reached.").arg(where);
    case WriteOutcome::Cause::Unreadable:
        return IcsImport::tr("%1 is there but could not be read.").arg(where);
    case WriteOutcome::Cause::OutsideFolder:
        return IcsImport::tr("%1 leads out of the data folder.").arg(where);
    case WriteOutcome::Cause::System:
    case WriteOutcome::Cause::Locked:
    case WriteOutcome::Cause::NotAnswering:
        break;
    }
    return failure.error.isEmpty() ? where : where + QStringLiteral(": ") + failure.error;
}

QString IcsImportSummary(const IcsImportResult& result)
{
    if (!result.ok)
        return result.error;
    // A file of many broken events names the first few.
    constexpr int kNamed = 20;
    QStringList lines;
    lines << IcsImport::tr("Imported: %1 events, %2 of them recurring")
                 .arg(result.imported)
                 .arg(result.recurring);
    lines << IcsImport::tr("Expanded: %1 events into %2 appointments")
                 .arg(result.expanded)
                 .arg(result.expandedInto);
    for (const QString& name : result.shortened)
        lines << IcsImport::tr("  \"%1\": only the first %2 occurrences")
                     .arg(name)
                     .arg(kMaxOccurrences);
    lines << IcsImport::tr("Skipped: %1 events").arg(result.skipped.size());
    for (qsizetype i = 0; i < result.skipped.size() && i < kNamed; ++i) {
        QString reason;
        switch (result.skipped[i].reason) {
        case IcsImportResult::SkipReason::NoStart:
            reason = IcsImport::tr("no start");
            break;
        case IcsImportResult::SkipReason::UnreadableRule:
            reason = IcsImport::tr("its repeat rule cannot be read");
            break;
        case IcsImportResult::SkipReason::Cancelled:
            reason = IcsImport::tr("cancelled");
            break;
        case IcsImportResult::SkipReason::OutsideDates:
            reason = IcsImport::tr("no date from 1900 to 2200");
            break;
        case IcsImportResult::SkipReason::TooMany:
            reason = IcsImport::tr("more appointments than one import writes");
            break;
        }
        lines << QStringLiteral("  \"%1\": %2").arg(result.skipped[i].event, reason);
    }
    if (result.skipped.size() > kNamed)
        lines << IcsImport::tr("  and %1 more").arg(result.skipped.size() - kNamed);
    if (result.failed > 0)
        lines << IcsImport::tr("Not saved: %1 of %2 appointments: %3")
                     .arg(result.failed)
                     .arg(result.appointments)
                     .arg(IcsNotSavedReason(result.firstFailure));
    return lines.join(QLatin1Char('\n'));
}
