#include "IcsImport.h"

#include "ApiLoginName.h"
#include "AppointmentFiling.h"
#include "ClassTermin.h"
#include "Common.h"
#include "DataAccess.h"
#include "IcsSupport.h"
#include "Settings.h"

#include <QDir>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>

#include <cstring>
#include <optional>
#include <tuple>
#include <vector>

namespace {

// The context of the texts in the translation file.
struct IcsImport {
    Q_DECLARE_TR_FUNCTIONS(IcsImport)
};

using Ics::ComponentPtr;
using Ics::IteratorPtr;

// All expansions of one file together never write more appointments than this.
constexpr int kMaxAppointments = 200000;
// A rule that yields nothing for this long (SECONDLY since 1800) is given up.
constexpr int kMaxSteps = 2000000;
// How far a series in another zone is checked for keeping its local hour.
constexpr int kClockChecks = 800;
// An all-day event becomes a morning appointment, as imported holidays are.
constexpr int kAllDayStart = 8 * 60;
constexpr int kAllDayEnd = 12 * 60;

// ---- reading the file ----

struct Parsed {
    std::vector<ComponentPtr> calendars;
    QString error;
};

struct LineSource {
    const char* next;
    const char* end;
};

// Hands libical the file line by line, NUL bytes and all.
char* nextLine(char* out, size_t size, void* data)
{
    auto* source = static_cast<LineSource*>(data);
    if (source->next >= source->end || size < 2)
        return nullptr;
    size_t n = 0;
    while (source->next + n < source->end && n + 1 < size) {
        if (source->next[n++] == '\n')
            break;
    }
    std::memcpy(out, source->next, n);
    out[n] = '\0';
    source->next += n;
    return out;
}

Parsed parse(const QByteArray& bytes)
{
    Parsed parsed;
    qsizetype begin = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (begin < bytes.size() && QChar::isSpace(uchar(bytes[begin])))
        ++begin;
    if (begin >= bytes.size()) {
        parsed.error = IcsImport::tr("The file is empty.");
        return parsed;
    }
    const QByteArray head = bytes.mid(begin, 15).toUpper();
    if (head != "BEGIN:VCALENDAR") {
        parsed.error = IcsImport::tr("The file is not an iCalendar file.");
        return parsed;
    }
    LineSource source{bytes.constData() + begin, bytes.constData() + bytes.size()};
    icalparser* parser = icalparser_new();
    icalparser_set_gen_data(parser, &source);
    ComponentPtr root(icalparser_parse(parser, nextLine));
    // A file cut short still holds the events before the cut. The parser keeps what it
    // hands out here and frees it with itself.
    if (!root) {
        if (icalcomponent* partial = icalparser_clean(parser))
            root.reset(icalcomponent_new_clone(partial));
    }
    icalparser_free(parser);

    if (root && icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
        parsed.calendars.push_back(std::move(root));
    } else if (root && icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
        // Several calendars in one file: each on its own, so its TZIDs find its VTIMEZONEs.
        std::vector<icalcomponent*> children;
        for (icalcomponent* c =
                 icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             c; c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT))
            children.push_back(c);
        for (icalcomponent* c : children) {
            icalcomponent_remove_component(root.get(), c);
            parsed.calendars.emplace_back(c);
        }
    }
    if (parsed.calendars.empty())
        parsed.error = IcsImport::tr("The file cannot be read as an iCalendar file.");
    return parsed;
}

struct Source {
    icalcomponent* calendar;
    icalcomponent* event;
    int number; // 1 for the first event of the file
};

std::vector<Source> eventsOf(const Parsed& parsed)
{
    std::vector<Source> events;
    for (const ComponentPtr& calendar : parsed.calendars) {
        for (icalcomponent* e =
                 icalcomponent_get_first_component(calendar.get(), ICAL_VEVENT_COMPONENT);
             e; e = icalcomponent_get_next_component(calendar.get(), ICAL_VEVENT_COMPONENT))
            events.push_back({calendar.get(), e, int(events.size()) + 1});
    }
    return events;
}

