#include "IcsImport.h"

#include "IcsImportSupport.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>
#include <cstring>

namespace Ics {

namespace {

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

} // namespace

// ---- reading the file ----

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

qint64 secondsOf(const icaltimetype& t)
{
    if (t.zone)
        return qint64(icaltime_as_timet_with_zone(t, const_cast<icaltimezone*>(t.zone)));
    return naiveSeconds(Ics::dateOf(t), QTime(t.hour, t.minute, t.second));
}

// ---- one event ----

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

} // namespace Ics

IcsCheck CheckIcs(const QByteArray& ics)
{
    Ics::prepareLibrary();
    const Ics::Parsed parsed = Ics::parse(ics);
    IcsCheck check;
    check.ok = parsed.error.isEmpty();
    check.error = parsed.error;
    check.events = int(Ics::eventsOf(parsed).size());
    return check;
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
