#include "exchange/IcsImport.h"

#include "exchange/IcsCategories.h"
#include "exchange/IcsImportSupport.h"
#include "exchange/IcsOwnZone.h"
#include "exchange/ImportRecord.h"
#include "exchange/OccurrenceSeries.h"
#include "profile/FileAccess.h"
#include "store/ApiLoginName.h"
#include "store/AppointmentFile.h"
#include "store/AppointmentFiling.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"
#include "store/RuleSeries.h"
#include "store/SeriesEdit.h"
#include "store/SpanDays.h"

#include <QHash>
#include <QRandomGenerator>
#include <QUuid>

#include <algorithm>
#include <optional>
#include <utility>

namespace Ics {

namespace {

// All expansions of one file together never write more appointments than this.
constexpr int kMaxAppointments = 200000;

// ---- one appointment ----

bool holdable(const QDate& date)
{
    return date.isValid() && date >= Ics::kFirstDay && date <= Ics::kLastDay;
}

struct NewAppointments {
    int colorCode;
    QString producer;
    QString subscription;
    QDate openEnd; // the last day a rule without end that started by today is expanded to
};

ClassTermin appointmentOf(const Event& e, const LocalSpan& span, const NewAppointments& target)
{
    ClassTermin a;
    a.setDatum(span.date);
    a.setStartTime(TimeOfDay::fromMinutes(span.start));
    a.setEndTime(TimeOfDay::fromMinutes(span.end));
    a.setText(span.days > 1 ? SpanDays::markedText(e.text, span.day, span.days) : e.text);
    a.setLocation(e.location);
    a.setOrganizer(e.people.organizer);
    a.setAttendees(e.people.attendees);
    a.setCategories(e.categories);
    a.setIsPrivate(e.isPrivate);
    a.setColorCode(qint16(target.colorCode));
    a.setProducer(target.producer);
    a.setIsReminder(e.remindMinutes > 0);
    a.setRemindMinutes(qint16(e.remindMinutes));
    a.setReminderAll(false);
    a.setEmailEnable(false);
    a.setIsRecurring(false);
    a.setRecurringStartDate(span.date);
    a.setRecurringEndDate(span.date);
    a.setUid(e.uid);
    a.setSubscriptionId(target.subscription);
    return a;
}

// ---- the whole import ----

class Planner {
public:
    Planner(IcsImportResult& result, const NewAppointments& target, const IcsImportOptions& options,
            const std::vector<ZonesPtr>& zones)
        : m_result(result)
        , m_target(target)
        , m_options(options)
        , m_zones(zones)
    {
    }

