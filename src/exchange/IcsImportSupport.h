#pragma once

// What the parts of the import share: the file split into its calendars and events, the fields
// of one event, the rules turned into occurrences, and the planned appointments on their way
// to the data folder. Inside the exchange library's import only.

#include "exchange/IcsImport.h"
#include "exchange/IcsPeople.h"
#include "exchange/IcsSupport.h"
#include "store/ClassTermin.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QList>
#include <QSet>
#include <QString>
#include <QTime>

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

class DataAccess;
class ImportRecord;

// The context of the import's texts in the translation file.
struct IcsImport {
    Q_DECLARE_TR_FUNCTIONS(IcsImport)
};

namespace Ics {

// ---- the file split into its parts (IcsImportSplit.cpp) ----

// Where a component lies in the file: from its BEGIN line to the end of its END line.
struct Span {
    qsizetype begin = 0;
    qsizetype end = 0;
};

struct EventSpan {
    Span span;
    int calendar = 0; // index into Split::calendars
};

// Found by the lines alone: a large file is parsed one event at a time, never whole.
struct Split {
    std::vector<std::vector<Span>> calendars; // the VTIMEZONEs of each calendar
    std::vector<EventSpan> events;            // in file order
    std::vector<Span> strays; // VEVENTs outside a calendar or inside another component
    std::vector<Span> others; // the calendars' VTODOs and VJOURNALs
    QString error;            // empty when the file holds a calendar
};

// How deep components may nest: a calendar, an event and its alarm are three. Each level
// deeper may hold an event that is read once more, so a file nested deeper is refused.
inline constexpr int kMaxNesting = 8;

// The file split by its lines; a file whose components nest deeper than kMaxNesting is refused.
Split split(const QByteArray& bytes);

// The file as libical reads it: UTF-8, lines ending in LF (a file of lines ending in CR alone
// gets CR LF). A line that is not UTF-8, read with the lines folded into it, is read as
// Windows-1252, as older programs write; its number, counted from 1, goes to windows1252Lines.
QByteArray readable(const QByteArray& bytes, QList<int>* windows1252Lines = nullptr);

// How the summary names the events of the spans: their summaries, else UIDs, else lines.
QStringList namesOf(const QByteArray& bytes, const std::vector<Span>& events);

// libical's component of a span; null when libical makes nothing of it.
ComponentPtr parseSpan(const QByteArray& bytes, const Span& span);

// The changes of offset all VTIMEZONEs of one file may have libical work out: real zones need
// a few thousand, and 50,000 take a second or two.
inline constexpr qint64 kMaxZoneChanges = 50000;

// The usable VTIMEZONEs of one calendar, and the TZIDs of those left out. libical keeps the
// changes of offset it works out inside the calendar: one thread uses it.
struct FileZones {
    ComponentPtr calendar;
    QSet<QByteArray> refused;
    qint64 changes = 0; // of offset, that its zones took
};
using ZonesPtr = std::shared_ptr<const FileZones>;

// The VTIMEZONEs of the spans whose changes of offset libical can work out up to 2300, each
// taking them from `changes`; each rule is bounded to those years, so libical never steps past
// them. A zone whose rules would take more, or more periods than libical may step through (a
// minutely rule without end), is refused: its TZID then names libical's zone of that name, if
// there is one. Zones of the same text and the same changes left are worked out once a cache.
ZonesPtr zonesOf(const QByteArray& bytes, const std::vector<Span>& zones, qint64& changes,
                 IcsZoneCache& cache);

// What an event's own lines (not those of its alarms) tell without parsing it: its UID as
// written, and whether it changes one occurrence of a series (RECURRENCE-ID).
struct EventKey {
    QByteArray uid;
    bool changed = false;
};
EventKey keyOf(const QByteArray& bytes, const Span& span);

struct Source {
    icalcomponent* calendar; // its VTIMEZONEs
    icalcomponent* event;
    int number;        // 1 for the first event of the file
    int calendarIndex; // into Split::calendars
};

// The events of a file parsed one at a time, each with the VTIMEZONEs of its calendar: libical
// holds a whole large file many times over in memory.
class EventReader {
public:
    EventReader(const QByteArray& bytes, const Split& split, const std::vector<ZonesPtr>& zones)
        : m_bytes(bytes)
        , m_split(split)
        , m_zones(zones)
    {
    }

