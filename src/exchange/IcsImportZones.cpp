#include "exchange/IcsImportSupport.h"

#include <QTimeZone>

#include <algorithm>
#include <limits>
#include <optional>

namespace Ics {

namespace {

const icaltimezone* builtin(const QByteArray& name)
{
    if (name.isEmpty())
        return nullptr;
    if (icaltimezone* zone = icaltimezone_get_builtin_timezone(name.constData()))
        return zone;
    return icaltimezone_get_builtin_timezone_from_tzid(name.constData());
}

// The years a zone's changes are worked out for; its rules are bounded to them.
constexpr int kLastZoneYear = 2300;

bool isObservance(icalcomponent* c)
{
    const icalcomponent_kind kind = icalcomponent_isa(c);
    return kind == ICAL_XSTANDARD_COMPONENT || kind == ICAL_XDAYLIGHT_COMPONENT;
}

// A rule as the import hands it to libical: ending by kLastZoneYear at the latest, and by
// UNTIL rather than COUNT, so that finding its changes never steps past those years.
struct FollowedRule {
    icalrecurrencetype rule;
    qint64 changes = 0;
};

// The changes of offset libical works out for the rule of an observance starting at start (a
// wall clock), at most `most`; nullopt when that is more, or when libical would step through
// more periods than it may before the rule ends or the years end (a minutely rule without end),
// or cannot follow the rule at all.
std::optional<FollowedRule> follow(icalrecurrencetype r, icaltimetype start, qint64 most)
{
    start.zone = nullptr;
    icaltimetype yearsEnd = icaltime_null_time();
    yearsEnd.year = kLastZoneYear;
    yearsEnd.month = 12;
    yearsEnd.day = 31;
    yearsEnd.hour = 23;
    yearsEnd.minute = yearsEnd.second = 59;
    const qint64 stepsEnd = Ics::wallSeconds(start) + steppingSpan(r);
    const qint64 last = std::min(Ics::wallSeconds(yearsEnd), stepsEnd);
    if (r.rscale && qstricmp(r.rscale, "GREGORIAN") != 0)
        return std::nullopt; // no calendar libical follows alike everywhere
    icaltimetype until = r.until;
    until.zone = nullptr; // a UTC UNTIL is near enough the wall clock to count
    if (until.is_date) {  // all of that day
        until.is_date = 0;
        until.hour = 23;
        until.minute = until.second = 59;
    }
    const bool ownEnd = !icaltime_is_null_time(until) && Ics::wallSeconds(until) <= last;
    icalrecurrencetype bounded = r;
    bounded.rscale = nullptr; // owned by the property's value, which the bounded rule replaces
    bounded.count = 0;
    bounded.until = ownEnd ? until : Ics::wallTimeAt(last, icaltimezone_get_utc_timezone());
    bounded.until.zone = nullptr;
    bounded.until.is_date = 0;
    IteratorPtr it(icalrecur_iterator_new(bounded, start));
    if (!it)
        return std::nullopt;
    FollowedRule followed{bounded};
    icaltimetype latest = icaltime_null_time();
    for (icaltimetype t = icalrecur_iterator_next(it.get()); !icaltime_is_null_time(t);
         t = icalrecur_iterator_next(it.get())) {
        if (++followed.changes > most)
            return std::nullopt;
        latest = t;
        if (r.count > 0 && followed.changes == r.count)
            break;
    }
    const bool counted = r.count > 0 && followed.changes == r.count;
    if (counted)
        followed.rule.until = latest;
    if (!ownEnd && !counted && last < Ics::wallSeconds(yearsEnd))
        return std::nullopt;
    return followed;
}

// Bounds each rule of the zone's observances (see follow()); the changes they make, or -1 when
// a rule cannot be worked out within `most`.
qint64 boundRules(icalcomponent* zone, qint64 most)
{
    qint64 changes = 0;
    for (icalcomponent* o = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); o;
         o = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        if (!isObservance(o))
            continue;
        changes += qint64(propertiesOf(o, ICAL_RDATE_PROPERTY).size());
        const icaltimetype start = icalcomponent_get_dtstart(o);
        const std::vector<icalproperty*> rules = propertiesOf(o, ICAL_RRULE_PROPERTY);
        if (rules.empty())
            continue;
        if (icaltime_is_null_time(start))
            return -1;
        for (icalproperty* p : rules) {
            const std::optional<FollowedRule> followed =
                follow(icalproperty_get_rrule(p), start, most - changes);
            if (!followed)
                return -1;
            icalproperty_set_rrule(p, followed->rule);
            changes += followed->changes;
        }
        if (changes > most)
            return -1;
    }
    return changes;
}

// Where a file's VTIMEZONE has offsets of its own: from its first change to the end of the
// year of its last one. Its rules are bounded already, each ending by UNTIL.
struct Described {
    qint64 from = std::numeric_limits<qint64>::max();
    int lastYear = std::numeric_limits<int>::min();
};

void describe(icalcomponent* observance, Described& d)
{
    const icaltimetype start = icalcomponent_get_dtstart(observance);
    if (icaltime_is_null_time(start))
        return;
    int offsetFrom = 0;
    if (icalproperty* p = icalcomponent_get_first_property(observance, ICAL_TZOFFSETFROM_PROPERTY))
        offsetFrom = icalproperty_get_tzoffsetfrom(p);
    d.from = std::min(d.from, Ics::wallSeconds(start) - offsetFrom);
    d.lastYear = std::max(d.lastYear, start.year);
    for (icalproperty* p : propertiesOf(observance, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype r = icalproperty_get_rrule(p);
        if (!icaltime_is_null_time(r.until))
            d.lastYear = std::max(d.lastYear, r.until.year);
    }
    for (icalproperty* p : propertiesOf(observance, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
        const icaltimetype t = icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
        if (!icaltime_is_null_time(t))
            d.lastYear = std::max(d.lastYear, t.year);
    }
}

} // namespace

const icaltimezone* systemZoneNamed(const char* tzid)
{
    if (!tzid || !*tzid)
        return nullptr;
    QByteArray name(tzid);
    if (const icaltimezone* zone = builtin(name))
        return zone;
    // Programs put their own prefix before the name: /mozilla.org/20050126_1/Europe/Berlin.
    while (name.startsWith('/')) {
        name = name.mid(name.indexOf('/', 1) < 0 ? name.size() : name.indexOf('/', 1));
        if (const icaltimezone* zone = builtin(name.mid(1)))
            return zone;
    }
    // A Windows name, as some programs write without a VTIMEZONE.
    return builtin(QTimeZone::windowsIdToDefaultIanaId(QByteArray(tzid)));
}

void coverZones(icalcomponent* calendar, CoveredZones& covered)
{
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT);
         c; c = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* named = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY);
        const char* tzid = named ? icalproperty_get_tzid(named) : nullptr;
        const icaltimezone* outside = systemZoneNamed(tzid);
        const icaltimezone* zone = outside ? icalcomponent_get_timezone(calendar, tzid) : nullptr;
        if (!zone)
            continue;
        Described d;
        for (icalcomponent* o = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); o;
             o = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT)) {
            if (isObservance(o))
                describe(o, d);
        }
        if (d.lastYear == std::numeric_limits<int>::min())
            continue; // no change at all: the file says nothing of its own
        icaltimetype yearAfter = icaltime_null_time();
        yearAfter.year = d.lastYear + 1;
        yearAfter.month = yearAfter.day = 1;
        // A rule going on to the end of the years is one without end.
        const qint64 until = d.lastYear >= kLastZoneYear ? std::numeric_limits<qint64>::max()
                                                         : Ics::wallSeconds(yearAfter);
        covered.add(zone, {d.from, until, outside});
    }
}

