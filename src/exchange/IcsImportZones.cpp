#include "IcsImportSupport.h"

#include <QTimeZone>

#include <algorithm>
#include <limits>

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

// Where a file's VTIMEZONE has offsets of its own: from its first change to the end of the
// year of its last one, or for ever when a rule goes on without end.
struct Described {
    qint64 from = std::numeric_limits<qint64>::max();
    int lastYear = std::numeric_limits<int>::min();
    bool open = false;
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
        else if (r.count > 0) // zones change yearly
            d.lastYear = std::max(d.lastYear, start.year + r.count - 1);
        else
            d.open = true;
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
            const icalcomponent_kind kind = icalcomponent_isa(o);
            if (kind == ICAL_XSTANDARD_COMPONENT || kind == ICAL_XDAYLIGHT_COMPONENT)
                describe(o, d);
        }
        if (d.lastYear == std::numeric_limits<int>::min())
            continue; // no change at all: the file says nothing of its own
        icaltimetype yearAfter = icaltime_null_time();
        yearAfter.year = d.lastYear + 1;
        yearAfter.month = yearAfter.day = 1;
        const qint64 until =
            d.open ? std::numeric_limits<qint64>::max() : Ics::wallSeconds(yearAfter);
        covered.add(zone, {d.from, until, outside});
    }
}

} // namespace Ics
