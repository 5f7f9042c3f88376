#include "exchange/IcsExport.h"

#include "exchange/IcsSupport.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <QList>
#include <QSet>
#include <QTimeZone>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

using Ics::ComponentPtr;

const char* const kProductId = "-//Norvane//Norvane Calendar//EN";

// The zone the times are written in.
struct OutputZone {
    icaltimezone* zone = nullptr; // null: floating local time
    QByteArray id;

    bool isUtc() const { return zone && zone == icaltimezone_get_utc_timezone(); }
    bool named() const { return zone && !isUtc(); }
};

OutputZone outputZone(const QString& id)
{
    OutputZone out;
    out.id = id.isEmpty() ? QTimeZone::systemTimeZoneId() : id.toUtf8();
    // UTC by any of its names is written with Z: a TZID beside a UTC value is no iCalendar.
    if (Ics::isUtcName(QString::fromUtf8(out.id)))
        out.zone = icaltimezone_get_utc_timezone();
    else if (!out.id.isEmpty())
        out.zone = icaltimezone_get_builtin_timezone(out.id.constData());
    return out;
}

// A local date and minute of the day (1440 is the end of the day) as the file writes it: a
// wall-clock time beside its TZID, UTC, or floating.
icaltimetype outputTime(const QDate& date, int minutes, const OutputZone& out)
{
    if (out.isUtc()) {
        const QDateTime local = Ics::localDateTime(date.addDays(minutes / 1440),
                                                   QTime(minutes % 1440 / 60, minutes % 60));
        return icaltime_from_timet_with_zone(time_t(local.toSecsSinceEpoch()), 0, out.zone);
    }
    // The TZID parameter names the zone; the value itself stays a wall-clock time.
    return Ics::wallTime(date, minutes, nullptr);
}

// A recurrence's end: RFC 5545 wants UTC beside a zoned start.
icaltimetype untilTime(const QDate& date, int minutes, const OutputZone& out)
{
    if (!out.named())
        return outputTime(date, minutes, out);
    icaltimetype time = Ics::wallTime(date, minutes, out.zone);
    icaltimezone* utc = icaltimezone_get_utc_timezone();
    icaltimezone_convert_time(&time, out.zone, utc);
    time.zone = utc;
    return time;
}

icalproperty* zoned(icalproperty* property, const OutputZone& out)
{
    if (out.named())
        icalproperty_add_parameter(property, icalparameter_new_tzid(out.id.constData()));
    return property;
}

icalrecurrencetype_frequency frequencyOf(Recurrence::Kind kind)
{
    switch (kind) {
    case Recurrence::Kind::None:
        break;
    case Recurrence::Kind::Daily:
        return ICAL_DAILY_RECURRENCE;
    case Recurrence::Kind::Weekly:
        return ICAL_WEEKLY_RECURRENCE;
    case Recurrence::Kind::Monthly:
        return ICAL_MONTHLY_RECURRENCE;
    case Recurrence::Kind::Yearly:
        return ICAL_YEARLY_RECURRENCE;
    }
    return ICAL_NO_RECURRENCE;
}

QString uidOf(const QString& path, const QString& dataFolder)
{
    QString relative = path.startsWith(dataFolder) ? path.mid(dataFolder.size()) : path;
    return relative.replace(QLatin1Char('\\'), QLatin1Char('/')) + QStringLiteral("@norvane");
}

struct Source {
    TerminPtr appointment;
    QDate shownOn; // the first day of the range that shows it
};

struct Event {
    ComponentPtr component;
    icaltimetype firstStart; // for the time zone's coverage
};

