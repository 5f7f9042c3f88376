#include "calendar/ZoneTimes.h"

namespace ZoneTimes {

namespace {

constexpr qint64 kHalfDay = 12 * 60 * 60;
constexpr int kMinutesOfDay = 24 * 60;

qint64 wallSeconds(const QDateTime& wallClock)
{
    return QDateTime(wallClock.date(), wallClock.time(), Qt::UTC).toSecsSinceEpoch();
}

int offsetAt(qint64 second, const QTimeZone& zone)
{
    return zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(second, Qt::UTC));
}

int minuteOf(const QTime& time)
{
    return time.hour() * 60 + time.minute();
}

} // namespace

QTimeZone zoneOf(const QString& id)
{
    if (id.isEmpty())
        return QTimeZone::systemTimeZone();
    const QByteArray name = id.toUtf8();
    return QTimeZone::isTimeZoneIdAvailable(name) ? QTimeZone(name) : QTimeZone();
}

QDateTime momentOf(const QDateTime& wallClock, const QTimeZone& zone)
{
    const qint64 wall = wallSeconds(wallClock);
    // Offsets change far less often than twice a day: the one before and the one after cover
    // every reading of the wall clock.
    const int before = offsetAt(wall - kHalfDay, zone);
    const int after = offsetAt(wall + kHalfDay, zone);
    std::optional<qint64> first;
    for (const int offset : {before, after}) {
        const qint64 moment = wall - offset;
        if (moment + offsetAt(moment, zone) == wall && (!first || moment < *first))
            first = moment;
    }
    return QDateTime::fromSecsSinceEpoch(first.value_or(wall - before), Qt::UTC);
}

QDateTime wallClockAt(const QDateTime& moment, const QTimeZone& zone)
{
    const qint64 second = moment.toSecsSinceEpoch();
    return QDateTime::fromSecsSinceEpoch(second + offsetAt(second, zone), Qt::UTC);
}

std::optional<QDateTime> convert(const QDateTime& wallClock, const QString& fromId,
                                 const QString& toId)
{
    const QTimeZone from = zoneOf(fromId);
    const QTimeZone to = zoneOf(toId);
    if (!from.isValid() || !to.isValid() || !wallClock.isValid())
        return std::nullopt;
    return wallClockAt(momentOf(wallClock, from), to);
}

namespace {

std::optional<WallSpan> converted(const WallSpan& span, const QString& fromId, const QString& toId)
{
    if (span.end < span.start)
        return std::nullopt;
    const std::optional<QDateTime> start = convert(span.start, fromId, toId);
    const std::optional<QDateTime> end = convert(span.end, fromId, toId);
    if (!start || !end)
        return std::nullopt;
    // A start in a gap moves forward; the end never lies before it.
    return WallSpan{*start, std::max(*start, *end)};
}

} // namespace

std::optional<WallSpan> teamSpan(const QString& zoneId, const WallSpan& inZone,
                                 const QString& teamZoneId)
{
    if (zoneId.isEmpty())
        return std::nullopt;
    return converted(inZone, zoneId, teamZoneId);
}

std::optional<WallSpan> zoneSpan(const QString& zoneId, const WallSpan& inTeam,
                                 const QString& teamZoneId)
{
    if (zoneId.isEmpty())
        return std::nullopt;
    return converted(inTeam, teamZoneId, zoneId);
}

QList<Day> daysOf(const WallSpan& span)
{
    QDate last = span.end.date();
    if (span.end.time() == QTime(0, 0) && last > span.start.date())
        last = last.addDays(-1);
    QList<Day> days;
    for (QDate d = span.start.date(); d.isValid() && d <= last; d = d.addDays(1)) {
        const int start = d == span.start.date() ? minuteOf(span.start.time()) : 0;
        const int end = d < span.end.date() ? kMinutesOfDay : minuteOf(span.end.time());
        days.append({d, start, std::max(start, end)});
    }
    return days;
}

bool isOwnZone(const QString& zoneId, const QString& teamZoneId)
{
    const QTimeZone zone = zoneOf(zoneId);
    const QTimeZone team = zoneOf(teamZoneId);
    if (zoneId.isEmpty() || !zone.isValid())
        return false;
    return !team.isValid() || zone.id() != team.id();
}

QString cityOf(const QString& zoneId)
{
    QString city = zoneId.section(u'/', -1);
    city.replace(u'_', u' ');
    return city;
}

} // namespace ZoneTimes
