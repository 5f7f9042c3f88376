#include "exchange/IcsExport.h"

#include "exchange/IcsCategories.h"
#include "exchange/IcsPeople.h"
#include "exchange/IcsSupport.h"
#include "exchange/OccurrenceSeries.h"
#include "store/ClassTermin.h"
#include "store/Common.h"
#include "store/DataAccess.h"
#include "store/RuleSeries.h"
#include "store/RuleSeriesFiling.h"
#include "store/SeriesEdit.h"
#include "store/SpanDays.h"
#include "store/SpanFiling.h"
#include "store/ZoneCorrection.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QTimeZone>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace {

using Ics::ComponentPtr;

const char* const kProductId = "-//Norvane//Norvane Calendar//EN";

// The zone the times are written in.
struct OutputZone {
    icaltimezone* zone = nullptr; // null: floating local time
    QByteArray id;

    bool isUtc() const { return zone && zone == icaltimezone_get_utc_timezone(); }
    bool named() const { return zone && !isUtc(); }
};

OutputZone outputZone(const QString& id)
{
    OutputZone out;
    out.id = id.isEmpty() ? QTimeZone::systemTimeZoneId() : id.toUtf8();
    // UTC by any of its names is written with Z: a TZID beside a UTC value is no iCalendar.
    if (Ics::isUtcName(QString::fromUtf8(out.id)))
        out.zone = icaltimezone_get_utc_timezone();
    else if (!out.id.isEmpty())
        out.zone = icaltimezone_get_builtin_timezone(out.id.constData());
    return out;
}

// A local date and minute of the day (1440 is the end of the day) as the file writes it: a
// wall-clock time beside its TZID, UTC, or floating.
icaltimetype outputTime(const QDate& date, int minutes, const OutputZone& out)
{
    if (out.isUtc()) {
        const QDateTime local = Ics::localDateTime(date.addDays(minutes / 1440),
                                                   QTime(minutes % 1440 / 60, minutes % 60));
        return icaltime_from_timet_with_zone(time_t(local.toSecsSinceEpoch()), 0, out.zone);
    }
    // The TZID parameter names the zone; the value itself stays a wall-clock time.
    return Ics::wallTime(date, minutes, nullptr);
}

// A recurrence's end: RFC 5545 wants UTC beside a zoned start.
icaltimetype untilTime(const QDate& date, int minutes, const OutputZone& out)
{
    if (!out.named())
        return outputTime(date, minutes, out);
    icaltimetype time = Ics::wallTime(date, minutes, out.zone);
    icaltimezone* utc = icaltimezone_get_utc_timezone();
    icaltimezone_convert_time(&time, out.zone, utc);
    time.zone = utc;
    return time;
}

icalproperty* zoned(icalproperty* property, const OutputZone& out)
{
    if (out.named())
        icalproperty_add_parameter(property, icalparameter_new_tzid(out.id.constData()));
    return property;
}

icalrecurrencetype_frequency frequencyOf(Recurrence::Kind kind)
{
    switch (kind) {
    case Recurrence::Kind::None:
        break;
    case Recurrence::Kind::Daily:
        return ICAL_DAILY_RECURRENCE;
    case Recurrence::Kind::Weekly:
        return ICAL_WEEKLY_RECURRENCE;
    case Recurrence::Kind::Monthly:
        return ICAL_MONTHLY_RECURRENCE;
    case Recurrence::Kind::Yearly:
        return ICAL_YEARLY_RECURRENCE;
    }
    return ICAL_NO_RECURRENCE;
}

// A series' own rule as the file writes it: its end as UNTIL at the start's time (in UTC
// beside a zone), or as COUNT.
icalrecurrencetype recurrenceOf(const RepeatRule& rule, const ClassTermin& a, int start,
                                const OutputZone& out)
{
    icalrecurrencetype r = icalrecurrencetype_from_string(rule.rrule().toUtf8().constData());
    if (rule.end == RepeatRule::End::Until) {
        const QDate last = std::min(rule.until, Ics::kLastDay);
        r.until = a.isAllDay() ? Ics::dateOnly(last) : untilTime(last, start, out);
    }
    return r;
}

