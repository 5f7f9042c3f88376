#pragma once

#include "profile/ApiINI.h"
#include "store/ClassTermin.h"

#include <QTime>

// The content of one appointment file: section "AppointmentSettings" with one key per field.
namespace AppointmentFile {

inline const QString kSection = QStringLiteral("AppointmentSettings");
inline const QString kExtension = QStringLiteral(".nv3");
// The days of a series' one-time files, on its recurring parts: ISO dates between blanks.
inline const QString kSeriesDays = QStringLiteral("SeriesDays");
// The series' rule as an iCalendar RRULE value, and the ISO day it starts on.
inline const QString kRepeatRule = QStringLiteral("RepeatRule");
inline const QString kRepeatStart = QStringLiteral("RepeatStart");
// Only on the rule file of a series kept as one-time occurrences.
inline const QString kRepeatSkipped = QStringLiteral("RepeatSkipped");
inline const QString kRepeatWritten = QStringLiteral("RepeatWritten");
// The login names of those it is for besides its owner, separated by commas.
inline const QString kFor = QStringLiteral("For");

// Set on a private appointment, missing on any other.
inline const QString kPrivate = QStringLiteral("Private");
// The rooms and equipment it books, separated by semicolons.
inline const QString kRooms = QStringLiteral("Rooms");

// Where it takes place. Older copies see it too, as the last line of the file's text.
inline const QString kLocation = QStringLiteral("Location");
inline const QString kLocationWord = QStringLiteral("Location: ");

// The categories it belongs to, separated by semicolons (names as roomsOf keeps them).
inline const QString kCategories = QStringLiteral("Categories");
// An imported event's organizer and attendees as their iCalendar property lines.
inline const QString kOrganizer = QStringLiteral("Organizer");
inline const QString kAttendeeCount = QStringLiteral("AttendeeCount");
inline const QString kAttendee = QStringLiteral("Attendee"); // Attendee1, Attendee2...
inline constexpr qsizetype kMaxAttendees = 500;
inline constexpr qsizetype kMaxPropertyLine = 2048;
// An organizer's or attendee's line as a file keeps it: empty for one longer than
// kMaxPropertyLine or holding a control character, which the file's reader leaves out.
QString propertyLineOf(const QString& line);
// Its own zone and the wall clock there ("2026-12-14T09:00").
inline const QString kTimeZone = QStringLiteral("TimeZone");
inline const QString kZoneStart = QStringLiteral("ZoneStart");
inline const QString kZoneEnd = QStringLiteral("ZoneEnd");
// What ties the day files of one appointment of several days together, and its ISO days.
inline const QString kSpanId = QStringLiteral("SpanId");
inline const QString kSpanFrom = QStringLiteral("SpanFrom");
inline const QString kSpanUntil = QStringLiteral("SpanUntil");
// The longest span kept as one: a longer one is days of their own.
inline constexpr qint64 kMaxSpanDays = 366;

// The id of the subscription that brought it.
inline const QString kSubscription = QStringLiteral("Subscription");

// A place as it is kept: one line (lines given joined by ", "), trimmed, without control
// characters, cut to kMaxLocation (*cut tells whether it was longer).
QString locationOf(const QString& text, bool* cut = nullptr);
inline constexpr qsizetype kMaxLocation = 256;

// A record's text and location, and the file's Text holding both.
struct TextAndLocation {
    QString text;
    QString location;
    bool operator==(const TextAndLocation&) const = default;
};
// What a file's Text means. Its last line (never its first, the title) "Location: ..." or
// "Ort: ..." is the location, whatever the Location key says: older copies show and edit only
// the line, so a line they changed wins, a key whose line they removed is stale, and a line an
// import once wrote without a key is read as the location.
TextAndLocation textAndLocation(const QString& fileText);
// The Text a file holds: the text with the location as its last line, as older copies show it.
QString fileText(const TextAndLocation& record);

// Room names as a list of them is written ("Room 2; Beamer"): each once (letter case aside), in
// order, trimmed, none empty, none with a control character or a semicolon.
QStringList roomsOf(const QString& text);
inline constexpr qsizetype kMaxRooms = 32;

// Login names as a list of them is written ("anna, ben", "anna,ben" or "anna ben"): each once,
// in order, none empty, as many as a team sensibly has.
QStringList loginsOf(const QString& text);
inline constexpr qsizetype kMaxLogins = 64;

// The days a recurring appointment is shown on, both ends inclusive. Each missing part has
// its own default: from 1 January 1990 until 31 December 2020.
struct RecurringRange {
    QDate from;
    QDate until;
};
RecurringRange readRecurringRange(const IniFile& ini);
// The rule a file names; none without one, or with one this program cannot hold.
std::optional<RepeatRule> readRule(const IniFile& ini);

// Reads a record; never fails. A date without a usable year takes fallbackDate, a missing
// hour or minute the one of `now`.
TerminPtr read(const IniFile& ini, const QDate& fallbackDate, const QDateTime& fileDate,
               const QTime& now);

// The bytes a save of the record as a new file writes, learnt without touching the disk.
QByteArray bytesOf(const ClassTermin& record, const QString& root);
// The record as its file, saved new, would read back: what a file keeps of it.
TerminPtr asFiled(const ClassTermin& record, const QString& root);

// Gathers the keys of the record into ini, in the order a new file receives them. A record
// without a reminder is written with 0 reminder minutes (and keeps that value).
void write(IniFile& ini, ClassTermin& appointment);

} // namespace AppointmentFile