    // Calls use with the event's Source; an event libical makes nothing of is an empty one.
    template <typename Use> void read(size_t i, const Use& use) const
    {
        const EventSpan& span = m_split.events[i];
        const ComponentPtr parsed = parseSpan(m_bytes, span.span);
        icalcomponent* event = parsed && icalcomponent_isa(parsed.get()) == ICAL_VEVENT_COMPONENT
                                   ? parsed.get()
                                   : m_blank.get();
        use(Source{m_zones[size_t(span.calendar)]->calendar.get(), event, int(i) + 1,
                   span.calendar});
    }

private:
    const QByteArray& m_bytes;
    const Split& m_split;
    const std::vector<ZonesPtr>& m_zones;
    ComponentPtr m_blank{icalcomponent_new_vevent()};
};

// ---- events of one UID (IcsImportGroups.cpp) ----

// What an event is to the import once all events of its UID are seen together.
enum class Role {
    Event,   // an event of its own: the only one of its UID, or its latest version
    Changed, // one changed occurrence of a series (RECURRENCE-ID): imported once, never expanded
    Older,   // a version that a later one of the same UID (higher SEQUENCE) replaces
};

struct Roles {
    std::vector<Role> of; // by event index
    // The occurrences changed occurrences replace, by the index of their series.
    std::unordered_map<size_t, QList<icaltimetype>> replaced;
};

Roles rolesOf(const QByteArray& bytes, const Split& split, const EventReader& reader);

// ---- zones (IcsImportZones.cpp) ----

// The zone of the system a TZID names: an IANA name or an alias of one, also behind a program's
// own prefix (/mozilla.org/20050126_1/Europe/Berlin), or a Windows name; null for none.
const icaltimezone* systemZoneNamed(const char* tzid);

// Each VTIMEZONE of the calendar that describes some years only (its changes end, or start
// late) has the system's zone of its name stand in outside them, where there is one.
void coverZones(icalcomponent* calendar, CoveredZones& covered);

// ---- times and properties (IcsImportRead.cpp) ----

std::vector<icalproperty*> propertiesOf(icalcomponent* component, icalproperty_kind kind);

// libical drops a value it cannot read and leaves an X-LIC-ERROR naming the property.
bool hasErrorIn(icalcomponent* event, const char* property);

// A property's time with its zone: UTC, the zone of its TZID, or none (floating, or a zone
// nobody knows, which is read as local time). calendar holds the file's VTIMEZONEs.
icaltimetype momentOf(icalproperty* property, icalcomponent* calendar, icaltimetype value);

qint64 naiveSeconds(const QDate& date, const QTime& time);

// Seconds on a scale where two times compare as the file means them: real seconds for zoned
// times, wall-clock seconds for floating ones.
qint64 secondsOf(const icaltimetype& t);

// t as a time of the frame of start: the wall clock of start's zone, local time for a
// floating start; a floating t means start's own zone.
icaltimetype inFrameOf(icaltimetype t, const icaltimetype& start);

// ---- one event (IcsImportRead.cpp) ----

struct Event {
    QString name;
    QString uid;        // as the appointment file keeps it
    icaltimetype start; // its zone attached
    bool allDay = false;
    qint64 duration = 0; // seconds, never negative; whole days for an all-day event
    QString text;
    bool textCut = false;
    QString location;
    People people;
    QStringList categories;
    int remindMinutes = 0;
    bool isPrivate = false; // CLASS:PRIVATE or CONFIDENTIAL
};

// The appointment's text from SUMMARY and DESCRIPTION, lines ending in CR LF; cut notes
// whether one of them, or both together, was longer than ClassTermin::kMaxTextBytes.
QString textOf(icalcomponent* e, bool* cut);
// The LOCATION's first line, as an appointment keeps a place.
QString locationOf(icalcomponent* e);
// How the summary names the event: its summary, else its UID, else its line in the file when
// given, else its number.
QString nameOf(icalcomponent* e, int number, int line = 0);
// Whether others are to see the event as busy only: its CLASS is PRIVATE or CONFIDENTIAL.
bool isPrivateEvent(icalcomponent* e);
// The UID as an appointment file keeps it: a very long one by its hash.
QString uidOf(icalcomponent* e);
qint64 durationOf(const Source& s, const icaltimetype& start);
// Minutes before the appointment's start of the first alarm that rings before it; 0 for none.
int remindMinutesOf(const Source& s, const icaltimetype& start, qint64 duration);

// ---- what no appointment keeps (IcsImportLost.cpp) ----

// What of a component no appointment keeps; reminderKept: one of its alarms became the
// appointment's reminder.
QList<IcsImportResult::Lost> lostOf(icalcomponent* component, bool reminderKept);
// The words of the summary: "attachment", "attendees", ...
QString lostText(IcsImportResult::Lost lost);
// Notes the to-dos and journal entries of the calendars, by their summaries.
void noteOthers(const QByteArray& bytes, const std::vector<Span>& others, IcsImportResult& result);

// ---- the days an occurrence covers (IcsImportDays.cpp) ----

// What an appointment shows of an occurrence on one local day.
struct LocalSpan {
    QDate date; // invalid for a day QDate cannot hold (year 0)
    int start = 0;
    int end = 0;  // 1440: to midnight
    int day = 1;  // of days
    int days = 1; // the days the occurrence covers
};

// The local days an occurrence covers, the first `most` of them: an all-day event 00:00 to
// 24:00 on each, a timed one from its start to 24:00, whole days from 00:00 to 24:00 and its
// last day from 00:00 to its end; nullopt for a time of day no file can hold.
std::optional<QList<LocalSpan>> daysOf(const Event& e, const icaltimetype& occurrence, int most);

// ---- rules (IcsImportRules.cpp) ----

// The date of a start as a pattern of weekday, day and month: year 0, which QDate lacks, as
// year 400, which has the same calendar.
QDate patternOf(const icaltimetype& start);

// The recurrence kind that shows exactly the occurrences of the rule, if there is one.
std::optional<Recurrence::Kind> exactKind(const icalrecurrencetype& r, const icaltimetype& start);

// A recurring appointment keeps one local hour: true when every occurrence of two years from
// first (an occurrence of the rule) lies at the same local time (and day shift) as first, as
// in the local zone or a zone with the same daylight saving rules.
bool keepsLocalClock(const icalrecurrencetype& r, const icaltimetype& first);

// The last day of the series in the start's own calendar; kLastDay without UNTIL.
QDate lastDayOf(const icalrecurrencetype& r, const icaltimetype& start);

// Whether no date can ever match the rule, as 30 February: BYMONTH with BYMONTHDAY or
// BYYEARDAY that no month has.
bool matchesNoDate(const icalrecurrencetype& r);

// How many seconds from its start libical may step through the rule's periods within a
// bounded time.
qint64 steppingSpan(const icalrecurrencetype& r);

// Whether the rule's UNTIL lies before the start.
bool endsBeforeStart(const icalrecurrencetype& r, const icaltimetype& start);

// Exceptions of a series: EXDATEs and occurrences another VEVENT replaces (RECURRENCE-ID).
struct Exclusions {
    QSet<qint64> instants; // on the scale of secondsOf, in the event's zone
    QSet<QDate> dates;     // DATE values, or any value of an all-day event
    bool any() const { return !instants.isEmpty() || !dates.isEmpty(); }
};

void exclude(Exclusions& ex, icaltimetype t, const icaltimetype& start);

// What bounds one event's expansion: a deadline, and the user's stop.
struct Budget {
    QDeadlineTimer deadline;
    const std::function<bool()>* stop = nullptr;
    bool timeUp() const { return deadline.hasExpired(); }
    bool stopped() const { return stop && *stop && (*stop)(); }
};

struct Occurrences {
    enum class Outcome {
        Found,    // times holds them (maybe none)
        TooOften, // a rule reached its bound of periods before one occurrence after the start
        TimeUp,   // the deadline passed
        Stopped,  // the user stopped the import
    };
    Outcome outcome = Outcome::Found;
    QList<icaltimetype> times;
    bool shortened = false;
    bool ruleLeftOut = false;       // libical refused to follow a rule: it was left out
    bool ruleMatchesNoDate = false; // a rule matches no date (30 February): it was left out
    int excluded = 0;               // occurrences the exclusions took out
};

// Every occurrence of the rules and RDATEs up to `limit` (a local date), without the
// exclusions and without repeats, at most `room`. Each occurrence takes its own local time;
// libical iterates wall-clock times only, and never past the limit.
Occurrences occurrencesOf(const Event& e, const QList<icalrecurrencetype>& rules,
                          const QList<icaltimetype>& extra, const Exclusions& ex,
                          const QDate& limit, int room, const Budget& budget);

// ---- writing (IcsImportWrite.cpp) ----

struct Planned {
    ClassTermin appointment;
    int event = 0; // index into the planned events
};

// ---- several days as one (IcsImportSpans.cpp) ----

// The days of one event over several days, planned from first to last, made one span: the
// same id (made of the UID) and the first and last day on each. One day alone stays a day.
void linkSpan(std::vector<Planned>::iterator first, std::vector<Planned>::iterator last,
              const QString& uid);

struct PlannedEvent {
    enum class Kind { Single, Recurring, Expanded } kind = Kind::Single;
    int appointments = 0;
    int written = 0;
    bool failed = false;      // one of its appointments was tried and not written
    bool severalDays = false; // an occurrence became one appointment a day
};

struct WriteTarget {
    DataAccess& store;
    QString folder; // ends in a separator
    std::function<quint32()> random;
    const IcsImportProgress& progress;
    const std::function<bool()>& stop;
    ImportRecord* record = nullptr; // notes each new file before it is written
    QDate today;                    // what a series kept by its rule file is written ahead from
};

// What landed: the events all of whose appointments were written, counted into result.
void countLanded(const std::vector<PlannedEvent>& events, IcsImportResult& result);

// Writes the planned appointments; one of an event whose UID an appointment of the day already
// carries (an earlier import of the same file) is written over that one instead of beside it.
// A series kept by its rule file takes the place of the one its SeriesId names, if there is one.
void writePlanned(std::vector<Planned>& planned, std::vector<PlannedEvent>& events,
                  const WriteTarget& target, IcsImportResult& result);

} // namespace Ics