QString uidOf(const QString& path, const QString& dataFolder)
{
    QString relative = path.startsWith(dataFolder) ? path.mid(dataFolder.size()) : path;
    return relative.replace(QLatin1Char('\\'), QLatin1Char('/')) + QStringLiteral("@norvane");
}

struct Source {
    TerminPtr appointment;
    QDate shownOn; // the first day of the range that shows it
};

struct Event {
    ComponentPtr component;
    icaltimetype firstStart;           // for the time zone's coverage
    std::optional<OutputZone> ownZone; // the appointment's own, its times written in it
};

// An appointment of its own zone, written in it where its wall clocks there stand for all of it.
std::optional<OutputZone> ownZoneOf(const ClassTermin& a, const OutputZone& team)
{
    if (!ZoneCorrection::zoneClocksHold(a, QString::fromUtf8(team.id)))
        return std::nullopt;
    const OutputZone own = outputZone(a.TimeZoneId());
    return own.named() ? std::optional(own) : std::nullopt;
}

int minuteOf(const QDateTime& wallClock)
{
    return wallClock.time().hour() * 60 + wallClock.time().minute();
}

Event eventOf(const Source& source, const QString& dataFolder, const OutputZone& out,
              const icaltimetype& stamp, const QString& uid = {})
{
    const ClassTermin& a = *source.appointment;
    const Recurrence::Kind kind = Recurrence::ofPath(a.filename());
    QDate day = source.shownOn;
    if (kind != Recurrence::Kind::None) {
        // It is shown on shownOn, so a first day exists at or before it.
        const QDate first = Ics::firstDayApplying(
            kind, source.shownOn, std::max(a.RecurringStartDate(), Ics::kFirstDay), source.shownOn);
        if (first.isValid())
            day = first;
    }
    const int start = std::min(a.StartTime().minutes(), TimeOfDay::kEndOfDay - 1);
    const int end = std::clamp(a.EndTime().minutes(), start, int(TimeOfDay::kEndOfDay));

    ComponentPtr event(icalcomponent_new_vevent());
    icalcomponent* e = event.get();
    icalcomponent_add_property(
        e, icalproperty_new_uid(
               (uid.isEmpty() ? uidOf(a.filename(), dataFolder) : uid).toUtf8().constData()));
    icalcomponent_add_property(e, icalproperty_new_dtstamp(stamp));
    const bool allDay = a.isAllDay();
    const std::optional<OutputZone> ownZone =
        allDay || kind != Recurrence::Kind::None ? std::nullopt : ownZoneOf(a, out);
    if (ownZone) {
        const QDateTime from = a.ZoneStart();
        const QDateTime until = a.ZoneEnd();
        icalcomponent_add_property(
            e, zoned(icalproperty_new_dtstart(outputTime(from.date(), minuteOf(from), *ownZone)),
                     *ownZone));
        icalcomponent_add_property(
            e, zoned(icalproperty_new_dtend(outputTime(until.date(), minuteOf(until), *ownZone)),
                     *ownZone));
    } else if (allDay) {
        // A day, not a time: it stays that day in every zone.
        icalcomponent_add_property(e, icalproperty_new_dtstart(Ics::dateOnly(day)));
        icalcomponent_add_property(e, icalproperty_new_dtend(Ics::dateOnly(day.addDays(1))));
    } else {
        icalcomponent_add_property(
            e, zoned(icalproperty_new_dtstart(outputTime(day, start, out)), out));
        icalcomponent_add_property(e,
                                   zoned(icalproperty_new_dtend(outputTime(day, end, out)), out));
    }

    const Ics::EventText text = Ics::eventTextOf(a.Text());
    const QByteArray summary = text.summary.toUtf8();
    // An empty value is no value: readers drop the line or complain about it.
    if (!summary.isEmpty())
        icalcomponent_add_property(e, icalproperty_new_summary(summary.constData()));
    if (!text.description.isEmpty())
        icalcomponent_add_property(
            e, icalproperty_new_description(text.description.toUtf8().constData()));
    if (!a.Location().isEmpty())
        icalcomponent_add_property(e, icalproperty_new_location(a.Location().toUtf8().constData()));
    Ics::addPeople(e, a);
    Ics::addCategories(e, a.Categories());

    if (a.IsPrivate())
        icalcomponent_add_property(e, icalproperty_new_class(ICAL_CLASS_PRIVATE));

    if (kind != Recurrence::Kind::None) {
        // Its own rule where it has one that starts here (a count stays a count).
        const std::optional<RepeatRule> own = RuleSeries::ruleAsFiled(a);
        icalrecurrencetype rule;
        icalrecurrencetype_clear(&rule);
        if (own && own->start == day) {
            rule = recurrenceOf(*own, a, start, out);
        } else {
            rule.freq = frequencyOf(kind);
            const QDate last = std::min(a.RecurringEndDate(), Ics::kLastDay);
            rule.until = allDay ? Ics::dateOnly(last) : untilTime(last, start, out);
        }
        icalcomponent_add_property(e, icalproperty_new_rrule(rule));
    }
    if (a.IsReminder() && a.RemindMinutes() > 0) {
        icalcomponent* alarm = icalcomponent_new_valarm();
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(-60 * a.RemindMinutes());
        icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_property(
            alarm,
            icalproperty_new_description(summary.isEmpty() ? "Reminder" : summary.constData()));
        icalcomponent_add_component(e, alarm);
    }
    if (ownZone)
        return {std::move(event),
                untilTime(a.ZoneStart().date(), minuteOf(a.ZoneStart()), *ownZone), ownZone};
    return {std::move(event), allDay ? Ics::dateOnly(day) : untilTime(day, start, out), {}};
}

