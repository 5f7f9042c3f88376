#pragma once

#include "FileAccess.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DataAccess;

// What became of an iCalendar import.
struct IcsImportResult {
    enum class SkipReason {
        NoStart,        // no DTSTART, or one that cannot be read
        UnreadableRule, // an RRULE, EXDATE or RDATE that cannot be read
        Cancelled,      // STATUS:CANCELLED
        OutsideDates,   // no occurrence between 1900 and 2200, the years a file holds
        TooMany,        // the file's expansions already reached the limit of one import
    };
    struct Skipped {
        QString event; // its summary, else its UID, else its number in the file
        SkipReason reason;
    };

    bool ok = false; // false: not iCalendar (error says why), and nothing was written
    QString error;

    int events = 0;         // VEVENTs in the file
    int imported = 0;       // events that became one appointment each
    int recurring = 0;      // ... of them recurring appointments
    int expanded = 0;       // events expanded into one-time appointments
    int expandedInto = 0;   // ... how many
    QStringList shortened;  // expanded events that stopped at kMaxOccurrences
    QList<Skipped> skipped; // in file order

    int appointments = 0; // files to write
    int failed = 0;       // ... that could not be written
    WriteOutcome firstFailure;
};

struct IcsImportOptions {
    // Rules without end are expanded up to two years after this day; invalid: today.
    QDate today;
    // The owner of the new appointments; empty: the login name.
    QString producer;
    // Draws file names; empty: the global random generator.
    std::function<quint32()> random;
};

// After each written appointment: how many are written, and of how many.
using IcsImportProgress = std::function<void(int done, int total)>;

// One expanded event never writes more appointments than this.
inline constexpr int kMaxOccurrences = 20000;

// The events of an iCalendar file become appointments of dataFolder in colour colorCode:
// - a rule one recurrence kind expresses exactly (FREQ with UNTIL or nothing; a BYDAY,
//   BYMONTHDAY or BYMONTH that only repeats the start's own weekday, day or month; INTERVAL=1)
//   becomes a recurring appointment, running to 31 December 2200 without UNTIL;
// - any other rule, EXDATE, RDATE or changed occurrence (RECURRENCE-ID) is expanded into
//   one-time appointments: all occurrences of a rule that ends, those up to two years after
//   today of one that does not;
// - all-day events run 08:00 to 12:00; UTC and TZID times become local times (with the file's
//   VTIMEZONEs, else libical's zones); floating times stay; an event that crosses midnight
//   ends at 24:00 of its first day.
// The whole file is read before anything is written: input that is not iCalendar writes
// nothing. New files get fresh names in the directory the editor would choose.
IcsImportResult ImportIcs(const QByteArray& ics, DataAccess& store, const QString& dataFolder,
                          int colorCode, const IcsImportProgress& progress = {},
                          const IcsImportOptions& options = {});

// Whether the bytes are an iCalendar file, and how many events it holds; nothing is written.
struct IcsCheck {
    bool ok = false;
    QString error;
    int events = 0;
};
IcsCheck CheckIcs(const QByteArray& ics);

// Far beyond any real calendar, small enough that a wrong file cannot exhaust memory.
inline constexpr qint64 kMaxIcsBytes = 64 * 1024 * 1024;

// The file's bytes; nullopt, with the reason in error, when it cannot be read, is no regular
// file or is larger than kMaxIcsBytes.
std::optional<QByteArray> ReadIcsFile(FileAccess& files, const QString& path, QString* error);

// The summary for the user, in the installed language: imported, expanded, skipped with
// reasons, and what could not be saved.
QString IcsImportSummary(const IcsImportResult& result);

// Why a file was not written, in the installed language.
QString IcsNotSavedReason(const WriteOutcome& failure);