    // replaced: the occurrences of the event that changed occurrences of it replace.
    void plan(const Source& s, Role role, const QList<icaltimetype>& replaced)
    {
        Event e;
        e.name = nameOf(s.event, s.number);
        if (role == Role::Older) {
            m_result.olderVersions.append(e.name);
            return;
        }
        icalproperty* start = icalcomponent_get_first_property(s.event, ICAL_DTSTART_PROPERTY);
        if (start)
            e.start = momentOf(start, s.calendar, icalproperty_get_dtstart(start));
        if (!start || icaltime_is_null_time(e.start) || hasErrorIn(s.event, "DTSTART"))
            return skip(e, IcsImportResult::SkipReason::NoStart);
        if (icalcomponent_get_status(s.event) == ICAL_STATUS_CANCELLED)
            return skip(e, IcsImportResult::SkipReason::Cancelled);
        if (const std::optional<IcsImportResult::Warning::Kind> zone = zoneWarning(s))
            warn(e, *zone);

        e.uid = uidOf(s.event);
        e.allDay = e.start.is_date;
        e.duration = durationOf(s, e.start);
        e.text = textOf(s.event, &e.textCut);
        e.location = locationOf(s.event);
        e.people = peopleOf(s.event);
        e.categories = categoriesOf(s.event);
        e.isPrivate = isPrivateEvent(s.event);
        e.remindMinutes = remindMinutesOf(s, e.start, e.allDay ? 0 : e.duration);
        if (const QList<IcsImportResult::Lost> lost = lostOf(s.event, e.remindMinutes > 0);
            !lost.isEmpty())
            m_result.notKept.append({e.name, lost});
        // A changed occurrence is that one occurrence, whatever rule some servers repeat in it,
        // and an exception of its series.
        if (role == Role::Changed) {
            const size_t before = m_planned.size();
            single(e, false);
            for (size_t i = before;
                 m_options.seriesParts && !e.uid.isEmpty() && i < m_planned.size(); ++i)
                m_planned[i].appointment.setSeriesId(e.uid);
            return;
        }

        // A line that cannot be used is left out, and the event imported from the others.
        using Warning = IcsImportResult::Warning::Kind;
        bool ruleLeftOut = hasErrorIn(s.event, "RRULE");
        QList<icalrecurrencetype> rules;
        for (icalproperty* p : propertiesOf(s.event, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype rule = icalproperty_get_rrule(p);
            if (rule.freq == ICAL_NO_RECURRENCE)
                ruleLeftOut = true;
            else
                rules.append(rule);
        }
        bool exceptionLeftOut = hasErrorIn(s.event, "EXDATE");
        Exclusions ex;
        QSet<QDate> skippedDays; // the local days the exceptions take out
        for (icalproperty* p : propertiesOf(s.event, ICAL_EXDATE_PROPERTY)) {
            const icaltimetype t = icalproperty_get_exdate(p);
            exceptionLeftOut = exceptionLeftOut || icaltime_is_null_time(t);
            exclude(ex, momentOf(p, s.calendar, t), e.start);
            skippedDays.insert(localDayOf(momentOf(p, s.calendar, t)));
        }
        for (const icaltimetype& t : replaced) {
            exclude(ex, t, e.start);
            skippedDays.insert(localDayOf(t));
        }
        bool extraLeftOut = hasErrorIn(s.event, "RDATE");
        QList<icaltimetype> extra;
        for (icalproperty* p : propertiesOf(s.event, ICAL_RDATE_PROPERTY)) {
            const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
            const icaltimetype t =
                icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
            extraLeftOut = extraLeftOut || icaltime_is_null_time(t);
            if (!icaltime_is_null_time(t))
                extra.append(momentOf(p, s.calendar, t));
        }
        // A rule that ends before its start makes no date; an event of such rules alone is
        // skipped as that.
        const qsizetype rulesRead = rules.size();
        rules.removeIf([&e](const icalrecurrencetype& r) { return endsBeforeStart(r, e.start); });
        if (rulesRead > 0 && rules.isEmpty() && extra.isEmpty())
            return skip(e, IcsImportResult::SkipReason::EndsBeforeStart);
        if (ruleLeftOut)
            warn(e, Warning::RuleLeftOut);
        if (exceptionLeftOut)
            warn(e, Warning::ExceptionLeftOut);
        if (extraLeftOut)
            warn(e, Warning::ExtraDateLeftOut);

        if (rules.isEmpty() && extra.isEmpty() && !ex.any())
            return single(e);
        const std::optional<RepeatRule> repeat =
            rules.size() == 1 && extra.isEmpty() ? repeatRuleOf(e, rules.first()) : std::nullopt;
        if (m_options.seriesParts && repeat && !repeat->isPlainKind() &&
            ruleSeries(e, *repeat, skippedDays))
            return;
        if (rules.size() == 1 && extra.isEmpty() && !ex.any() &&
            recurring(e, rules.first(), repeat))
            return;
        if (m_options.seriesParts && rules.size() == 1 && extra.isEmpty() && !exceptionLeftOut &&
            recurringParts(e, rules.first(), repeat, skippedDays, !replaced.isEmpty()))
            return;
        expand(e, rules, extra, ex);
    }

    bool stopped() const { return m_stopped; }
    std::vector<Planned> takePlanned()
    {
        linkExceptions();
        return std::exchange(m_planned, {});
    }
    std::vector<PlannedEvent> takeEvents() { return std::exchange(m_events, {}); }

private:
    void skip(const Event& e, IcsImportResult::SkipReason reason)
    {
        m_result.skipped.append({e.name, reason});
    }

    void warn(const Event& e, IcsImportResult::Warning::Kind kind)
    {
        m_result.warnings.append({e.name, kind});
    }

    // A start or end in a zone neither the file nor the system can work out is read as local
    // time; one in a zone of the file that could not be worked out, in the system's zone of
    // its name.
    std::optional<IcsImportResult::Warning::Kind> zoneWarning(const Source& s) const
    {
        using Kind = IcsImportResult::Warning::Kind;
        for (const icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DTEND_PROPERTY}) {
            icalproperty* p = icalcomponent_get_first_property(s.event, kind);
            icalparameter* tzid =
                p ? icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) : nullptr;
            if (!tzid)
                continue;
            const icaltimetype t =
                momentOf(p, s.calendar,
                         kind == ICAL_DTSTART_PROPERTY ? icalproperty_get_dtstart(p)
                                                       : icalproperty_get_dtend(p));
            if (icaltime_is_null_time(t) || t.is_date || icaltime_is_utc(t))
                continue;
            if (!t.zone)
                return Kind::ZoneUnknown;
            if (m_zones[size_t(s.calendarIndex)]->refused.contains(icalparameter_get_tzid(tzid)))
                return Kind::ZoneOfSystem;
        }
        return std::nullopt;
    }