// The day files of a span as one event: from the first day's start to the last day's end,
// the text without its day mark; its UID the first day's file's, or uid.
Event spanEventOf(const QList<TerminPtr>& days, const QString& dataFolder, const OutputZone& out,
                  const icaltimetype& stamp, const QString& uid = {})
{
    const std::optional<SpanDays::Shape> shape = SpanDays::shapeOf(days);
    // Whole days as dates; timed ones with the end set below, whatever the first day's was.
    ClassTermin whole = shape->appointment;
    if (!whole.isAllDay())
        whole.setEndTime(whole.StartTime());
    Event event = eventOf({std::make_shared<const ClassTermin>(whole), shape->from}, dataFolder,
                          out, stamp, uid);
    // The end on the last day, in the frame the first day's end was written in.
    icalproperty_set_dtend(
        icalcomponent_get_first_property(event.component.get(), ICAL_DTEND_PROPERTY),
        shape->appointment.isAllDay()
            ? Ics::dateOnly(shape->until.addDays(1))
            : outputTime(shape->until, shape->appointment.EndTime().minutes(), out));
    return event;
}

// The files of one series with exceptions (one SeriesId) met in the range: written as one
// event once all are known.
struct SeriesFiles {
    QList<Source> parts;      // recurring
    QList<Source> exceptions; // one-time
};

bool sameContent(const ClassTermin& a, const ClassTermin& b)
{
    return a.StartTime() == b.StartTime() && a.EndTime() == b.EndTime() && a.Text() == b.Text() &&
           a.ColorCode() == b.ColorCode() && a.IsReminder() == b.IsReminder() &&
           a.RemindMinutes() == b.RemindMinutes() &&
           DirectoryOfPath(a.filename()) == DirectoryOfPath(b.filename());
}

// A series' start on day as the file writes it: what EXDATE and RECURRENCE-ID name.
icalproperty* occurrenceProperty(icalproperty* (*make)(icaltimetype), const ClassTermin& a,
                                 const QDate& day, const OutputZone& out)
{
    if (a.isAllDay())
        return make(Ics::dateOnly(day));
    return zoned(
        make(outputTime(day, std::min(a.StartTime().minutes(), TimeOfDay::kEndOfDay - 1), out)),
        out);
}

