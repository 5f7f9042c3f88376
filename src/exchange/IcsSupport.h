#pragma once

// What export and import share: owners for libical's objects, the dates an appointment file
// can hold, and when a recurring appointment applies. Inside the exchange library only.

#include "store/Recurrence.h"

#include <libical/ical.h>

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QTimeZone>

#include <memory>
#include <optional>

namespace Ics {

// The years the file format reads: a date outside them falls back to another one.
inline const QDate kFirstDay{1900, 1, 1};
inline const QDate kLastDay{2200, 12, 31};

struct ComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

struct IteratorFree {
    void operator()(icalrecur_iterator* iterator) const { icalrecur_iterator_free(iterator); }
};
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorFree>;

// libical reports problems through a global; a wrong file must never end the program.
void prepareLibrary();

// The first day from `from` to `until` on which an appointment of this kind applies (see
// Recurrence::appliesOn); invalid when there is none.
QDate firstDayApplying(Recurrence::Kind kind, const QDate& pattern, const QDate& from,
                       const QDate& until);

// A wall-clock time as libical holds it; zone null means floating.
icaltimetype wallTime(const QDate& date, int minutes, const icaltimezone* zone);
icaltimetype dateOnly(const QDate& date);
QDate dateOf(const icaltimetype& time);

// Seconds since 1970-01-01 00:00 of a wall-clock time read as if it were UTC: any year libical
// holds, year 0 too, which QDate lacks.
qint64 wallSeconds(const icaltimetype& time);

// The instant (seconds since the epoch) a zoned time names, read as RFC 5545 wants: a time in
// the gap of a change to summer time with the offset before the gap, a time that occurs twice
// as its first occurrence. libical itself takes the offset after the gap.
qint64 instantOf(const icaltimetype& time, const icaltimezone* zone);

// A zone a file defines for some years only: from `from` until `until` (instants) its own
// offsets, outside them those of `outside`, the system's zone of its name.
struct ZoneCoverage {
    qint64 from = 0;
    qint64 until = 0;
    const icaltimezone* outside = nullptr;
};

// While it lives, the zones added to it have the offsets of their coverage in instantOf() and
// wallTimeAt() on this thread.
class CoveredZones {
public:
    CoveredZones();
    ~CoveredZones();
    CoveredZones(const CoveredZones&) = delete;
    CoveredZones& operator=(const CoveredZones&) = delete;

    void add(const icaltimezone* zone, const ZoneCoverage& coverage);
    // The zone whose offset zone has at instant.
    static const icaltimezone* at(const icaltimezone* zone, qint64 instant);

private:
    QHash<const icaltimezone*, ZoneCoverage> m_zones;
    CoveredZones* m_previous;
};

// The folder's times are wall-clock times of the calendar's zone, which is the machine's unless
// a CalendarZone on this thread names another: a sync may run far from its calendar.
class CalendarZone {
public:
    // An empty id: the machine's zone.
    explicit CalendarZone(const QString& id);
    ~CalendarZone();
    CalendarZone(const CalendarZone&) = delete;
    CalendarZone& operator=(const CalendarZone&) = delete;

private:
    std::optional<QTimeZone> m_previous;
};

// A date and time in the calendar's zone, and an instant seen there.
QDateTime localDateTime(const QDate& date, const QTime& time);
QDateTime localAt(qint64 secondsSinceEpoch);

// Whether an IANA name means UTC itself ("UTC", "Etc/UTC", "GMT", ...): such a zone is written
// as UTC with Z, never as a TZID.
bool isUtcName(const QString& id);

// The wall-clock time in zone (null: the calendar's zone) of an instant.
icaltimetype wallTimeAt(qint64 instant, const icaltimezone* zone);

// The date and time in the calendar's zone of a libical time: converted from its zone, as it
// is when floating, midnight for a date. Invalid for a date QDate cannot hold (year 0).
QDateTime toLocal(const icaltimetype& time);

QString text(const char* utf8);

// An appointment's text as an event holds it: the first line is the SUMMARY, the other lines
// the DESCRIPTION (its location is a field of its own).
struct EventText {
    QString summary;
    QString description; // lines end in LF
};
EventText eventTextOf(const QString& text);

} // namespace Ics
