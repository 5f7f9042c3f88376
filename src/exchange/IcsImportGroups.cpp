#include "exchange/IcsImportSupport.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <map>
#include <tuple>

namespace Ics {

namespace {

// One event of a UID that others share: enough of it to tell which version is the latest.
struct Member {
    size_t index = 0;
    int sequence = 0;
    bool changed = false;
    // Its RECURRENCE-ID when changed, else its DTSTART.
    icaltimetype occurrence = icaltime_null_time();
};

// Later versions win: a higher SEQUENCE, else the one further down the file.
bool laterThan(const Member& a, const Member& b)
{
    return std::tuple(a.sequence, a.index) > std::tuple(b.sequence, b.index);
}

// What identifies the occurrence a changed one replaces, whatever zone names it.
qint64 occurrenceKey(const icaltimetype& t)
{
    return t.is_date ? Ics::dateOf(t).toJulianDay() : secondsOf(t);
}

// Of the versions of a series, those of the highest SEQUENCE are the event; several of them
// that start at different times are distinct events whose program gave them one UID, and
// of those that start at the same time the last in the file is the one.
void decide(const std::vector<Member>& members, Roles& roles)
{
    int top = std::numeric_limits<int>::min();
    for (const Member& m : members) {
        if (!m.changed)
            top = std::max(top, m.sequence);
    }
    std::map<qint64, const Member*> series;  // the latest version of each start
    std::map<qint64, const Member*> changes; // the latest change of each occurrence
    for (const Member& m : members) {
        roles.of[m.index] = Role::Older;
        if (!m.changed && m.sequence < top)
            continue;
        const Member*& latest = (m.changed ? changes : series)[occurrenceKey(m.occurrence)];
        if (!latest || laterThan(m, *latest))
            latest = &m;
    }
    for (const auto& [start, event] : series)
        roles.of[event->index] = Role::Event;
    for (const auto& [key, change] : changes) {
        roles.of[change->index] = Role::Changed;
        if (icaltime_is_null_time(change->occurrence))
            continue;
        // Only the series that has the occurrence loses it.
        for (const auto& [start, event] : series)
            roles.replaced[event->index].append(change->occurrence);
    }
}

} // namespace

Roles rolesOf(const QByteArray& bytes, const Split& split, const EventReader& reader)
{
    Roles roles;
    roles.of.assign(split.events.size(), Role::Event);
    // Nearly every UID is an event's own: only those several events share are parsed here.
    QHash<QByteArray, std::vector<size_t>> byUid;
    for (size_t i = 0; i < split.events.size(); ++i) {
        const EventKey key = keyOf(bytes, split.events[i].span);
        if (key.changed)
            roles.of[i] = Role::Changed;
        if (!key.uid.isEmpty())
            byUid[key.uid].push_back(i);
    }
    for (const std::vector<size_t>& indexes : std::as_const(byUid)) {
        if (indexes.size() < 2)
            continue;
        std::vector<Member> members;
        for (size_t i : indexes) {
            reader.read(i, [&](const Source& s) {
                // Changed by its lines, even where libical cannot read the RECURRENCE-ID.
                Member m{i, icalcomponent_get_sequence(s.event), roles.of[i] == Role::Changed,
                         icaltime_null_time()};
                icalproperty* at = icalcomponent_get_first_property(
                    s.event, m.changed ? ICAL_RECURRENCEID_PROPERTY : ICAL_DTSTART_PROPERTY);
                if (at)
                    m.occurrence = momentOf(at, s.calendar,
                                            m.changed ? icalproperty_get_recurrenceid(at)
                                                      : icalproperty_get_dtstart(at));
                members.push_back(m);
            });
        }
        decide(members, roles);
    }
    return roles;
}

} // namespace Ics