// The parts of one content and directory as one VEVENT whose rule runs from the first part's
// first day to the last part's last, the days between the parts as EXDATEs, and each
// exception as a VEVENT of the same UID replacing the nearest of those days (RECURRENCE-ID).
// Parts of another content, and exceptions beyond the gaps, go as events of their own.
// oneEvent: every part counts as of the first one's content, and an exception beyond the
// gaps replaces its own day, so nothing goes out as another event.
void writeSeries(const QString& id, SeriesFiles files, const QString& dataFolder,
                 const OutputZone& out, const icaltimetype& stamp,
                 const std::function<void(const Event&, const Source&)>& write,
                 bool oneEvent = false)
{
    if (files.parts.isEmpty()) {
        for (const Source& exception : files.exceptions)
            write(eventOf(exception, dataFolder, out, stamp), exception);
        return;
    }
    std::sort(files.parts.begin(), files.parts.end(), [](const Source& a, const Source& b) {
        return a.appointment->RecurringStartDate() < b.appointment->RecurringStartDate();
    });
    const Source& first = files.parts.front();
    QList<const ClassTermin*> master;
    for (const Source& part : files.parts) {
        if (oneEvent || sameContent(*part.appointment, *first.appointment))
            master.append(part.appointment.get());
        else
            write(eventOf(part, dataFolder, out, stamp), part);
    }
    const QDate last = std::min(master.back()->RecurringEndDate(), Ics::kLastDay);
    Event event = eventOf(first, dataFolder, out, stamp, id);
    icalcomponent* e = event.component.get();
    // The rule runs over the whole span; the days between the parts are its gaps.
    ClassTermin span = *first.appointment;
    span.setRecurringEndDate(last);
    if (icalproperty* rule = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY)) {
        icalrecurrencetype r = icalproperty_get_rrule(rule);
        r.count = 0;
        r.until = span.isAllDay() ? Ics::dateOnly(last)
                                  : untilTime(last, span.StartTime().minutes(), out);
        icalproperty_set_rrule(rule, r);
    }
    QList<QDate> gaps;
    for (qsizetype i = 0; i + 1 < master.size(); ++i) {
        const QDate next = master[i + 1]->RecurringStartDate();
        for (QDate d = SeriesEdit::nextOccurrence(span, master[i]->RecurringEndDate());
             d.isValid() && d < next; d = SeriesEdit::nextOccurrence(span, d))
            gaps.append(d);
    }
    QList<std::pair<QDate, Source>> replacing;
    for (const Source& exception : std::as_const(files.exceptions)) {
        const QDate day = exception.appointment->datum();
        const auto nearest =
            std::min_element(gaps.cbegin(), gaps.cend(), [&day](const QDate& a, const QDate& b) {
                return qAbs(a.daysTo(day)) < qAbs(b.daysTo(day));
            });
        if (nearest == gaps.cend()) {
            if (oneEvent)
                replacing.append({day, exception});
            else
                write(eventOf(exception, dataFolder, out, stamp), exception);
            continue;
        }
        replacing.append({*nearest, exception});
        gaps.removeAt(nearest - gaps.cbegin());
    }
    for (const QDate& gap : std::as_const(gaps))
        icalcomponent_add_property(e, occurrenceProperty(icalproperty_new_exdate, span, gap, out));
    write(event, first);
    for (const auto& [day, exception] : replacing) {
        Event changed = eventOf(exception, dataFolder, out, stamp, id);
        icalcomponent_add_property(
            changed.component.get(),
            occurrenceProperty(icalproperty_new_recurrenceid, span, day, out));
        write(changed, exception);
    }
}

