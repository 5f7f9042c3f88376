#include "IcsImportSupport.h"

#include <QHash>

#include <map>
#include <tuple>

namespace Ics {

namespace {

// One event of a UID that others share: enough of it to tell which version is the latest.
struct Member {
    size_t index = 0;
    int sequence = 0;
    bool changed = false;
    icaltimetype occurrence = icaltime_null_time(); // its RECURRENCE-ID
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

void decide(const std::vector<Member>& members, Roles& roles)
{
    const Member* series = nullptr;
    std::map<qint64, const Member*> changes; // the latest change of each occurrence
    for (const Member& m : members) {
        roles.of[m.index] = Role::Older;
        if (!m.changed) {
            if (!series || laterThan(m, *series))
                series = &m;
            continue;
        }
        const Member*& latest = changes[occurrenceKey(m.occurrence)];
        if (!latest || laterThan(m, *latest))
            latest = &m;
    }
    if (series)
        roles.of[series->index] = Role::Event;
    for (const auto& [key, change] : changes) {
        roles.of[change->index] = Role::Changed;
        if (series && !icaltime_is_null_time(change->occurrence))
            roles.replaced[series->index].append(change->occurrence);
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
                if (icalproperty* id =
                        icalcomponent_get_first_property(s.event, ICAL_RECURRENCEID_PROPERTY))
                    m.occurrence = momentOf(id, s.calendar, icalproperty_get_recurrenceid(id));
                members.push_back(m);
            });
        }
        decide(members, roles);
    }
    return roles;
}

} // namespace Ics
