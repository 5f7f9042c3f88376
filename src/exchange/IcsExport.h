#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include "store/ClassTermin.h"

class DataAccess;

struct IcsExportOptions {
    // DTSTAMP of every event; invalid: the current time.
    QDateTime stamp;
    // The zone of the appointments' wall-clock times, which they are written in (an IANA
    // name); empty: the system's.
    QString timeZoneId;
};

// Every appointment shown on a day from `from` to `to` as one VEVENT: a one-time appointment
// on the day it is shown, a recurring one once, with an RRULE from the first day of its range
// on which it applies to its last (UNTIL), or its own rule (a COUNT stays). A series kept as
// occurrences is one VEVENT from its rule file (RRULE, EXDATEs) with its exceptions as changed
// occurrences (RECURRENCE-ID), never its occurrences one by one. SUMMARY is the first line of the
// text, DESCRIPTION the other lines, LOCATION its location; a reminder becomes a
// display alarm. UIDs are the files' paths inside dataFolder, so a second export of the same
// appointments updates them in another calendar.
// The days of a span (see SpanDays) go together as one VEVENT, also those outside the range.
//
// Times are the local wall-clock times with TZID of the zone and its VTIMEZONE, so a series
// keeps its hour across daylight saving time; a zone libical does not know is written as
// floating local time, the UTC zone (by any of its names) as UTC with Z. An appointment of the
// whole day has dates (VALUE=DATE), which no zone shifts.
//
// Each event is written as text once read, so what the export holds beyond the file's bytes
// stays small however long the range.
QByteArray ExportIcs(DataAccess& store, const QDate& from, const QDate& to,
                     const QString& dataFolder, const IcsExportOptions& options = {},
                     int* eventCount = nullptr);

// One appointment as a calendar of one event mapped as ExportIcs maps it, with uid as its UID:
// shownOn is a day that shows it, the first one for a recurring appointment's rule is found
// from there.
QByteArray ExportAppointment(const TerminPtr& appointment, const QDate& shownOn, const QString& uid,
                             const IcsExportOptions& options = {});

// The day files of one span (see SpanDays) as a calendar of one event with uid, as ExportIcs
// writes a span: from the first day's start to the last day's end, the title without its day
// mark.
QByteArray ExportSpan(const QList<TerminPtr>& days, const QString& uid,
                      const IcsExportOptions& options = {});

// The files of one series with exceptions (one SeriesId) as a calendar of one event with uid
// as ExportIcs writes a series: the rule over all its recurring files, EXDATEs for the days
// between them, and each one-time file as a changed occurrence (RECURRENCE-ID); or the rule
// file of a series kept by its rule file with its exceptions.
QByteArray ExportSeries(const QList<TerminPtr>& files, const QString& uid,
                        const IcsExportOptions& options = {});