    void add(ClassTermin appointment)
    {
        m_planned.push_back({std::move(appointment), int(m_events.size()) - 1});
        ++m_events.back().appointments;
    }

    void begin(const Event& e, PlannedEvent::Kind kind)
    {
        m_events.push_back({kind, 0, 0, false, false});
        if (e.textCut)
            m_result.textsCut.append(e.name);
    }

    // linked: the days of an event over several days are one span (not those of a changed
    // occurrence, which its series' export writes day by day).
    void single(const Event& e, bool linked = true)
    {
        const int room = std::min(kMaxOccurrences, kMaxAppointments - int(m_planned.size()));
        if (room <= 0)
            return skip(e, IcsImportResult::SkipReason::TooMany);
        const std::optional<QList<LocalSpan>> days = daysOf(e, e.start, room);
        if (!days)
            return skip(e, IcsImportResult::SkipReason::NoTime);
        QList<LocalSpan> spans = *days;
        spans.removeIf([](const LocalSpan& span) { return !holdable(span.date); });
        if (spans.isEmpty())
            return skip(e, IcsImportResult::SkipReason::OutsideDates);
        begin(e, PlannedEvent::Kind::Single);
        const size_t first = m_planned.size();
        addAll(e, spans);
        if (linked)
            linkSpan(m_planned.end() - spans.size(), m_planned.end(), e.uid);
        for (size_t i = first; i < m_planned.size(); ++i)
            keepOwnZone(m_planned[i].appointment, e.start, e.duration);
        if (days->size() == room && days->back().day < days->back().days)
            m_result.shortened.append({e.name, int(spans.size())});
    }

    // The appointments of the spans; an event over several days is counted as such.
    void addAll(const Event& e, const QList<LocalSpan>& spans)
    {
        for (const LocalSpan& span : spans) {
            m_events.back().severalDays = m_events.back().severalDays || span.days > 1;
            add(appointmentOf(e, span, m_target));
        }
    }

    bool recurring(const Event& e, const icalrecurrencetype& rule,
                   const std::optional<RepeatRule>& repeat)
    {
        std::optional<ClassTermin> series = recurringOf(e, rule, repeat);
        if (!series)
            return false;
        begin(e, PlannedEvent::Kind::Recurring);
        add(std::move(*series));
        return true;
    }