// A series kept by its rule file: one event of its rule from its start, the skipped days no
// exception replaces as EXDATEs, and each exception as a VEVENT of the same UID (the event's it was
// imported from, else the SeriesId) replacing a skipped day (RECURRENCE-ID, see
// OccurrenceSeries::match). An exception without one goes as an event of its own, or (oneEvent)
// replaces its own day.
void writeRuleSeries(const ClassTermin& rule, const QList<Source>& exceptions,
                     const QString& dataFolder, const OutputZone& out, const icaltimetype& stamp,
                     const std::function<void(const Event&, const Source&)>& write,
                     bool oneEvent = false)
{
    const RepeatRule& repeat = *rule.Rule();
    ClassTermin first = rule;
    first.setIsRecurring(false);
    first.setRule(std::nullopt);
    first.setDatum(repeat.start);
    first.setFilename(RuleSeries::occurrencePath(dataFolder, rule.SeriesId(), repeat.start));
    const Source series{std::make_shared<const ClassTermin>(first), repeat.start};
    const QString uid = rule.Uid().isEmpty() ? rule.SeriesId() : rule.Uid();
    Event event = eventOf(series, dataFolder, out, stamp, uid);
    icalcomponent* e = event.component.get();
    const int start = std::min(first.StartTime().minutes(), TimeOfDay::kEndOfDay - 1);
    icalcomponent_add_property(e, icalproperty_new_rrule(recurrenceOf(repeat, first, start, out)));
    QList<QDate> days;
    for (const Source& exception : exceptions)
        days.append(exception.appointment->datum());
    const OccurrenceSeries::Matched matched = OccurrenceSeries::match(rule, days);
    for (const QDate& day : matched.rest)
        icalcomponent_add_property(e, occurrenceProperty(icalproperty_new_exdate, first, day, out));
    write(event, series);
    for (qsizetype i = 0; i < exceptions.size(); ++i) {
        const QDate replaced = matched.replaces[i].isValid() ? matched.replaces[i] : days[i];
        if (!matched.replaces[i].isValid() && !oneEvent) {
            write(eventOf(exceptions[i], dataFolder, out, stamp), exceptions[i]);
            continue;
        }
        Event changed = eventOf(exceptions[i], dataFolder, out, stamp, uid);
        icalcomponent_add_property(
            changed.component.get(),
            occurrenceProperty(icalproperty_new_recurrenceid, first, replaced, out));
        write(changed, exceptions[i]);
    }
}

// The exceptions of a series kept by its rule file on the days its rule file notes, beside
// those already found.
QList<Source> exceptionsOf(DataAccess& store, const ClassTermin& rule, QList<Source> found)
{
    QSet<QString> known;
    for (const Source& exception : found)
        known.insert(exception.appointment->filename());
    for (const QDate& day : rule.SeriesDays()) {
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day)) {
            if (a->IsRecurring() || a->Rule() || a->SeriesId() != rule.SeriesId() ||
                known.contains(a->filename()))
                continue;
            known.insert(a->filename());
            found.append({a, day});
        }
    }
    return found;
}

// The zone's definition from the first exported start on: its whole history would only
// make the file long.
ComponentPtr timeZoneOf(const OutputZone& out, icaltimetype from)
{
    ComponentPtr vtimezone(icalcomponent_new_clone(icaltimezone_get_component(out.zone)));
    icalproperty* tzid = icalcomponent_get_first_property(vtimezone.get(), ICAL_TZID_PROPERTY);
    if (tzid)
        icalproperty_set_tzid(tzid, out.id.constData());
    icaltime_adjust(&from, -1, 0, 0, 0);
    icaltimezone_truncate_vtimezone(vtimezone.get(), from, icaltime_null_time(), 0);
    return vtimezone;
}

// The zones the events name, each defined from its earliest start on.
class NamedZones {
public:
    explicit NamedZones(const OutputZone& team)
        : m_team(team)
    {
    }
    void note(const Event& event)
    {
        const OutputZone& zone = event.ownZone ? *event.ownZone : m_team;
        if (icalcomponent_get_dtstart(event.component.get()).is_date || !zone.named())
            return; // a day names no zone
        auto it = m_zones.find(zone.id);
        if (it == m_zones.end())
            m_zones.insert(zone.id, {zone, event.firstStart});
        else if (icaltime_compare(event.firstStart, it->second) < 0)
            it->second = event.firstStart;
    }
    template <typename Take> void forEach(const Take& take) const
    {
        for (const auto& [zone, from] : m_zones)
            take(timeZoneOf(zone, from));
    }

private:
    OutputZone m_team;
    QMap<QByteArray, std::pair<OutputZone, icaltimetype>> m_zones;
};

