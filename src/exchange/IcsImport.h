#pragma once

#include "profile/FileAccess.h"
#include "store/ClassTermin.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <QHash>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class DataAccess;

namespace Ics {
struct FileZones;
}

// The zones of the calendars an import has worked out, by the text of their VTIMEZONEs: a sync
// imports each event of the server on its own, nearly all of them with the same zone, whose
// changes of offset are then worked out once. Lives for one sync or one import, on one thread:
// libical's zones inside are not to be shared.
class IcsZoneCache {
public:
    IcsZoneCache();
    ~IcsZoneCache();
    IcsZoneCache(const IcsZoneCache&) = delete;
    IcsZoneCache& operator=(const IcsZoneCache&) = delete;

    // The zones of the key's calendar; null when not worked out yet.
    std::shared_ptr<const Ics::FileZones> find(const QByteArray& key) const;
    void keep(const QByteArray& key, std::shared_ptr<const Ics::FileZones> zones);
    // How many calendars' zones were worked out.
    qsizetype size() const { return m_zones.size(); }

private:
    QHash<QByteArray, std::shared_ptr<const Ics::FileZones>> m_zones;
};

// What became of an iCalendar import. The counts of events tell what landed: an event counts
// once all its appointments are written.
struct IcsImportResult {
    enum class SkipReason {
        NoStart,         // no DTSTART, or one that cannot be read
        Cancelled,       // STATUS:CANCELLED
        OutsideDates,    // no occurrence between 1900 and 2200, the years a file holds
        AllExcluded,     // every occurrence excluded (EXDATE) or replaced by a changed one
        EndsBeforeStart, // its rules end (UNTIL) before its start
        TooMany,         // the file's expansions already reached the limit of one import
        TooOften,        // no occurrence within the periods libical may step through (a rule
                         // repeating within a day, or one begun centuries before 1900)
        TookTooLong,     // its occurrences were not found within IcsImportOptions::expansionTime
        NoTime,          // a time the appointment file cannot hold
    };
    struct Skipped {
        QString event; // its summary, else its UID, else its number in the file
        SkipReason reason;
    };
    // A line of an event that could not be used: the event was imported from the others.
    struct Warning {
        enum class Kind {
            RuleLeftOut,       // an RRULE that cannot be read or followed (COUNT=0 among them)
            ExceptionLeftOut,  // an EXDATE that cannot be read
            ExtraDateLeftOut,  // an RDATE that cannot be read
            RuleMatchesNoDate, // an RRULE no date matches (30 February): its start stays
            ZoneUnknown,       // a TZID no zone answers to: its times are read as local time
            ZoneOfSystem,      // the file's zone of its TZID cannot be worked out: the
                               // system's zone of that name stands in
        };
        QString event;
        Kind kind;
    };
    struct Shortened {
        QString event;
        int occurrences = 0; // the first ones, which were imported
    };
    // What of an event, or a component beside the events, no appointment keeps.
    enum class Lost {
        LocationEnd, // a LOCATION longer than an appointment's location
        Attachment,  // ATTACH
        Organizer,   // ORGANIZER
        Attendees,   // ATTENDEE
        WebAddress,  // URL
        Comment,     // COMMENT
        Contact,     // CONTACT
        Resources,   // RESOURCES
        Position,    // GEO
        Priority,    // PRIORITY
        Related,     // RELATED-TO
        Free,        // TRANSP:TRANSPARENT: it does not make its time busy
        Tentative,   // STATUS:TENTATIVE
        Reminders,   // a VALARM besides the one kept, or one that rings after the start
        ToDo,        // a VTODO
        Journal,     // a VJOURNAL
    };
    struct NotKept {
        QString event;
        QList<Lost> lost; // each once, in the order above
    };

    bool ok = false; // false: not iCalendar (error says why), and nothing was written
    QString error;
    bool stopped = false; // the user stopped it (IcsImportOptions::stop)
    // More appointments than IcsImportOptions::largeImport without IcsImportOptions::allowLarge:
    // nothing was written, appointments says how many it would have been.
    bool tooLarge = false;
    QString record; // the ImportRecord of what was written; empty for none

    int events = 0;              // VEVENTs in the file
    int imported = 0;            // events that became one appointment each, and landed
    int recurring = 0;           // ... of them recurring appointments
    int expanded = 0;            // events expanded into one-time appointments, and landed
    int expandedInto = 0;        // ... how many
    QList<Shortened> shortened;  // events that stopped at a limit
    int severalDays = 0;         // events over several days, one appointment a day, that landed
    int severalDaysInto = 0;     // ... how many appointments
    QList<Skipped> skipped;      // in file order
    QStringList olderVersions;   // events a later version of the same UID replaces
    QStringList strays;          // events outside a calendar or inside another component
    QList<Warning> warnings;     // in file order
    QStringList textsCut;        // events whose SUMMARY or DESCRIPTION was cut to 64 KiB
    QList<NotKept> notKept;      // in file order, the events first
    QList<int> windows1252Lines; // lines that are not UTF-8, read as Windows-1252

    int appointments = 0;   // files planned
    int updated = 0;        // ... written over the appointment of an earlier import of the event
    int removed = 0;        // appointments of an earlier import of an event that it no longer has
    int failed = 0;         // ... tried and not written
    int notTried = 0;       // ... left out by a stop, or after the folder stopped answering
    int eventsNotSaved = 0; // events of which an appointment was tried and not written
    WriteOutcome firstFailure;
};

// How long the occurrences of one event may take to find before it is skipped.
inline constexpr std::chrono::milliseconds kMaxExpansionTime{4000};

