#pragma once

// What the parts of the import share: the file read into libical's objects, the fields of one
// event, and the rules turned into occurrences. Inside the exchange library's import only.

#include "IcsSupport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QTime>

#include <optional>
#include <vector>

// The context of the import's texts in the translation file.
struct IcsImport {
    Q_DECLARE_TR_FUNCTIONS(IcsImport)
};

namespace Ics {

// An all-day event becomes a morning appointment, as imported holidays are.
inline constexpr int kAllDayStart = 8 * 60;
inline constexpr int kAllDayEnd = 12 * 60;

// ---- reading the file (IcsImportRead.cpp) ----

struct Parsed {
    std::vector<ComponentPtr> calendars;
    QString error; // empty when at least one calendar could be read
};

Parsed parse(const QByteArray& bytes);

struct Source {
    icalcomponent* calendar;
    icalcomponent* event;
    int number; // 1 for the first event of the file
};

// The VEVENTs of all calendars, in file order.
std::vector<Source> eventsOf(const Parsed& parsed);

std::vector<icalproperty*> propertiesOf(icalcomponent* component, icalproperty_kind kind);

// libical drops a value it cannot read and leaves an X-LIC-ERROR naming the property.
bool hasErrorIn(icalcomponent* event, const char* property);

// A property's time with its zone: UTC, the zone of its TZID, or none (floating, or a zone
// nobody knows, which is read as local time).
icaltimetype momentOf(icalproperty* property, icalcomponent* calendar, icaltimetype value);

qint64 naiveSeconds(const QDate& date, const QTime& time);

// Seconds on a scale where two times compare as the file means them: real seconds for zoned
// times, wall-clock seconds for floating ones.
qint64 secondsOf(const icaltimetype& t);

// ---- one event (IcsImportRead.cpp) ----

struct Event {
    QString name;
    icaltimetype start; // its zone attached
    bool allDay = false;
    qint64 duration = 0; // seconds, never negative
    QString text;
    int remindMinutes = 0;
};

// The appointment's text from SUMMARY and DESCRIPTION, lines ending in CR LF.
QString textOf(icalcomponent* e);
// How the summary names the event: its summary, else its UID, else its number.
QString nameOf(icalcomponent* e, int number);
qint64 durationOf(const Source& s, const icaltimetype& start);
// Minutes before the appointment's start of the first alarm that rings before it; 0 for none.
int remindMinutesOf(const Source& s, const icaltimetype& start, qint64 duration);

// ---- rules (IcsImportRules.cpp) ----

// The recurrence kind that shows exactly the occurrences of the rule, if there is one.
std::optional<Recurrence::Kind> exactKind(const icalrecurrencetype& r, const icaltimetype& start);

// A recurring appointment keeps one local hour: true when every occurrence of the first two
// years lies at the same local time (and day shift) as the first, as in the local zone or a
// zone with the same daylight saving rules.
bool keepsLocalClock(const icalrecurrencetype& r, const icaltimetype& start);

// The last day of the series in the start's own calendar; kLastDay without UNTIL.
QDate lastDayOf(const icalrecurrencetype& r, const icaltimetype& start);

// Exceptions of a series: EXDATEs and occurrences another VEVENT replaces (RECURRENCE-ID).
struct Exclusions {
    QSet<qint64> instants; // on the scale of secondsOf, in the event's zone
    QSet<QDate> dates;     // DATE values, or any value of an all-day event
    bool any() const { return !instants.isEmpty() || !dates.isEmpty(); }
};

void exclude(Exclusions& ex, icaltimetype t, const icaltimetype& start);

struct Occurrences {
    QList<icaltimetype> times;
    bool shortened = false;
};

// Every occurrence of the rules and RDATEs up to `limit` (a local date), without the
// exclusions and without repeats; nullopt when a rule cannot be followed.
std::optional<Occurrences> occurrencesOf(const Event& e, const QList<icalrecurrencetype>& rules,
                                         const QList<icaltimetype>& extra, const Exclusions& ex,
                                         const QDate& limit, int room);

} // namespace Ics