Event eventOf(const Source& source, const QString& dataFolder, const OutputZone& out,
              const icaltimetype& stamp, const QString& uid = {})
{
    const ClassTermin& a = *source.appointment;
    const Recurrence::Kind kind = Recurrence::ofPath(a.filename());
    QDate day = source.shownOn;
    if (kind != Recurrence::Kind::None) {
        // It is shown on shownOn, so a first day exists at or before it.
        const QDate first = Ics::firstDayApplying(
            kind, source.shownOn, std::max(a.RecurringStartDate(), Ics::kFirstDay), source.shownOn);
        if (first.isValid())
            day = first;
    }
    const int start = std::min(a.StartTime().minutes(), TimeOfDay::kEndOfDay - 1);
    const int end = std::clamp(a.EndTime().minutes(), start, int(TimeOfDay::kEndOfDay));

    ComponentPtr event(icalcomponent_new_vevent());
    icalcomponent* e = event.get();
    icalcomponent_add_property(
        e, icalproperty_new_uid(
               (uid.isEmpty() ? uidOf(a.filename(), dataFolder) : uid).toUtf8().constData()));
    icalcomponent_add_property(e, icalproperty_new_dtstamp(stamp));
    const bool allDay = a.isAllDay();
    if (allDay) {
        // A day, not a time: it stays that day in every zone.
        icalcomponent_add_property(e, icalproperty_new_dtstart(Ics::dateOnly(day)));
        icalcomponent_add_property(e, icalproperty_new_dtend(Ics::dateOnly(day.addDays(1))));
    } else {
        icalcomponent_add_property(
            e, zoned(icalproperty_new_dtstart(outputTime(day, start, out)), out));
        icalcomponent_add_property(e,
                                   zoned(icalproperty_new_dtend(outputTime(day, end, out)), out));
    }

    const Ics::EventText text = Ics::eventTextOf(a.Text());
    const QByteArray summary = text.summary.toUtf8();
    // An empty value is no value: readers drop the line or complain about it.
    if (!summary.isEmpty())
        icalcomponent_add_property(e, icalproperty_new_summary(summary.constData()));
    if (!text.description.isEmpty())
        icalcomponent_add_property(
            e, icalproperty_new_description(text.description.toUtf8().constData()));
    if (!text.location.isEmpty())
        icalcomponent_add_property(e,
                                   icalproperty_new_location(text.location.toUtf8().constData()));

    if (kind != Recurrence::Kind::None) {
        icalrecurrencetype rule;
        icalrecurrencetype_clear(&rule);
        rule.freq = frequencyOf(kind);
        const QDate last = std::min(a.RecurringEndDate(), Ics::kLastDay);
        rule.until = allDay ? Ics::dateOnly(last) : untilTime(last, start, out);
        icalcomponent_add_property(e, icalproperty_new_rrule(rule));
    }
    if (a.IsReminder() && a.RemindMinutes() > 0) {
        icalcomponent* alarm = icalcomponent_new_valarm();
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_from_int(-60 * a.RemindMinutes());
        icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_property(
            alarm,
            icalproperty_new_description(summary.isEmpty() ? "Reminder" : summary.constData()));
        icalcomponent_add_component(e, alarm);
    }
    return {std::move(event), allDay ? Ics::dateOnly(day) : untilTime(day, start, out)};
}

// The zone's definition from the first exported start on: its whole history would only
// make the file long.
ComponentPtr timeZoneOf(const OutputZone& out, icaltimetype from)
{
    ComponentPtr vtimezone(icalcomponent_new_clone(icaltimezone_get_component(out.zone)));
    icalproperty* tzid = icalcomponent_get_first_property(vtimezone.get(), ICAL_TZID_PROPERTY);
    if (tzid)
        icalproperty_set_tzid(tzid, out.id.constData());
    icaltime_adjust(&from, -1, 0, 0, 0);
    icaltimezone_truncate_vtimezone(vtimezone.get(), from, icaltime_null_time(), 0);
    return vtimezone;
}

