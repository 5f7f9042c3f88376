#pragma once

#include "calendar/RepeatRule.h"
#include "profile/DateParts.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// One appointment in memory. The store hands out immutable snapshots (TerminPtr), the same
// one to every caller while its file is unchanged; a change is made to a copy.
class ClassTermin {
public:
    // Recurrence kind chosen in the editor: "d", "wd", "m" or "y". Not read from the file;
    // the directory of the file tells the kind.
    QString Recurring_code;

    const QDate& datum() const { return m_datum; }
    void setDatum(const QDate& date) { m_datum = date; }
    TimeOfDay StartTime() const { return m_startTime; }
    void setStartTime(TimeOfDay time) { m_startTime = time; }
    TimeOfDay EndTime() const { return m_endTime; }
    void setEndTime(TimeOfDay time) { m_endTime = time; }
    // From midnight to the end of the day: what every copy reads as the whole day.
    bool isAllDay() const
    {
        return m_startTime.minutes() == 0 && m_endTime.minutes() == TimeOfDay::kEndOfDay;
    }

    const QString& filename() const { return m_filename; }
    // A path inside the recurring tree also makes the appointment recurring; nothing here
    // ever turns it back.
    void setFilename(const QString& path);

    // Modification time of the file when it was loaded; never written to the file.
    const QDateTime& FileDate() const { return m_fileDate; }
    void setFileDate(const QDateTime& time) { m_fileDate = time; }

    bool IsRecurring() const { return m_isRecurring; }
    void setIsRecurring(bool on) { m_isRecurring = on; }
    bool IsReminder() const { return m_isReminder; }
    void setIsReminder(bool on) { m_isReminder = on; }
    qint16 RemindMinutes() const { return m_remindMinutes; }
    void setRemindMinutes(qint16 minutes) { m_remindMinutes = minutes; }
    // Remind all users (true) or only the owner.
    bool ReminderAll() const { return m_reminderAll; }
    void setReminderAll(bool on) { m_reminderAll = on; }
    // May hold line breaks, always as CR LF.
    const QString& Text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    // Texts are cut to this many bytes of UTF-8 where they enter, far below what a file may
    // hold and still be read.
    static constexpr qsizetype kMaxTextBytes = 64 * 1024;
    // The text cut to kMaxTextBytes between two characters; *cut tells whether it was longer.
    static QString cappedText(const QString& text, bool* cut = nullptr);

    // The text with a last line "Location: ..." in the installed language for one with a
    // location, as it reads where the text is shown whole.
    QString TextWithLocation() const;
    // The display text: "[!] " for a reminder, "[>>] " for a recurring appointment, before
    // TextWithLocation().
    QString GetFormatedText() const;

