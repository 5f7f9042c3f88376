#include "exchange/IcsSupport.h"

#include "calendar/Weeks.h"

#include <QStringList>

#include <algorithm>
#include <utility>

namespace Ics {

void prepareLibrary()
{
    icalerror_set_errors_are_fatal(0);
}

QDate firstDayApplying(Recurrence::Kind kind, const QDate& pattern, const QDate& from,
                       const QDate& until)
{
    // 29 February may be eight years away (2096, 2104).
    constexpr int kLongestGap = 8 * 366 + 1;
    QDate day = from;
    for (int i = 0; i <= kLongestGap && day <= until; ++i, day = day.addDays(1)) {
        if (Recurrence::appliesOn(kind, pattern, day))
            return day;
    }
    return {};
}

icaltimetype wallTime(const QDate& date, int minutes, const icaltimezone* zone)
{
    icaltimetype time = icaltime_null_time();
    time.year = date.year();
    time.month = date.month();
    time.day = date.day();
    time.hour = minutes / 60;
    time.minute = minutes % 60;
    time.zone = zone;
    return icaltime_normalize(time);
}

icaltimetype dateOnly(const QDate& date)
{
    icaltimetype time = icaltime_null_date();
    time.year = date.year();
    time.month = date.month();
    time.day = date.day();
    return time;
}

QDate dateOf(const icaltimetype& time)
{
    return QDate(time.year, time.month, time.day);
}

namespace {

// Days from 1970-01-01 of a date of the proleptic Gregorian calendar, year 0 included.
qint64 civilDays(qint64 year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The offset from UTC, in seconds, that zone has at an instant. libical works out a zone's
// changes up to the year asked for: past 2300, which no appointment file holds, the offset
// of 2300 is taken.
thread_local CoveredZones* t_coveredZones = nullptr;

int offsetAt(const icaltimezone* zone, qint64 instant)
{
    static const qint64 kLatest = civilDays(2300, 1, 1) * 86400;
    zone = CoveredZones::at(zone, instant);
    icaltimetype utc = icaltime_from_timet_with_zone(time_t(std::min(instant, kLatest)), 0,
                                                     icaltimezone_get_utc_timezone());
    int daylight = 0;
    return icaltimezone_get_utc_offset_of_utc_time(const_cast<icaltimezone*>(zone), &utc,
                                                   &daylight);
}

} // namespace

CoveredZones::CoveredZones()
    : m_previous(std::exchange(t_coveredZones, this))
{
}

CoveredZones::~CoveredZones()
{
    t_coveredZones = m_previous;
}

void CoveredZones::add(const icaltimezone* zone, const ZoneCoverage& coverage)
{
    m_zones.insert(zone, coverage);
}

const icaltimezone* CoveredZones::at(const icaltimezone* zone, qint64 instant)
{
    if (!t_coveredZones)
        return zone;
    const auto found = t_coveredZones->m_zones.constFind(zone);
    if (found == t_coveredZones->m_zones.cend() ||
        (instant >= found->from && instant < found->until))
        return zone;
    return found->outside;
}

qint64 wallSeconds(const icaltimetype& time)
{
    return civilDays(time.year, time.month, time.day) * 86400 + time.hour * 3600 +
           time.minute * 60 + time.second;
}

qint64 instantOf(const icaltimetype& time, const icaltimezone* zone)
{
    const qint64 wall = wallSeconds(time);
    if (!zone || zone == icaltimezone_get_utc_timezone())
        return wall;
    // A change of offset lies within a day of the wall time, if any does: the offsets on
    // either side are the only ones the wall time can mean.
    const int before = offsetAt(zone, wall - 86400);
    const int after = offsetAt(zone, wall + 86400);
    const bool beforeFits = offsetAt(zone, wall - before) == before;
    const bool afterFits = offsetAt(zone, wall - after) == after;
    if (beforeFits && afterFits)
        return std::min(wall - before, wall - after); // twice: the first one
    if (afterFits)
        return wall - after;
    return wall - before; // in the gap, or no change at all
}

namespace {

thread_local std::optional<QTimeZone> t_calendarZone;

} // namespace

CalendarZone::CalendarZone(const QString& id)
    : m_previous(t_calendarZone)
{
    if (id.isEmpty())
        t_calendarZone.reset();
    else
        t_calendarZone = QTimeZone(id.toUtf8());
}

CalendarZone::~CalendarZone()
{
    t_calendarZone = m_previous;
}

QDateTime localDateTime(const QDate& date, const QTime& time)
{
    return t_calendarZone ? QDateTime(date, time, *t_calendarZone) : QDateTime(date, time);
}

QDateTime localAt(qint64 secondsSinceEpoch)
{
    return t_calendarZone ? QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, *t_calendarZone)
                          : QDateTime::fromSecsSinceEpoch(secondsSinceEpoch);
}

bool isUtcName(const QString& id)
{
    static const QStringList kNames{
        QStringLiteral("UTC"),       QStringLiteral("UCT"),       QStringLiteral("GMT"),
        QStringLiteral("GMT0"),      QStringLiteral("GMT+0"),     QStringLiteral("GMT-0"),
        QStringLiteral("Greenwich"), QStringLiteral("Universal"), QStringLiteral("Zulu")};
    QString name = id;
    if (name.startsWith(QLatin1String("Etc/")))
        name = name.mid(4);
    return kNames.contains(name, Qt::CaseInsensitive);
}

icaltimetype wallTimeAt(qint64 instant, const icaltimezone* zone)
{
    if (!zone) {
        const QDateTime local = localAt(instant);
        icaltimetype t =
            wallTime(local.date(), local.time().hour() * 60 + local.time().minute(), nullptr);
        t.second = local.time().second();
        return t;
    }
    const qint64 wall = instant + offsetAt(zone, instant);
    icaltimetype t =
        icaltime_from_timet_with_zone(time_t(wall), 0, icaltimezone_get_utc_timezone());
    t.zone = zone;
    return t;
}

QDateTime toLocal(const icaltimetype& time)
{
    if (time.is_date)
        return localDateTime(dateOf(time), QTime(0, 0));
    if (time.zone)
        return localAt(instantOf(time, time.zone));
    return localDateTime(dateOf(time), QTime(time.hour, time.minute, time.second));
}

QString text(const char* utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

EventText eventTextOf(const QString& text)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QStringList lines = unified.split(u'\n');
    EventText out;
    out.summary = lines.takeFirst();
    out.description = lines.join(u'\n');
    // libical drops the blanks a value ends in: a title that ends in some comes back whole only
    // as the description's first line, which the import reads as the title.
    if (!out.summary.isEmpty() && out.summary.back().isSpace())
        out.description =
            out.description.isEmpty() ? out.summary : out.summary + u'\n' + out.description;
    return out;
}

} // namespace Ics