// Every appointment shown from `from` to `to`, once, with the first day that shows it. A pass
// lists each directory once but keeps every file it read until it ends, so a long range takes
// a new pass after every kAppointmentsPerPass appointments instead of holding all their files.
void forEachShown(DataAccess& store, const QDate& from, const QDate& to,
                  const std::function<void(const Source&)>& take)
{
    constexpr int kAppointmentsPerPass = 2000;
    // Only a recurring appointment comes again on a later day; a one-time one has its own day.
    QSet<QString> recurringTaken;
    std::optional<DataAccess::Pass> pass;
    int inPass = 0;
    for (QDate day = from; day.isValid() && day <= to; day = day.addDays(1)) {
        if (!pass || inPass >= kAppointmentsPerPass) {
            pass.reset();
            pass.emplace(store);
            inPass = 0;
        }
        const QList<TerminPtr> shown = store.GetAppointmentsOfDay(day);
        inPass += int(shown.size());
        for (const TerminPtr& a : shown) {
            if (!DataAccess::DayOfOneTimeFile(a->filename()).isValid()) {
                if (recurringTaken.contains(a->filename()))
                    continue;
                recurringTaken.insert(a->filename());
            }
            take({a, day});
        }
    }
}

void appendText(QByteArray& bytes, icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    bytes.append(text);
    icalmemory_free_buffer(text);
}

icaltimetype stampOf(const QDateTime& stamp)
{
    const QDateTime now = stamp.isValid() ? stamp : QDateTime::currentDateTimeUtc();
    return icaltime_from_timet_with_zone(time_t(now.toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

} // namespace

QByteArray ExportAppointment(const TerminPtr& appointment, const QDate& shownOn, const QString& uid,
                             const IcsExportOptions& options)
{
    Ics::prepareLibrary();
    const Ics::CalendarZone calendarZone(options.timeZoneId);
    const OutputZone out = outputZone(options.timeZoneId);
    ComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kProductId));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    Event event = eventOf({appointment, shownOn}, {}, out, stampOf(options.stamp), uid);
    // A day names no zone: a zone's definition no event uses is what some servers refuse.
    if (out.named() && !appointment->isAllDay())
        icalcomponent_add_component(calendar.get(), timeZoneOf(out, event.firstStart).release());
    icalcomponent_add_component(calendar.get(), event.component.release());
    QByteArray bytes;
    appendText(bytes, calendar.get());
    return bytes;
}

QByteArray ExportIcs(DataAccess& store, const QDate& from, const QDate& to,
                     const QString& dataFolder, const IcsExportOptions& options, int* eventCount)
{
    Ics::prepareLibrary();
    const Ics::CalendarZone calendarZone(options.timeZoneId);
    const OutputZone out = outputZone(options.timeZoneId);
    const icaltimetype stamp = stampOf(options.stamp);

    // The calendar without components, cut before its end: each event is written as text as
    // soon as it is read, never a tree of all of them beside the file's bytes.
    QByteArray bytes;
    {
        ComponentPtr calendar(icalcomponent_new_vcalendar());
        icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kProductId));
        icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
        icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
        appendText(bytes, calendar.get());
    }
    const QByteArray end = "END:VCALENDAR\r\n";
    Q_ASSERT(bytes.endsWith(end));
    bytes.chop(end.size());
    const qsizetype zoneAt = bytes.size();

    int count = 0;
    std::optional<icaltimetype> earliest;
    forEachShown(store, from, to, [&](const Source& source) {
        const Event event = eventOf(source, dataFolder, out, stamp);
        appendText(bytes, event.component.get());
        if (!source.appointment->isAllDay() &&
            (!earliest || icaltime_compare(event.firstStart, *earliest) < 0))
            earliest = event.firstStart;
        ++count;
    });
    // The zone's definition comes before the events; it is known once the earliest start is.
    if (out.named() && earliest) {
        QByteArray zone;
        appendText(zone, timeZoneOf(out, *earliest).get());
        bytes.insert(zoneAt, zone);
    }
    bytes.append(end);
    if (eventCount)
        *eventCount = count;
    return bytes;
}