    // A series with exceptions that the folder can hold: its occurrences between the days
    // taken out, as recurring files of one SeriesId (the event's UID), so a weekly meeting with
    // three days off is four files, not a hundred.
    bool recurringParts(const Event& e, const icalrecurrencetype& rule,
                        const std::optional<RepeatRule>& repeat, const QSet<QDate>& skipped,
                        bool changedOccurrences)
    {
        constexpr qsizetype kMostParts = 500;
        const std::optional<ClassTermin> series = recurringOf(e, rule, repeat);
        if (!series)
            return false;
        const QList<std::pair<QDate, QDate>> runs = SeriesEdit::runsWithout(
            Recurrence::ofCode(series->Recurring_code), series->datum(),
            series->RecurringStartDate(), series->RecurringEndDate(), skipped);
        if (runs.isEmpty() || runs.size() > kMostParts)
            return false; // nothing left, or exceptions beyond reason: expansion decides
        const bool linked = runs.size() > 1 || changedOccurrences;
        const QString id =
            e.uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : e.uid;
        begin(e, PlannedEvent::Kind::Recurring);
        for (const auto& [first, last] : runs) {
            ClassTermin part = *series;
            part.setDatum(first);
            part.setRecurringStartDate(first);
            part.setRecurringEndDate(last);
            if (linked)
                part.setSeriesId(id);
            add(std::move(part));
        }
        return true;
    }

    // The recurring appointment of a rule the folder can hold exactly; one that counts its
    // times keeps its rule, so the count goes on to a later export.
    std::optional<ClassTermin> recurringOf(const Event& e, const icalrecurrencetype& rule,
                                           const std::optional<RepeatRule>& repeat) const
    {
        const bool counted =
            repeat && repeat->isPlainKind() && repeat->end == RepeatRule::End::Count;
        const std::optional<Recurrence::Kind> kind =
            counted ? RuleSeries::kindOf(repeat->unit) : exactKind(rule, e.start);
        if (!kind)
            return std::nullopt;
        // A series from before 1900 (or year 0) is taken from its first day in 1900.
        const QDate pattern = patternOf(e.start);
        const QDate lastWall =
            counted ? repeat->lastDay() : std::min(lastDayOf(rule, e.start), Ics::kLastDay);
        const QDate firstWall =
            pattern < Ics::kFirstDay
                ? Ics::firstDayApplying(*kind, pattern, Ics::kFirstDay, lastWall)
                : pattern;
        if (!firstWall.isValid() || firstWall > lastWall)
            return std::nullopt; // not one occurrence in the years a file holds: expansion decides
        icaltimetype first = e.start;
        first.year = firstWall.year();
        first.month = firstWall.month();
        first.day = firstWall.day();
        if (!keepsLocalClock(rule, first))
            return std::nullopt;
        // An event over several days is one appointment a day: expansion makes them.
        const std::optional<QList<LocalSpan>> days = daysOf(e, first, 2);
        if (!days || days->size() != 1 || !holdable(days->front().date))
            return std::nullopt;
        const LocalSpan* span = &days->front();
        const QDate last = std::min(lastWall.addDays(firstWall.daysTo(span->date)), Ics::kLastDay);
        if (span->date > last)
            return std::nullopt;
        ClassTermin a = appointmentOf(e, *span, m_target);
        a.setIsRecurring(true);
        a.Recurring_code = Recurrence::code(*kind);
        a.setRecurringEndDate(last);
        if (counted)
            a.setRule(repeat);
        return a;
    }