// Every appointment shown from `from` to `to`, once, with the first day that shows it. A pass
// lists each directory once but keeps every file it read until it ends, so a long range takes
// a new pass after every kAppointmentsPerPass appointments instead of holding all their files.
void forEachShown(DataAccess& store, const QDate& from, const QDate& to,
                  const std::function<void(const Source&)>& take)
{
    constexpr int kAppointmentsPerPass = 2000;
    // Only a recurring appointment comes again on a later day; a one-time one has its own day.
    QSet<QString> recurringTaken;
    std::optional<DataAccess::Pass> pass;
    int inPass = 0;
    for (QDate day = from; day.isValid() && day <= to; day = day.addDays(1)) {
        if (!pass || inPass >= kAppointmentsPerPass) {
            pass.reset();
            pass.emplace(store);
            inPass = 0;
        }
        const QList<TerminPtr> shown = store.GetAppointmentsOfDay(day);
        inPass += int(shown.size());
        for (const TerminPtr& a : shown) {
            if (!DataAccess::DayOfOneTimeFile(a->filename()).isValid()) {
                if (recurringTaken.contains(a->filename()))
                    continue;
                recurringTaken.insert(a->filename());
            }
            take({a, day});
        }
    }
}

void appendText(QByteArray& bytes, icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    bytes.append(text);
    icalmemory_free_buffer(text);
}

icaltimetype stampOf(const QDateTime& stamp)
{
    const QDateTime now = stamp.isValid() ? stamp : QDateTime::currentDateTimeUtc();
    return icaltime_from_timet_with_zone(time_t(now.toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

} // namespace

namespace {

// A calendar of one event and the zones it names: a zone's definition no event uses is what
// some servers refuse.
QByteArray calendarOf(Event event, const OutputZone& out)
{
    ComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kProductId));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    NamedZones zones(out);
    zones.note(event);
    zones.forEach(
        [&](ComponentPtr zone) { icalcomponent_add_component(calendar.get(), zone.release()); });
    icalcomponent_add_component(calendar.get(), event.component.release());
    QByteArray bytes;
    appendText(bytes, calendar.get());
    return bytes;
}

} // namespace

QByteArray ExportAppointment(const TerminPtr& appointment, const QDate& shownOn, const QString& uid,
                             const IcsExportOptions& options)
{
    Ics::prepareLibrary();
    const Ics::CalendarZone calendarZone(options.timeZoneId);
    const OutputZone out = outputZone(options.timeZoneId);
    return calendarOf(eventOf({appointment, shownOn}, {}, out, stampOf(options.stamp), uid), out);
}

QByteArray ExportSpan(const QList<TerminPtr>& days, const QString& uid,
                      const IcsExportOptions& options)
{
    Ics::prepareLibrary();
    const Ics::CalendarZone calendarZone(options.timeZoneId);
    const OutputZone out = outputZone(options.timeZoneId);
    return calendarOf(spanEventOf(days, {}, out, stampOf(options.stamp), uid), out);
}

QByteArray ExportSeries(const QList<TerminPtr>& files, const QString& uid,
                        const IcsExportOptions& options)
{
    Ics::prepareLibrary();
    const Ics::CalendarZone calendarZone(options.timeZoneId);
    const OutputZone out = outputZone(options.timeZoneId);
    SeriesFiles series;
    std::optional<ClassTermin> rule;
    for (const TerminPtr& a : files) {
        if (RuleSeries::isKeptFile(*a))
            continue; // its rule file stands for it
        if (RuleSeries::keptByRuleFile(*a)) {
            rule = *a;
        } else if (a->IsRecurring()) {
            const QDate first = SeriesEdit::nextOccurrence(*a, a->RecurringStartDate().addDays(-1));
            series.parts.append({a, first.isValid() ? first : a->RecurringStartDate()});
        } else {
            series.exceptions.append({a, a->datum()});
        }
    }
    ComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kProductId));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    NamedZones zones(out);
    std::vector<ComponentPtr> events;
    const auto write = [&](const Event& event, const Source&) {
        zones.note(event);
        events.emplace_back(icalcomponent_new_clone(event.component.get()));
    };
    if (rule) {
        rule->setUid(uid);
        writeRuleSeries(*rule, series.exceptions, {}, out, stampOf(options.stamp), write, true);
    } else {
        writeSeries(uid, series, {}, out, stampOf(options.stamp), write, true);
    }
    zones.forEach(
        [&](ComponentPtr zone) { icalcomponent_add_component(calendar.get(), zone.release()); });
    for (ComponentPtr& event : events)
        icalcomponent_add_component(calendar.get(), event.release());
    QByteArray bytes;
    appendText(bytes, calendar.get());
    return bytes;
}