    // Index into the colour table; a record never reports colour 0.
    qint16 ColorCode() const { return m_colorCode == 0 ? 1 : m_colorCode; }
    void setColorCode(qint16 code) { m_colorCode = code; }
    bool EmailEnable() const { return m_emailEnable; }
    void setEmailEnable(bool on) { m_emailEnable = on; }
    const QDate& RecurringStartDate() const { return m_recurringStart; }
    void setRecurringStartDate(const QDate& date) { m_recurringStart = date; }
    const QDate& RecurringEndDate() const { return m_recurringEnd; }
    void setRecurringEndDate(const QDate& date) { m_recurringEnd = date; }
    // The owner: the login name of whoever created the appointment or took it over.
    const QString& Producer() const { return m_producer; }
    void setProducer(const QString& name) { m_producer = name; }
    // The colleagues it is for besides its owner, by login name ("For", which older copies do
    // not read: they show it under its owner alone).
    const QStringList& ForUsers() const { return m_forUsers; }
    void setForUsers(const QStringList& logins) { m_forUsers = logins; }
    // Whether it concerns the user with this login name: as its owner or one it is for (letter
    // case counts, as for the owner).
    bool Concerns(const QString& login) const;
    // Shown to everyone but its owner as "Busy" with its times ("Private", which older copies
    // do not read: they show it as any other). Discretion, not protection: the file stays
    // readable to anyone who opens it.
    bool IsPrivate() const { return m_private; }
    void setIsPrivate(bool on) { m_private = on; }
    // Another user's private appointment as this user may see it: its text is "Busy". Never
    // filed: the store refuses to write it over the real one.
    bool isMasked() const { return m_masked; }
    void setMasked(bool on) { m_masked = on; }
    // The rooms and equipment it books, by name ("Rooms", names separated by semicolons; older
    // copies do not read it). A room is booked by one appointment at a time.
    const QStringList& Rooms() const { return m_rooms; }
    void setRooms(const QStringList& names) { m_rooms = names; }
    // Where it takes place, one line ("Location", which older copies do not read: they see it
    // as the text's last line, see AppointmentFile::fileText).
    const QString& Location() const { return m_location; }
    void setLocation(const QString& place) { m_location = place; }
    // The team's categories it belongs to, by name ("Categories", names separated by
    // semicolons; older copies do not read it). A name the team's list lacks is kept too.
    const QStringList& Categories() const { return m_categories; }
    void setCategories(const QStringList& names) { m_categories = names; }
    // An imported or synced event's organizer and attendees, each as its whole iCalendar
    // property line ("ORGANIZER;CN=Anna:mailto:anna@example.org"), kept so that the export and
    // the sync write them back unchanged ("Organizer", "AttendeeCount", "Attendee1"...).
    const QString& Organizer() const { return m_organizer; }
    void setOrganizer(const QString& line) { m_organizer = line; }
    const QStringList& Attendees() const { return m_attendees; }
    void setAttendees(const QStringList& lines) { m_attendees = lines; }
    // An appointment made in a zone other than the team's (a flight at 09:00 New York): the
    // date and times above stay the team's wall clock, as every copy reads them, and these keep
    // the zone's IANA name and the wall clock there, held as Qt::UTC date-times that no offset
    // shifts ("TimeZone", "ZoneStart", "ZoneEnd"). No zone for an appointment of the team's.
    const QString& TimeZoneId() const { return m_timeZone; }
    const QDateTime& ZoneStart() const { return m_zoneStart; }
    const QDateTime& ZoneEnd() const { return m_zoneEnd; }
    bool hasOwnZone() const { return !m_timeZone.isEmpty(); }
    void setOwnZone(const QString& zone, const QDateTime& start, const QDateTime& end)
    {
        m_timeZone = zone;
        m_zoneStart = start;
        m_zoneEnd = end;
    }
    // One day of an appointment lasting several days: each day has a file of its own, as
    // older copies show it, and all of them carry the same id and the span's first and last
    // day ("SpanId", "SpanFrom", "SpanUntil"). Empty for an appointment of one day.
    const QString& SpanId() const { return m_spanId; }
    const QDate& SpanFrom() const { return m_spanFrom; }
    const QDate& SpanUntil() const { return m_spanUntil; }
    bool isSpanDay() const { return !m_spanId.isEmpty(); }
    void setSpan(const QString& id, const QDate& from, const QDate& until)
    {
        m_spanId = id;
        m_spanFrom = from;
        m_spanUntil = until;
    }
    // The UID of the iCalendar event it was imported from: a second import of the event
    // updates this appointment instead of adding another. Empty for the program's own.
    const QString& Uid() const { return m_uid; }
    void setUid(const QString& uid) { m_uid = uid; }

    // The subscription whose refresh brings it ("Subscription", the subscription's id; older
    // copies do not read it): the feed's, replaced at each refresh, so it is not changed here.
    const QString& SubscriptionId() const { return m_subscription; }
    void setSubscriptionId(const QString& id) { m_subscription = id; }
    bool isSubscribed() const { return !m_subscription.isEmpty(); }