    // The rule as RepeatRule holds it, from the local day of the start, for an event that
    // starts on that day in every zone concerned and keeps its local hour; none for any other.
    static std::optional<RepeatRule> repeatRuleOf(const Event& e, const icalrecurrencetype& rule)
    {
        const std::optional<QList<LocalSpan>> days = daysOf(e, e.start, 2);
        if (!days || days->size() != 1 || !holdable(days->front().date) ||
            days->front().date != Ics::dateOf(e.start) || !keepsLocalClock(rule, e.start))
            return std::nullopt;
        icalrecurrencetype copy = rule;
        char* text = icalrecurrencetype_as_string_r(&copy);
        std::optional<RepeatRule> repeat =
            RepeatRule::fromRRule(QString::fromUtf8(text), days->front().date);
        icalmemory_free_buffer(text);
        if (!repeat || !repeat->fallsOn(repeat->start))
            return std::nullopt; // a start the rule does not fall on is one more time
        if (repeat->end == RepeatRule::End::Until) {
            // UNTIL in UTC or another zone names a day of the start's own calendar.
            repeat->until = std::min(lastDayOf(rule, e.start), Ics::kLastDay);
            if (!repeat->isValid())
                return std::nullopt;
        }
        const QDate last = repeat->lastDay();
        if (repeat->end == RepeatRule::End::Count && (!last.isValid() || last > Ics::kLastDay))
            return std::nullopt;
        return repeat;
    }

    // A series the recurring directories cannot hold: one record of its rule, filed as its
    // rule file and one-time occurrences, the days its exceptions take out skipped. Its
    // SeriesId comes from the UID, so a second import finds it.
    bool ruleSeries(const Event& e, const RepeatRule& rule, const QSet<QDate>& skipped)
    {
        QList<QDate> days;
        for (const QDate& day : skipped) {
            if (day >= rule.start && rule.fallsOn(day))
                days.append(day);
        }
        std::sort(days.begin(), days.end());
        const QDate last = rule.lastDay();
        if (last.isValid() &&
            rule.occurrences(rule.start, last, int(days.size()) + 1).size() <= days.size())
            return false; // every time taken out: expansion tells so
        ClassTermin a = appointmentOf(e, daysOf(e, e.start, 1)->front(), m_target);
        RuleSeries::repeatBy(a, rule);
        a.setSkippedDays(days);
        a.setSeriesId(OccurrenceSeries::idOfUid(
            e.uid.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : e.uid));
        begin(e, PlannedEvent::Kind::Recurring);
        add(std::move(a));
        return true;
    }

    // The changed occurrences of a series kept by its rule file become its exceptions: its
    // SeriesId, and their days noted in its rule file.
    void linkExceptions()
    {
        QHash<QString, size_t> seriesOfUid;
        for (size_t i = 0; i < m_planned.size(); ++i) {
            const ClassTermin& a = m_planned[i].appointment;
            if (RuleSeries::keptByRuleFile(a) && !a.Uid().isEmpty())
                seriesOfUid.insert(a.Uid(), i);
        }
        for (Planned& p : m_planned) {
            ClassTermin& a = p.appointment;
            const auto series = seriesOfUid.constFind(a.Uid());
            if (series == seriesOfUid.cend() || a.IsRecurring() || a.SeriesId() != a.Uid())
                continue;
            ClassTermin& rule = m_planned[*series].appointment;
            a.setSeriesId(rule.SeriesId());
            rule.setSeriesDays(rule.SeriesDays() + QList<QDate>{a.datum()});
        }
    }

    // The local day of an exception's time, where the series' occurrence it names shows.
    static QDate localDayOf(const icaltimetype& t)
    {
        return t.is_date || !t.zone ? Ics::dateOf(t) : Ics::toLocal(t).date();
    }

    // A rule without end runs as far past today as past its start, if that is later.
    QDate openEndOf(const Event& e) const
    {
        const QDate start = e.start.zone ? Ics::toLocal(e.start).date() : Ics::dateOf(e.start);
        if (!start.isValid() || start.addYears(2) <= m_target.openEnd)
            return m_target.openEnd;
        return std::min(start.addYears(2), Ics::kLastDay);
    }

