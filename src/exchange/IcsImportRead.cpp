#include "exchange/IcsImport.h"

#include "exchange/IcsImportSupport.h"
#include "store/AppointmentFile.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace Ics {

namespace {

// The zone a TZID names: the file's own VTIMEZONE, else the system's zone of that name.
const icaltimezone* zoneNamed(const char* tzid, icalcomponent* calendar)
{
    if (!tzid || !*tzid)
        return nullptr;
    if (icaltimezone* zone = icalcomponent_get_timezone(calendar, tzid))
        return zone;
    return systemZoneNamed(tzid);
}

} // namespace

// ---- properties ----

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
    const std::vector<icalproperty*> errors = propertiesOf(event, ICAL_XLICERROR_PROPERTY);
    if (errors.empty())
        return false;
    const QRegularExpression name(QStringLiteral("\\b%1\\b").arg(QLatin1String(property)));
    for (icalproperty* p : errors) {
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
    return t.zone ? Ics::instantOf(t, t.zone) : Ics::wallSeconds(t);
}

icaltimetype inFrameOf(icaltimetype t, const icaltimetype& start)
{
    if (t.is_date || start.is_date)
        return t;
    if (!t.zone) {
        t.zone = start.zone;
        return t;
    }
    if (t.zone == start.zone)
        return t;
    return Ics::wallTimeAt(Ics::instantOf(t, t.zone), start.zone);
}

// ---- one event ----

namespace {

// A text as it enters the import: at most as many bytes of UTF-8 as an appointment's text,
// cut between two characters.
QString cappedText(const char* utf8, bool* cut)
{
    if (!utf8)
        return {};
    qsizetype length = qsizetype(std::strlen(utf8));
    if (length > ClassTermin::kMaxTextBytes) {
        length = ClassTermin::kMaxTextBytes;
        while (length > 0 && (uchar(utf8[length]) & 0xC0) == 0x80)
            --length;
        *cut = true;
    }
    return QString::fromUtf8(utf8, length);
}

} // namespace

QString textOf(icalcomponent* e, bool* cut)
{
    auto lines = [](QString s) {
        return s.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(u'\r', u'\n')
            .replace(u'\n', QLatin1String("\r\n"));
    };
    bool anyCut = false;
    const QString summary = lines(cappedText(icalcomponent_get_summary(e), &anyCut));
    const QString description = lines(cappedText(icalcomponent_get_description(e), &anyCut));
    // Some writers, our own export once among them, repeat the summary as the description's
    // first line: it is the title once, not twice. libical drops the blanks a value ends in,
    // so both are compared without them.
    const auto withoutTrailingBlanks = [](QString line) {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        return line;
    };
    QString text;
    if (description.isEmpty() ||
        withoutTrailingBlanks(description.section(QLatin1String("\r\n"), 0, 0)) ==
            withoutTrailingBlanks(summary))
        text = description.isEmpty() ? summary : description;
    else
        text = summary.isEmpty() ? description : summary + QLatin1String("\r\n") + description;
    // Both together are no longer than an appointment's text may be.
    bool textCut = false;
    text = ClassTermin::cappedText(text, &textCut);
    if (cut)
        *cut = anyCut || textCut;
    return text;
}

QString locationOf(icalcomponent* e)
{
    bool cut = false;
    return AppointmentFile::locationOf(cappedText(icalcomponent_get_location(e), &cut));
}

QString nameOf(icalcomponent* e, int number, int line)
{
    // The summary names the event in a message: its first line, and not all of a long one.
    constexpr int kLongestName = 100;
    bool cut = false;
    QString summary = cappedText(icalcomponent_get_summary(e), &cut).section(u'\n', 0, 0).trimmed();
    if (summary.isEmpty())
        summary = cappedText(icalcomponent_get_uid(e), &cut).trimmed();
    if (summary.isEmpty())
        return line > 0 ? IcsImport::tr("event at line %1").arg(line)
                        : IcsImport::tr("event %1").arg(number);
    return summary.size() > kLongestName ? summary.left(kLongestName) + QStringLiteral("...")
                                         : summary;
}

bool isPrivateEvent(icalcomponent* e)
{
    icalproperty* property = icalcomponent_get_first_property(e, ICAL_CLASS_PROPERTY);
    if (!property)
        return false;
    const icalproperty_class value = icalproperty_get_class(property);
    return value == ICAL_CLASS_PRIVATE || value == ICAL_CLASS_CONFIDENTIAL;
}

QString uidOf(icalcomponent* e)
{
    // Each appointment file repeats it: a very long one is kept as its hash.
    constexpr qsizetype kLongestUid = 256;
    const char* uid = icalcomponent_get_uid(e);
    if (!uid)
        return {};
    const QByteArray bytes(uid);
    if (bytes.size() <= kLongestUid)
        return QString::fromUtf8(bytes);
    return QStringLiteral("sha256:") +
           QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
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
        // An alarm at the start itself (a day's at its midnight) rings a minute before it: a
        // reminder needs a lead time.
        if (before >= 0)
            return int(std::clamp<qint64>(before / 60, 1, 32767));
    }
    return 0;
}

} // namespace Ics

IcsCheck CheckIcs(const QByteArray& file)
{
    const Ics::Split found = Ics::split(Ics::readable(file));
    IcsCheck check;
    check.ok = found.error.isEmpty();
    check.error = found.error;
    check.events = check.ok ? int(found.events.size()) : 0;
    return check;
}

std::optional<QByteArray> ReadIcsFile(FileAccess& files, const QString& path, QString* error)
{
    return ReadWholeFile(files, path, kMaxIcsBytes, error);
}