std::vector<icalproperty*> propertiesOf(icalcomponent* component, icalproperty_kind kind)
{
    std::vector<icalproperty*> found;
    for (icalproperty* p = icalcomponent_get_first_property(component, kind); p;
         p = icalcomponent_get_next_property(component, kind))
        found.push_back(p);
    return found;
}

// libical drops a value it cannot read and leaves an X-LIC-ERROR naming the property.
bool hasErrorIn(icalcomponent* event, const char* property)
{
    const QRegularExpression name(QStringLiteral("\\b%1\\b").arg(QLatin1String(property)));
    for (icalproperty* p : propertiesOf(event, ICAL_XLICERROR_PROPERTY)) {
        if (name.match(Ics::text(icalproperty_get_xlicerror(p))).hasMatch())
            return true;
    }
    return false;
}

// ---- times ----

// The zone a TZID names: the file's own VTIMEZONE, else libical's zone of that name (IANA,
// libical's own prefix, or a Windows name as some programs write without a VTIMEZONE).
const icaltimezone* zoneNamed(const char* tzid, icalcomponent* calendar)
{
    if (!tzid || !*tzid)
        return nullptr;
    if (icaltimezone* zone = icalcomponent_get_timezone(calendar, tzid))
        return zone;
    if (icaltimezone* zone = icaltimezone_get_builtin_timezone(tzid))
        return zone;
    if (icaltimezone* zone = icaltimezone_get_builtin_timezone_from_tzid(tzid))
        return zone;
    const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(QByteArray(tzid));
    return iana.isEmpty() ? nullptr : icaltimezone_get_builtin_timezone(iana.constData());
}

// A property's time with its zone: UTC, the zone of its TZID, or none (floating, or a zone
// nobody knows, which is read as local time).
icaltimetype momentOf(icalproperty* property, icalcomponent* calendar, icaltimetype value)
{
    if (value.is_date || icaltime_is_utc(value))
        return value;
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    value.zone = tzid ? zoneNamed(icalparameter_get_tzid(tzid), calendar) : nullptr;
    return value;
}

qint64 naiveSeconds(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
}

// Seconds on a scale where two times compare as the file means them: real seconds for zoned
// times, wall-clock seconds for floating ones.
qint64 secondsOf(const icaltimetype& t)
{
    if (t.zone)
        return qint64(icaltime_as_timet_with_zone(t, const_cast<icaltimezone*>(t.zone)));
    return naiveSeconds(Ics::dateOf(t), QTime(t.hour, t.minute, t.second));
}

bool wallBefore(const icaltimetype& a, const icaltimetype& b)
{
    return std::tuple(a.hour, a.minute, a.second) < std::tuple(b.hour, b.minute, b.second);
}

// ---- one event ----

struct Event {
    QString name;
    icaltimetype start; // its zone attached
    bool allDay = false;
    qint64 duration = 0; // seconds, never negative
    QString text;
    int remindMinutes = 0;
};

QString textOf(icalcomponent* e)
{
    auto lines = [](QString s) {
        return s.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(u'\r', u'\n')
            .replace(u'\n', QLatin1String("\r\n"));
    };
    const QString summary = lines(Ics::text(icalcomponent_get_summary(e)));
    const QString description = lines(Ics::text(icalcomponent_get_description(e)));
    // Our own export writes the whole text as the description, its first line as summary.
    if (description.isEmpty() || description == summary ||
        description.startsWith(summary + QLatin1String("\r\n")))
        return description.isEmpty() ? summary : description;
    return summary.isEmpty() ? description : summary + QLatin1String("\r\n") + description;
}