    void expand(const Event& e, const QList<icalrecurrencetype>& rules,
                const QList<icaltimetype>& extra, const Exclusions& ex)
    {
        using Outcome = Occurrences::Outcome;
        using Reason = IcsImportResult::SkipReason;
        bool ends = true;
        for (const icalrecurrencetype& rule : rules)
            ends = ends && (rule.count > 0 || !icaltime_is_null_time(rule.until));
        const int room = kMaxAppointments - int(m_planned.size());
        if (room <= 0)
            return skip(e, Reason::TooMany);
        const Budget budget{QDeadlineTimer(m_options.expansionTime), &m_options.stop};
        const Occurrences found =
            occurrencesOf(e, rules, extra, ex, ends ? Ics::kLastDay : openEndOf(e), room, budget);
        if (found.ruleLeftOut)
            warn(e, IcsImportResult::Warning::Kind::RuleLeftOut);
        if (found.ruleMatchesNoDate)
            warn(e, IcsImportResult::Warning::Kind::RuleMatchesNoDate);
        switch (found.outcome) {
        case Outcome::Found:
            break;
        case Outcome::TooOften:
            return skip(e, Reason::TooOften);
        case Outcome::TimeUp:
            return skip(e, Reason::TookTooLong);
        case Outcome::Stopped:
            m_stopped = true;
            return;
        }
        QList<LocalSpan> spans;
        bool timeless = false;
        bool shortened = found.shortened;
        const int most = std::min(kMaxOccurrences, room);
        for (const icaltimetype& t : found.times) {
            if (spans.size() >= most) {
                shortened = true;
                break;
            }
            const std::optional<QList<LocalSpan>> days = daysOf(e, t, most - int(spans.size()));
            timeless = timeless || !days;
            for (const LocalSpan& span : days.value_or(QList<LocalSpan>())) {
                if (holdable(span.date))
                    spans.append(span);
            }
        }
        if (spans.isEmpty())
            return skip(e, timeless             ? Reason::NoTime
                           : found.excluded > 0 ? Reason::AllExcluded
                                                : Reason::OutsideDates);
        begin(e, PlannedEvent::Kind::Expanded);
        addAll(e, spans);
        if (shortened)
            m_result.shortened.append({e.name, int(spans.size())});
    }

    IcsImportResult& m_result;
    const NewAppointments& m_target;
    const IcsImportOptions& m_options;
    const std::vector<ZonesPtr>& m_zones;
    std::vector<Planned> m_planned;
    std::vector<PlannedEvent> m_events;
    bool m_stopped = false;
};

} // namespace

} // namespace Ics

namespace Ics {

namespace {

// A file read and planned whole, nothing written yet: what an import writes, and what the
// sync files itself. The zones stay set for as long as it lives.
class FileImport {
public:
    FileImport(const QByteArray& file, int colorCode, const IcsImportOptions& options,
               IcsImportResult& result)
        : m_today(options.today.isValid() ? options.today : QDate::currentDate())
        , m_target{colorCode, options.producer.isEmpty() ? GetLoginName() : options.producer,
                   options.subscription, std::min(m_today.addYears(2), Ics::kLastDay)}
        , m_calendarZone(options.timeZoneId)
    {
        Ics::prepareLibrary();
        const QByteArray ics = Ics::readable(file, &result.windows1252Lines);
        const Ics::Split found = Ics::split(ics);
        if (!found.error.isEmpty()) {
            result.error = found.error;
            return;
        }
        result.ok = true;
        result.events = int(found.events.size());
        result.strays = Ics::namesOf(ics, found.strays);

        IcsZoneCache own;
        IcsZoneCache& cache = options.zones ? *options.zones : own;
        std::vector<ZonesPtr> zones;
        qint64 zoneChanges = Ics::kMaxZoneChanges;
        for (const std::vector<Ics::Span>& calendar : found.calendars)
            zones.push_back(Ics::zonesOf(ics, calendar, zoneChanges, cache));
        for (const ZonesPtr& calendar : zones)
            Ics::coverZones(calendar->calendar.get(), m_covered);
        const Ics::EventReader reader(ics, found, zones);
        const Ics::Roles roles = Ics::rolesOf(ics, found, reader);
        const auto stopped = [&options] { return options.stop && options.stop(); };

        Ics::Planner planner(result, m_target, options, zones);
        const QList<icaltimetype> none;
        for (size_t i = 0; i < found.events.size(); ++i) {
            if (!stopped()) {
                const auto replaced = roles.replaced.find(i);
                reader.read(i, [&](const Ics::Source& s) {
                    planner.plan(s, roles.of[i],
                                 replaced == roles.replaced.end() ? none : replaced->second);
                });
            }
            if (stopped() || planner.stopped()) {
                result.stopped = true;
                return; // nothing written
            }
            if (options.planning)
                options.planning(int(i) + 1, result.events);
        }
        Ics::noteOthers(ics, found.others, result);

        m_planned = planner.takePlanned();
        m_events = planner.takeEvents();
        if (m_planned.size() > size_t(options.largeImport) && !options.allowLarge) {
            result.tooLarge = true;
            result.appointments = int(m_planned.size());
            return;
        }
        m_ready = true;
    }

