#pragma once

#include "store/ClassTermin.h"

class IcsZoneCache;

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class DataAccess;

// An appointment file and its server event, both ways, as the iCalendar export and import map
// them; the colour (also as RFC 7986 COLOR) and the owner ride along in properties of our own.
namespace SyncMapping {

// The event of the appointment, a calendar of one VEVENT with this UID.
// Its times are wall-clock times of the zone timeZoneId (empty: the machine's).
QByteArray eventOf(const TerminPtr& appointment, const QString& folder, const QString& uid,
                   const QDateTime& stamp = {}, const QString& timeZoneId = {});

// The files of one series with exceptions as one event with this UID: its parts' rule with
// EXDATEs, its one-time files as changed occurrences.
QByteArray seriesEventOf(const QList<TerminPtr>& files, const QString& uid,
                         const QDateTime& stamp = {}, const QString& timeZoneId = {});

// The day files of one span (see SpanDays) as one event with this UID, from the first day's
// start to the last day's end.
QByteArray spanEventOf(const QList<TerminPtr>& days, const QString& uid,
                       const QDateTime& stamp = {}, const QString& timeZoneId = {});

// What ties a file to the other files of its event: its SeriesId, else for a day of a span
// "span:" and its SpanId; empty for a file that is an event alone.
QString groupOf(const ClassTermin& appointment);
// Whether the files are the days of one span, and no series.
bool oneSpan(const QList<TerminPtr>& files);

// What a server event becomes in the folder.
struct Incoming {
    QString uid;
    // The folder cannot hold it exactly (another rule, an exception it cannot keep, several days):
    // the appointments only mirror it, and a change to them is never sent back as the event.
    bool mirror = false;
    // As the import would file them in the data folder, each named for its directory alone; of
    // a series kept by its rule file its rule file and exceptions, never the occurrences.
    QList<ClassTermin> appointments;
    // The SeriesId of the appointments when they are the parts of one series with exceptions.
    QString series;
    // The SpanId of the appointments when they are the days of one span (an event over
    // several days), which the folder holds exactly.
    QString span;
    QString error; // not iCalendar
};

// What the event becomes in folder, with the wall-clock times of the zone timeZoneId (empty: the
// machine's): the event parsed once, nothing written. zones keeps the zones worked out for the
// events of one sync.
Incoming incomingOf(const QByteArray& ics, const QString& folder, const QString& timeZoneId = {},
                    IcsZoneCache* zones = nullptr);

// Whether two appointments make the same event: what the sync compares when both sides
// changed, so one edit arriving twice is no conflict.
bool sameEvent(const TerminPtr& a, const QString& folderA, const TerminPtr& b,
               const QString& folderB);

// Whether the span's day files here and the incoming ones of a server event make the same event.
bool sameSpan(const QList<TerminPtr>& here, const QList<ClassTermin>& there);

// A day that shows the appointment, for its export.
QDate dayShown(const ClassTermin& appointment, const QString& folder);

} // namespace SyncMapping
