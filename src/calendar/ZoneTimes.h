#pragma once

// An appointment's own zone (a flight at 09:00 New York) against the team's: wall clocks of
// one zone as wall clocks of another, by the system's zone database. Wall clocks are naked
// date-times held as Qt::UTC, which no offset shifts. Values only.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTimeZone>

#include <optional>

namespace ZoneTimes {

// The zone of an IANA name; the system's for an empty name; invalid for a name the zone
// database does not know.
QTimeZone zoneOf(const QString& id);

// The moment a wall clock of zone names. A wall clock the zone skips (spring gap) counts with
// the offset before the gap (02:30 is 03:30 after it); one it passes twice, the first time.
QDateTime momentOf(const QDateTime& wallClock, const QTimeZone& zone);
// The wall clock in zone at a moment.
QDateTime wallClockAt(const QDateTime& moment, const QTimeZone& zone);

// A wall clock of zone fromId as the wall clock of zone toId at the same moment (empty ids:
// the system's); nullopt when either zone is unknown.
std::optional<QDateTime> convert(const QDateTime& wallClock, const QString& fromId,
                                 const QString& toId);

// An appointment's start and end as the team's wall clocks.
struct WallSpan {
    QDateTime start;
    QDateTime end;
    bool operator==(const WallSpan&) const = default;
};
// The team's wall clocks of an appointment kept in zone zoneId; nullopt for an unknown zone or
// an end before the start.
std::optional<WallSpan> teamSpan(const QString& zoneId, const WallSpan& inZone,
                                 const QString& teamZoneId);
// The reverse, for the editor: the team's wall clocks as wall clocks of zone zoneId.
std::optional<WallSpan> zoneSpan(const QString& zoneId, const WallSpan& inTeam,
                                 const QString& teamZoneId);

// One day of a span: its date and minutes from midnight (end 1440 is the end of the day).
struct Day {
    QDate date;
    int startMinute = 0;
    int endMinute = 0;
    bool operator==(const Day&) const = default;
};
// The days a span covers, as the store files them; an end at midnight closes the day before.
QList<Day> daysOf(const WallSpan& span);

// Whether an appointment in zone zoneId needs a zone of its own: a known zone other than the
// team's.
bool isOwnZone(const QString& zoneId, const QString& teamZoneId);

// A zone's city as it reads to a user: "America/New_York" is "New York".
QString cityOf(const QString& zoneId);

} // namespace ZoneTimes
