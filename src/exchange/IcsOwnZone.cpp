#include "exchange/IcsOwnZone.h"

#include "calendar/ZoneTimes.h"

#include <QTimeZone>

namespace Ics {

namespace {

QString knownName(QByteArray name)
{
    // Programs put their own prefix before the name: /mozilla.org/20050126_1/Europe/Berlin.
    for (;;) {
        if (QTimeZone::isTimeZoneIdAvailable(name))
            return QString::fromUtf8(name);
        const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(name);
        if (!iana.isEmpty())
            return QString::fromUtf8(iana);
        if (!name.startsWith('/'))
            return {};
        const qsizetype next = name.indexOf('/', 1);
        if (next < 0)
            return {};
        name = name.mid(next + 1);
    }
}

} // namespace

QString ianaNameOf(const icaltimezone* zone)
{
    if (!zone || zone == icaltimezone_get_utc_timezone())
        return {};
    auto* z = const_cast<icaltimezone*>(zone); // libical's getters take no const
    for (const char* name : {icaltimezone_get_location(z), icaltimezone_get_tzid(z)}) {
        if (name && *name) {
            if (const QString known = knownName(QByteArray(name)); !known.isEmpty())
                return known;
        }
    }
    return {};
}

void keepOwnZone(ClassTermin& a, const icaltimetype& start, qint64 seconds)
{
    if (start.is_date || !start.zone)
        return;
    const QString zone = ianaNameOf(start.zone);
    // The calendar's zone as this thread's import reads times in.
    const QString team = QString::fromUtf8(localAt(0).timeZone().id());
    if (isUtcName(zone) || !ZoneTimes::isOwnZone(zone, team))
        return;
    const QDateTime from(QDate(start.year, start.month, start.day), QTime(start.hour, start.minute),
                         Qt::UTC);
    const QDateTime moment = ZoneTimes::momentOf(from, ZoneTimes::zoneOf(zone));
    a.setOwnZone(zone, from,
                 ZoneTimes::wallClockAt(moment.addSecs(seconds), ZoneTimes::zoneOf(zone)));
}

} // namespace Ics