QByteArray ExportIcs(DataAccess& store, const QDate& from, const QDate& to,
                     const QString& dataFolder, const IcsExportOptions& options, int* eventCount)
{
    Ics::prepareLibrary();
    const Ics::CalendarZone calendarZone(options.timeZoneId);
    const OutputZone out = outputZone(options.timeZoneId);
    const icaltimetype stamp = stampOf(options.stamp);

    // The calendar without components, cut before its end: each event is written as text as
    // soon as it is read, never a tree of all of them beside the file's bytes.
    QByteArray bytes;
    {
        ComponentPtr calendar(icalcomponent_new_vcalendar());
        icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kProductId));
        icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
        icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
        appendText(bytes, calendar.get());
    }
    const QByteArray end = "END:VCALENDAR\r\n";
    Q_ASSERT(bytes.endsWith(end));
    bytes.chop(end.size());
    const qsizetype zoneAt = bytes.size();

    int count = 0;
    NamedZones zones(out);
    const auto write = [&](const Event& event, const Source&) {
        appendText(bytes, event.component.get());
        zones.note(event);
        ++count;
    };
    // A series of several files is one event with its exceptions: written once all are met.
    QMap<QString, SeriesFiles> series;
    QMap<QString, QList<Source>> occurrences; // of series kept by their rule files, by SeriesId
    QMap<QString, TerminPtr> spans;           // a day of each span, by SpanId
    forEachShown(store, from, to, [&](const Source& source) {
        const ClassTermin& a = *source.appointment;
        if (a.isSpanDay() && a.SeriesId().isEmpty() && !a.IsRecurring()) {
            spans.insert(a.SpanId(), source.appointment);
            return;
        }
        if (RuleSeries::isKeptFile(a)) {
            occurrences[a.SeriesId()].append(source);
            return;
        }
        if (!a.SeriesId().isEmpty()) {
            SeriesFiles& files = series[a.SeriesId()];
            (a.IsRecurring() ? files.parts : files.exceptions).append(source);
            return;
        }
        write(eventOf(source, dataFolder, out, stamp), source);
    });
    // A series kept by its rule file is its rule file's one event, however few of its files the
    // range shows; without a readable rule file its occurrences go as they are.
    QStringList ruleIds = occurrences.keys();
    for (auto it = series.cbegin(); it != series.cend(); ++it) {
        if (it->parts.isEmpty() && !occurrences.contains(it.key()))
            ruleIds.append(it.key());
    }
    for (const QString& id : std::as_const(ruleIds)) {
        const std::optional<ClassTermin> rule = RuleSeriesFiling::ruleOf(store, id);
        if (!rule) {
            for (const Source& occurrence : occurrences.value(id))
                write(eventOf(occurrence, dataFolder, out, stamp), occurrence);
            continue;
        }
        writeRuleSeries(*rule, exceptionsOf(store, *rule, series.take(id).exceptions), dataFolder,
                        out, stamp, write);
    }
    for (auto it = series.cbegin(); it != series.cend(); ++it)
        writeSeries(it.key(), it.value(), dataFolder, out, stamp, write);
    // A span is one event of all its days, also those outside the range.
    for (const TerminPtr& day : std::as_const(spans)) {
        const QList<TerminPtr> days = SpanFiling::filesOf(store, day);
        write(spanEventOf(days, dataFolder, out, stamp), {days.front(), days.front()->datum()});
    }
    // The zones' definitions come before the events; known once the earliest starts are.
    QByteArray zoneText;
    zones.forEach([&](const ComponentPtr& zone) { appendText(zoneText, zone.get()); });
    bytes.insert(zoneAt, zoneText);
    bytes.append(end);
    if (eventCount)
        *eventCount = count;
    return bytes;
}