QString nameOf(icalcomponent* e, int number)
{
    const QString summary = Ics::text(icalcomponent_get_summary(e)).section(u'\n', 0, 0).trimmed();
    if (!summary.isEmpty())
        return summary;
    const QString uid = Ics::text(icalcomponent_get_uid(e));
    return uid.isEmpty() ? IcsImport::tr("event %1").arg(number) : uid;
}

qint64 durationOf(const Source& s, const icaltimetype& start)
{
    qint64 seconds = 0;
    if (icalproperty* end = icalcomponent_get_first_property(s.event, ICAL_DTEND_PROPERTY)) {
        const icaltimetype t = momentOf(end, s.calendar, icalproperty_get_dtend(end));
        if (!icaltime_is_null_time(t))
            seconds = secondsOf(t) - secondsOf(start);
    } else if (icalproperty* d =
                   icalcomponent_get_first_property(s.event, ICAL_DURATION_PROPERTY)) {
        seconds = icaldurationtype_as_int(icalproperty_get_duration(d));
    }
    return std::max<qint64>(0, seconds);
}

// Minutes before the appointment's start of the first alarm that rings before it; 0 for none.
int remindMinutesOf(const Source& s, const icaltimetype& start, qint64 duration)
{
    // An all-day event starts at midnight; its appointment in the morning.
    const qint64 lateStart = start.is_date ? kAllDayStart * 60 : 0;
    for (icalcomponent* alarm = icalcomponent_get_first_component(s.event, ICAL_VALARM_COMPONENT);
         alarm; alarm = icalcomponent_get_next_component(s.event, ICAL_VALARM_COMPONENT)) {
        icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (!p)
            continue;
        const icaltriggertype trigger = icalproperty_get_trigger(p);
        qint64 before = 0;
        if (!icaltime_is_null_time(trigger.time)) {
            before = Ics::toLocal(start).toSecsSinceEpoch() -
                     Ics::toLocal(trigger.time).toSecsSinceEpoch();
        } else {
            qint64 offset = icaldurationtype_as_int(trigger.duration);
            icalparameter* related = icalproperty_get_first_parameter(p, ICAL_RELATED_PARAMETER);
            if (related && icalparameter_get_related(related) == ICAL_RELATED_END)
                offset += duration;
            before = -offset;
        }
        before += lateStart;
        if (before > 0)
            return int(std::clamp<qint64>(before / 60, 1, 32767));
    }
    return 0;
}

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

// ---- rules ----