    // Planned to the end, and allowed to be written.
    bool ready() const { return m_ready; }
    const QDate& today() const { return m_today; }
    const QString& producer() const { return m_target.producer; }
    std::vector<Planned>& planned() { return m_planned; }
    std::vector<PlannedEvent>& events() { return m_events; }

private:
    QDate m_today;
    NewAppointments m_target;
    CalendarZone m_calendarZone;
    CoveredZones m_covered;
    std::vector<Planned> m_planned;
    std::vector<PlannedEvent> m_events;
    bool m_ready = false;
};

} // namespace

} // namespace Ics

IcsImportResult ImportIcs(const QByteArray& file, DataAccess& store, const QString& dataFolder,
                          int colorCode, const IcsImportProgress& progress,
                          const IcsImportOptions& options)
{
    IcsImportResult result;
    Ics::FileImport planned(file, colorCode, options, result);
    if (!planned.ready())
        return result;
    // Written only now: a file that is not iCalendar has left nothing behind.
    std::unique_ptr<ImportRecord> record;
    if (!options.recordSource.isEmpty() && !planned.planned().empty()) {
        record = ImportRecord::start(dataFolder, options.recordSource, planned.producer(),
                                     &result.error);
        if (!record) {
            result.ok = false;
            return result;
        }
        result.record = record->path();
    }
    auto random = options.random;
    if (!random)
        random = [] { return QRandomGenerator::global()->generate(); };
    Ics::writePlanned(planned.planned(), planned.events(),
                      {store, WithTrailingSeparator(dataFolder), random, progress, options.stop,
                       record.get(), planned.today()},
                      result);
    if (record) {
        const bool anyWritten = result.appointments - result.notTried - result.failed > 0;
        record->finish(anyWritten);
        if (!anyWritten)
            result.record.clear();
    }
    return result;
}

IcsPlan PlanIcs(const QByteArray& file, const QString& dataFolder, int colorCode,
                const IcsImportOptions& options)
{
    IcsPlan plan;
    Ics::FileImport planned(file, colorCode, options, plan.result);
    if (!planned.ready())
        return plan;
    const QString folder = WithTrailingSeparator(dataFolder);
    plan.result.appointments = int(planned.planned().size());
    for (Ics::Planned& p : planned.planned()) {
        ClassTermin a = std::move(p.appointment);
        if (RuleSeries::keptByRuleFile(a)) {
            a = RuleSeries::planReplace({}, a, folder, planned.today()).first().record;
        } else {
            const bool recurring = a.IsRecurring(); // a path in the recurring tree says so too
            a.setFilename(AppointmentFiling::TargetDirectory(folder, a) +
                          QString::number(plan.appointments.size() + 1) +
                          AppointmentFile::kExtension);
            a.setIsRecurring(recurring);
        }
        plan.appointments.append(*AppointmentFile::asFiled(a, folder));
        ++planned.events()[size_t(p.event)].written;
    }
    Ics::countLanded(planned.events(), plan.result);
    return plan;
}