// An import of more appointments than this is asked for first: they are counted before any
// is written.
inline constexpr int kLargeImport = 5000;

struct IcsImportOptions {
    // Rules without end are expanded up to two years after this day; invalid: today.
    QDate today;
    // The owner of the new appointments; empty: the login name.
    QString producer;
    // Draws file names; empty: the global random generator.
    std::function<quint32()> random;
    // Asked between events, inside long expansions and before each appointment is written:
    // true stops the import. Nothing is written when it stops before the first appointment.
    std::function<bool()> stop;
    // After each event planned: how many, and of how many events.
    std::function<void(int done, int total)> planning;
    std::chrono::milliseconds expansionTime = kMaxExpansionTime;
    // More than largeImport appointments are written only when allowed.
    bool allowLarge = false;
    int largeImport = kLargeImport;
    // Set: an ImportRecord in the data folder notes each new file before it is written, naming
    // this as the file imported, so the import can be taken back.
    QString recordSource;
    // The zone whose wall-clock times the appointments get (an IANA name); empty: the
    // system's.
    QString timeZoneId;
    // Set: the subscription whose refresh this is; every appointment carries its id.
    QString subscription;
    // A series with exceptions is kept as recurring parts of one SeriesId; off, it is
    // expanded into one-time appointments.
    bool seriesParts = true;
    // Zones worked out before, kept for the imports that follow; null: this import's own.
    IcsZoneCache* zones = nullptr;
};

// After each appointment tried: how many are tried, and of how many.
using IcsImportProgress = std::function<void(int done, int total)>;

// One expanded event never writes more appointments than this.
inline constexpr int kMaxOccurrences = 20000;

// The events of an iCalendar file become appointments of dataFolder in colour colorCode:
// - the events of one UID are read together: the version with the highest SEQUENCE is the
//   event, a changed occurrence (RECURRENCE-ID) replaces just that occurrence and is imported
//   once, never expanded;
// - a rule one recurrence kind expresses exactly (FREQ with UNTIL, COUNT or nothing; a BYDAY,
//   BYMONTHDAY or BYMONTH that only repeats the start's own weekday, day or month; INTERVAL=1)
//   becomes a recurring appointment, running to 31 December 2200 without an end, a COUNT kept
//   as its rule;
// - another rule a series holds (RepeatRule: an interval, several weekdays, the nth or last
//   weekday of a month) whose start it falls on becomes one series kept by its rule file (see
//   store/RuleSeries.h), its EXDATEs and changed occurrences its skipped days, each changed
//   occurrence its exception; its SeriesId comes from the UID, so an import again replaces it;
// - such a rule with EXDATEs or changed occurrences becomes recurring parts between the days
//   they take out, each changed occurrence a one-time appointment, all of one SeriesId (the
//   UID), unless seriesParts is off;
// - any other rule, RDATE, or exception then is expanded into one-time appointments: all
//   occurrences of a rule that ends, those up to two years after today (or after its start,
//   when later) of one that does not; the start is always the first one;
// - an RRULE, EXDATE or RDATE that cannot be used is left out with a warning;
// - all-day events run 00:00 to 24:00; UTC and TZID times become local times (with the file's
//   VTIMEZONEs inside the years they describe, else the system's zones), each occurrence its
//   own; floating times stay; an occurrence over several days is one appointment a day;
// - an event whose UID an appointment of the same day carries (an earlier import of the same
//   event, or one that was interrupted) is written over that appointment instead of beside it;
//   once all its appointments are written, those of its UID an earlier import left within 800
//   days of its first day that the file no longer has (a moved occurrence) are removed;
// - a rule is followed through a bounded number of periods and for expansionTime at most;
//   SUMMARY and DESCRIPTION are cut to 64 KiB.
// The whole file is planned before anything is written: input that is not iCalendar, or one of
// more than largeImport appointments not allowed, writes nothing. A line (with the lines it is
// folded into) that is not UTF-8 is read as Windows-1252. The file is parsed one event at a
// time. New files get fresh names in the directory the editor would choose.
IcsImportResult ImportIcs(const QByteArray& ics, DataAccess& store, const QString& dataFolder,
                          int colorCode, const IcsImportProgress& progress = {},
                          const IcsImportOptions& options = {});

// What ImportIcs would write into an empty dataFolder, written nowhere: the result as if every
// appointment landed, and the records as their files would read back. Each is named for the
// directory it would be filed in (the name itself is no file's); a series kept by its rule file
// is its rule file alone, which stands for its occurrences.
struct IcsPlan {
    IcsImportResult result;
    QList<ClassTermin> appointments;
};
IcsPlan PlanIcs(const QByteArray& ics, const QString& dataFolder, int colorCode,
                const IcsImportOptions& options = {});

// Whether the bytes are an iCalendar file, and how many events it holds; nothing is written.
struct IcsCheck {
    bool ok = false;
    QString error;
    int events = 0;
};
IcsCheck CheckIcs(const QByteArray& ics);

// Room for what the export writes of 200,000 appointments (about 75 MB); the file is held
// once and parsed one event at a time, so memory stays a few times the file's size at most.
inline constexpr qint64 kMaxIcsBytes = 256 * 1024 * 1024;

// The file's bytes; nullopt, with the reason in error, when it cannot be read, is no regular
// file or is larger than kMaxIcsBytes.
std::optional<QByteArray> ReadIcsFile(FileAccess& files, const QString& path, QString* error);

// The summary for the user, in the installed language: what landed, expanded, skipped with
// reasons, texts cut, and what could not be saved and why.
QString IcsImportSummary(const IcsImportResult& result);

// Why a file was not written, in the installed language.
QString IcsNotSavedReason(const WriteOutcome& failure);