    // What ties the files of one series together once it has exceptions: every part of it,
    // recurring or one-time, carries the same. Empty for a series in one file.
    const QString& SeriesId() const { return m_seriesId; }
    void setSeriesId(const QString& id) { m_seriesId = id; }
    // On a recurring part of a series: the days the series' one-time files lie on (a day
    // may be noted that holds none any more), so every file of the series is found however
    // far its days lie.
    const QList<QDate>& SeriesDays() const { return m_seriesDays; }
    void setSeriesDays(const QList<QDate>& days) { m_seriesDays = days; }

    // The rule the series repeats by ("RepeatRule" and "RepeatStart" beside the original keys,
    // which older copies read alone); none for a series whose directory alone tells how it
    // repeats, and for a one-time appointment.
    const std::optional<RepeatRule>& Rule() const { return m_rule; }
    void setRule(const std::optional<RepeatRule>& rule) { m_rule = rule; }
    // One occurrence of a series the directories cannot hold, kept as a one-time file on its
    // day that carries the series' rule.
    bool isOccurrence() const { return !m_isRecurring && m_rule.has_value(); }
    // On the rule file of such a series: the days of its rule that show no occurrence (deleted,
    // or moved as an exception), and the last day its occurrences are written up to.
    const QList<QDate>& SkippedDays() const { return m_skippedDays; }
    void setSkippedDays(const QList<QDate>& days) { m_skippedDays = days; }
    const QDate& WrittenUntil() const { return m_writtenUntil; }
    void setWrittenUntil(const QDate& day) { m_writtenUntil = day; }
    // Whether it belongs to a series: asked "only this, following or all" when changed.
    bool repeats() const { return m_isRecurring || isOccurrence(); }

    // A new appointment has no file yet.
    bool isNew() const { return m_filename.isEmpty(); }

    // Whether the user with this login name is reminded of it at all: a reminder is set, and
    // it is for all users or concerns the user (see Concerns).
    bool RemindsUser(const QString& login) const;
    // The longest lead time honoured: a longer one reminds this long before the start.
    static constexpr int kMaxRemindMinutes = 7 * 24 * 60;
    // Whether its reminder is due at now when it takes place on day: from the minute of the
    // reminder time (the start less the lead time) on and strictly before the start, in whole
    // minutes of the wall clock, so the reminder time may lie days before. The caller acts
    // on a true answer.
    bool CheckReminder(const QString& login, const QDate& day, const QDateTime& now) const;

private:
    QDate m_datum = kZeroDate;
    TimeOfDay m_startTime;
    TimeOfDay m_endTime;
    QString m_filename;
    QDateTime m_fileDate;
    bool m_isRecurring = false;
    bool m_isReminder = false;
    bool m_reminderAll = false;
    QString m_text;
    qint16 m_colorCode = 0;
    qint16 m_remindMinutes = 0;
    bool m_emailEnable = false;
    QDate m_recurringStart = kZeroDate;
    QDate m_recurringEnd = kZeroDate;
    QString m_producer;
    QStringList m_forUsers;
    bool m_private = false;
    bool m_masked = false;
    QStringList m_rooms;
    QString m_location;
    QStringList m_categories;
    QString m_organizer;
    QStringList m_attendees;
    QString m_timeZone;
    QDateTime m_zoneStart;
    QDateTime m_zoneEnd;
    QString m_spanId;
    QDate m_spanFrom;
    QDate m_spanUntil;
    QString m_uid;
    QString m_subscription;
    QString m_seriesId;
    QList<QDate> m_seriesDays;
    std::optional<RepeatRule> m_rule;
    QList<QDate> m_skippedDays;
    QDate m_writtenUntil;
};

using TerminPtr = std::shared_ptr<const ClassTermin>;

// True when the file lies in the recurring tree (see Recurrence::ofPath).
bool IsRecurringPath(const QString& path);