bool unset(const short* values)
{
    return values[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

// Unset, or one value equal to `own`: no restriction beyond what the start implies.
bool onlyOwn(const short* values, int own)
{
    return unset(values) || (values[0] == own && values[1] == ICAL_RECURRENCE_ARRAY_MAX);
}

// The recurrence kind that shows exactly the occurrences of the rule, if there is one.
std::optional<Recurrence::Kind> exactKind(const icalrecurrencetype& r, const icaltimetype& start)
{
    if (r.count > 0 || r.interval > 1 || r.rscale || !unset(r.by_second) || !unset(r.by_minute) ||
        !unset(r.by_hour) || !unset(r.by_year_day) || !unset(r.by_week_no) || !unset(r.by_set_pos))
        return std::nullopt;
    const QDate day = Ics::dateOf(start);
    switch (r.freq) {
    case ICAL_DAILY_RECURRENCE:
        if (unset(r.by_day) && unset(r.by_month_day) && unset(r.by_month))
            return Recurrence::Kind::Daily;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        if (unset(r.by_month_day) && unset(r.by_month) &&
            (unset(r.by_day) ||
             (r.by_day[1] == ICAL_RECURRENCE_ARRAY_MAX &&
              icalrecurrencetype_day_position(r.by_day[0]) == 0 &&
              int(icalrecurrencetype_day_day_of_week(r.by_day[0])) == Weekday(day))))
            return Recurrence::Kind::Weekly;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        if (unset(r.by_day) && unset(r.by_month) && onlyOwn(r.by_month_day, day.day()))
            return Recurrence::Kind::Monthly;
        break;
    case ICAL_YEARLY_RECURRENCE:
        // BYMONTHDAY without BYMONTH means that day of every month.
        if (unset(r.by_day) && onlyOwn(r.by_month, day.month()) &&
            onlyOwn(r.by_month_day, day.day()) && (unset(r.by_month_day) || !unset(r.by_month)))
            return Recurrence::Kind::Yearly;
        break;
    default:
        break;
    }
    return std::nullopt;
}

// A recurring appointment keeps one local hour: true when every occurrence of the first two
// years lies at the same local time (and day shift) as the first, as in the local zone or a
// zone with the same daylight saving rules.
bool keepsLocalClock(const icalrecurrencetype& r, const icaltimetype& start)
{
    if (start.is_date || !start.zone)
        return true;
    IteratorPtr it(icalrecur_iterator_new(r, start));
    if (!it)
        return false;
    const QDateTime first = Ics::toLocal(start);
    const qint64 shift = Ics::dateOf(start).daysTo(first.date());
    const QDate horizon = Ics::dateOf(start).addYears(2);
    for (int i = 0; i < kClockChecks; ++i) {
        icaltimetype t = icalrecur_iterator_next(it.get());
        if (icaltime_is_null_time(t) || Ics::dateOf(t) > horizon)
            break;
        t.zone = start.zone;
        const QDateTime local = Ics::toLocal(t);
        if (local.time() != first.time() || Ics::dateOf(t).daysTo(local.date()) != shift)
            return false;
    }
    return true;
}

// The last day of the series in the start's own calendar; kLastDay without UNTIL.
QDate lastDayOf(const icalrecurrencetype& r, const icaltimetype& start)
{
    if (icaltime_is_null_time(r.until))
        return Ics::kLastDay;
    icaltimetype until = r.until;
    if (until.is_date || start.is_date)
        return Ics::dateOf(until);
    if (start.zone && until.zone && until.zone != start.zone) {
        icaltimezone_convert_time(&until, const_cast<icaltimezone*>(until.zone),
                                  const_cast<icaltimezone*>(start.zone));
    } else if (!start.zone && until.zone) {
        const QDateTime local = Ics::toLocal(until);
        until =
            Ics::wallTime(local.date(), local.time().hour() * 60 + local.time().minute(), nullptr);
        until.second = local.time().second();
    }
    const QDate day = Ics::dateOf(until);
    return wallBefore(until, start) ? day.addDays(-1) : day;
}

// Exceptions of a series: EXDATEs and occurrences another VEVENT replaces (RECURRENCE-ID).
struct Exclusions {
    QSet<qint64> instants; // on the scale of secondsOf, in the event's zone
    QSet<QDate> dates;     // DATE values, or any value of an all-day event
    bool any() const { return !instants.isEmpty() || !dates.isEmpty(); }
};

void exclude(Exclusions& ex, icaltimetype t, const icaltimetype& start)
{
    if (icaltime_is_null_time(t))
        return;
    if (t.is_date || start.is_date) {
        ex.dates.insert(Ics::dateOf(t));
        return;
    }
    if (!t.zone) {
        t.zone = start.zone; // a floating exception means the event's own zone
    } else if (!start.zone) {
        const QDateTime local = Ics::toLocal(t);
        ex.instants.insert(naiveSeconds(local.date(), local.time()));
        return;
    }
    ex.instants.insert(secondsOf(t));
}

bool excluded(const Exclusions& ex, const icaltimetype& t)
{
    return ex.dates.contains(Ics::dateOf(t)) || (!t.is_date && ex.instants.contains(secondsOf(t)));
}

struct Occurrences {
    QList<icaltimetype> times;
    bool shortened = false;
};

// Every occurrence of the rules and RDATEs up to `limit` (a local date), without the
// exclusions and without repeats; nullopt when a rule cannot be followed.
std::optional<Occurrences> occurrencesOf(const Event& e, const QList<icalrecurrencetype>& rules,
                                         const QList<icaltimetype>& extra, const Exclusions& ex,
                                         const QDate& limit, int room)
{
    Occurrences found;
    QSet<qint64> seen;
    enum class Step { Next, Stop };
    auto take = [&](icaltimetype t) {
        if (!t.is_date)
            t.zone = e.start.zone;
        const QDate day = t.zone ? Ics::toLocal(t).date() : Ics::dateOf(t);
        if (day > limit)
            return Step::Stop;
        if (day < Ics::kFirstDay || excluded(ex, t))
            return Step::Next;
        const qint64 key = t.is_date ? Ics::dateOf(t).toJulianDay() : secondsOf(t);
        if (seen.contains(key))
            return Step::Next;
        seen.insert(key);
        found.times.append(t);
        if (found.times.size() >= std::min(kMaxOccurrences, room)) {
            found.shortened = true;
            return Step::Stop;
        }
        return Step::Next;
    };

    if (rules.isEmpty())
        take(e.start);
    for (const icalrecurrencetype& rule : rules) {
        IteratorPtr it(icalrecur_iterator_new(rule, e.start));
        if (!it)
            return std::nullopt;
        // Nothing before 1900 is kept: a series from long ago starts there.
        if (Ics::dateOf(e.start) < Ics::kFirstDay && rule.count == 0) {
            icaltimetype from = e.start;
            from.year = Ics::kFirstDay.year();
            from.month = from.day = 1;
            icalrecur_iterator_set_start(it.get(), from);
        }
        for (int step = 0; !found.shortened; ++step) {
            const icaltimetype t = icalrecur_iterator_next(it.get());
            if (icaltime_is_null_time(t))
                break;
            if (step >= kMaxSteps) {
                found.shortened = true;
                break;
            }
            if (take(t) == Step::Stop)
                break;
        }
    }
    for (const icaltimetype& t : extra) {
        if (found.shortened)
            break;
        take(t);
    }
    return found;
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

IcsCheck CheckIcs(const QByteArray& ics)
{
    Ics::prepareLibrary();
    const Parsed parsed = parse(ics);
    IcsCheck check;
    check.ok = parsed.error.isEmpty();
    check.error = parsed.error;
    check.events = int(eventsOf(parsed).size());
    return check;
}

IcsImportResult ImportIcs(const QByteArray& ics, DataAccess& store, const QString& dataFolder,
                          int colorCode, const IcsImportProgress& progress,
                          const IcsImportOptions& options)
{
    Ics::prepareLibrary();
    IcsImportResult result;
    const Parsed parsed = parse(ics);
    if (!parsed.error.isEmpty()) {
        result.error = parsed.error;
        return result;
    }
    result.ok = true;

    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    const NewAppointments target{colorCode,
                                 options.producer.isEmpty() ? GetLoginName() : options.producer,
                                 std::min(today.addYears(2), Ics::kLastDay)};
    const std::vector<Source> events = eventsOf(parsed);
    result.events = int(events.size());
    Planner planner(result, target);
    planner.noteReplacements(events);
    for (const Source& s : events)
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

std::optional<QByteArray> ReadIcsFile(FileAccess& files, const QString& path, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    // One byte more than allowed tells a file that is too large from one that just fits.
    const ReadOutcome outcome = files.read(path, kMaxIcsBytes + 1, QString());
    switch (outcome.status) {
    case ReadOutcome::Read:
        break;
    case ReadOutcome::NotRegular:
        return fail(IcsImport::tr("It is not a regular file."));
    case ReadOutcome::Missing:
    case ReadOutcome::Failed:
        return fail(outcome.error.isEmpty() ? IcsImport::tr("It cannot be read.") : outcome.error);
    }
    if (outcome.bytes.size() > kMaxIcsBytes)
        return fail(IcsImport::tr("It is larger than %1 MiB.").arg(kMaxIcsBytes / (1024 * 1024)));
    return outcome.bytes;
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
