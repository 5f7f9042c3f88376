#include "layout/FreeSlots.h"

#include "calendar/Formats.h"
#include "settings/Settings.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <utility>

namespace FreeSlots {

namespace {

constexpr qint64 kDay = TimeOfDay::kEndOfDay;

// Minutes from the first day's midnight, from and to.
using Span = std::pair<qint64, qint64>;

// The busy times of the days read, merged: touching or overlapping ones are one.
QList<Span> busyTimes(const Request& request, const DaySource& days)
{
    QList<Span> busy;
    for (const QDate& day : daysToRead(request)) {
        const qint64 midnight = request.from.daysTo(day) * kDay;
        for (const TerminPtr& a : days(day)) {
            if (!keepsBusy(*a, request))
                continue;
            const int start = a->StartTime().minutes();
            const int end = a->EndTime().minutes();
            // One of no length takes its first minute, as the views draw it.
            const int from = std::min(start, end);
            const int to = std::max(std::max(start, end), from + 1);
            busy.append({midnight + from, midnight + to});
        }
    }
    std::sort(busy.begin(), busy.end());
    QList<Span> merged;
    for (const Span& span : busy) {
        if (!merged.isEmpty() && span.first <= merged.last().second)
            merged.last().second = std::max(merged.last().second, span.second);
        else
            merged.append(span);
    }
    return merged;
}

qint64 roundedUp(qint64 minutes)
{
    return (minutes + kStep - 1) / kStep * kStep;
}

} // namespace

int Hours::endMinutes() const
{
    return end > start ? end.minutes() : end.minutes() + TimeOfDay::kEndOfDay;
}

QString Hours::text() const
{
    const QString format = QStringLiteral("24h");
    return FormatTime(start, format) + QLatin1Char('-') + FormatTime(end, format);
}

std::optional<Hours> Hours::parse(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,2}):(\\d\\d)-(\\d{1,2}):(\\d\\d)$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    int minutes[2] = {};
    for (int i = 0; i < 2; ++i) {
        const int hour = match.captured(1 + 2 * i).toInt();
        const int minute = match.captured(2 + 2 * i).toInt();
        minutes[i] = hour * 60 + minute;
        if (minute > 59 || minutes[i] > TimeOfDay::kEndOfDay)
            return std::nullopt;
    }
    if (minutes[0] == TimeOfDay::kEndOfDay)
        return std::nullopt; // a day's hours start before its end
    return Hours{TimeOfDay::fromMinutes(minutes[0]), TimeOfDay::fromMinutes(minutes[1])};
}

QList<int> shownWeekdays(const Settings& settings)
{
    // The settings count from Sunday (1) to Saturday (7).
    QList<int> weekdays;
    for (int qtDay = 1; qtDay <= 7; ++qtDay)
        if (settings.ShowWeek(qtDay % 7 + 1))
            weekdays << qtDay;
    return weekdays;
}

QList<QDate> daysToRead(const Request& request)
{
    QList<QDate> days;
    if (!request.from.isValid() || !request.to.isValid())
        return days;
    const QDate last = request.hours.acrossDays() ? request.to.addDays(1) : request.to;
    for (QDate day = request.from; day <= last; day = day.addDays(1))
        days << day;
    return days;
}

bool keepsBusy(const ClassTermin& a, const Request& request)
{
    return std::any_of(request.persons.begin(), request.persons.end(),
                       [&a](const QString& login) { return a.Concerns(login); }) ||
           std::any_of(request.rooms.begin(), request.rooms.end(), [&a](const QString& room) {
               return a.Rooms().contains(room, Qt::CaseInsensitive);
           });
}

QList<Slot> find(const Request& request, const DaySource& days)
{
    QList<Slot> found;
    if ((request.persons.isEmpty() && request.rooms.isEmpty()) || request.minutes <= 0 ||
        !request.from.isValid() || !request.to.isValid())
        return found;
    const QList<Span> busy = busyTimes(request, days);
    const qint64 length = request.minutes;
    const qint64 earliest = request.notBefore.isValid()
                                ? request.from.daysTo(request.notBefore.date()) * kDay +
                                      request.notBefore.time().msecsSinceStartOfDay() / 60000
                                : std::numeric_limits<qint64>::min();
    qsizetype next = 0; // the first busy time that may still lie ahead
    for (QDate day = request.from; day <= request.to; day = day.addDays(1)) {
        if (!request.weekdays.contains(day.dayOfWeek()))
            continue;
        const qint64 midnight = request.from.daysTo(day) * kDay;
        const qint64 end = midnight + request.hours.endMinutes();
        qint64 start = std::max(midnight + request.hours.start.minutes(), earliest);
        bool afterBusy = false;
        for (;;) {
            if (!afterBusy)
                start = roundedUp(start);
            if (start + length > end)
                break;
            const qint64 dayEnd = (start / kDay + 1) * kDay;
            if (start + length > dayEnd) {
                start = dayEnd;
                afterBusy = false;
                continue;
            }
            while (next < busy.size() && busy[next].second <= start)
                ++next;
            if (next < busy.size() && busy[next].first < start + length) {
                start = busy[next].second;
                afterBusy = true;
                continue;
            }
            const qint64 dayStart = start / kDay * kDay;
            found.append({request.from.addDays(start / kDay),
                          TimeOfDay::fromMinutes(int(start - dayStart)),
                          TimeOfDay::fromMinutes(int(start + length - dayStart))});
            if (request.most > 0 && found.size() >= request.most)
                return found;
            start += length;
            afterBusy = false;
        }
    }
    return found;
}

} // namespace FreeSlots