ZonesPtr zonesOf(const QByteArray& bytes, const std::vector<Span>& zones, qint64& changes,
                 IcsZoneCache& cache)
{
    // What a zone comes to depends on its text and on the changes left for it.
    QByteArray key = QByteArray::number(changes);
    for (const Span& span : zones)
        key += '\0' + bytes.mid(span.begin, span.end - span.begin);
    if (ZonesPtr known = cache.find(key)) {
        changes -= known->changes;
        return known;
    }
    auto found = std::make_shared<FileZones>();
    found->calendar.reset(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    for (const Span& span : zones) {
        ComponentPtr zone = parseSpan(bytes, span);
        if (!zone || icalcomponent_isa(zone.get()) != ICAL_VTIMEZONE_COMPONENT)
            continue;
        const qint64 needs = boundRules(zone.get(), changes);
        if (needs < 0) {
            if (icalproperty* named =
                    icalcomponent_get_first_property(zone.get(), ICAL_TZID_PROPERTY))
                found->refused.insert(QByteArray(icalproperty_get_tzid(named)));
            continue;
        }
        changes -= needs;
        found->changes += needs;
        icalcomponent_add_component(found->calendar.get(), zone.release());
    }
    cache.keep(key, found);
    return found;
}

} // namespace Ics

IcsZoneCache::IcsZoneCache() = default;
IcsZoneCache::~IcsZoneCache() = default;

std::shared_ptr<const Ics::FileZones> IcsZoneCache::find(const QByteArray& key) const
{
    return m_zones.value(key);
}

void IcsZoneCache::keep(const QByteArray& key, std::shared_ptr<const Ics::FileZones> zones)
{
    // A server may send each event with a zone of its own: memory stays bounded.
    constexpr qsizetype kMostCalendars = 256;
    if (m_zones.size() < kMostCalendars)
        m_zones.insert(key, std::move(zones));
}
