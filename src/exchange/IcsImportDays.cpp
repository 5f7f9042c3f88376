#include "exchange/IcsImportSupport.h"

#include <algorithm>
#include <limits>

namespace Ics {

namespace {

constexpr qint64 kDay = 24 * 60 * 60;

int minuteOf(const QTime& time)
{
    return time.hour() * 60 + time.minute();
}

// The spans of `days` days from first on, the first `most` of them, each with the times fill
// gives for its number.
template <typename Fill>
QList<LocalSpan> spansFrom(const QDate& first, qint64 days, int most, const Fill& fill)
{
    QList<LocalSpan> spans;
    for (qint64 day = 0; day < days && day < most; ++day) {
        LocalSpan span = fill(day);
        span.date = first.addDays(day);
        span.day = int(day) + 1;
        span.days = int(std::min<qint64>(days, std::numeric_limits<int>::max()));
        spans.append(span);
    }
    return spans;
}

} // namespace

std::optional<QList<LocalSpan>> daysOf(const Event& e, const icaltimetype& occurrence, int most)
{
    if (e.allDay) {
        // An end on the start's own day, or none, still makes the day.
        const qint64 days = std::max<qint64>(1, (e.duration + kDay - 1) / kDay);
        return spansFrom(Ics::dateOf(occurrence), days, most, [](qint64) {
            return LocalSpan{{}, 0, TimeOfDay::kEndOfDay};
        });
    }
    QDateTime start;
    if (occurrence.zone) {
        start = Ics::toLocal(occurrence);
        if (!start.isValid())
            return std::nullopt;
    } else {
        // Floating: the wall clock as the file writes it, never shifted by a change of offset.
        const qint64 second = occurrence.hour * 3600 + occurrence.minute * 60 + occurrence.second;
        if (second < 0 || second >= kDay)
            return std::nullopt;
        const QDate date = Ics::dateOf(occurrence);
        if (!date.isValid()) // year 0: no day an appointment holds
            return QList<LocalSpan>{{date, int(second / 60), int(second / 60)}};
        start = QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(second);
    }
    const QDateTime end = start.addSecs(e.duration);
    // An end at midnight closes the day before at 24:00.
    QDate last = end.date();
    if (end.time() == QTime(0, 0) && last > start.date())
        last = last.addDays(-1);
    const qint64 days = start.date().daysTo(last) + 1;
    const int startMinute = minuteOf(start.time());
    const int endMinute = last < end.date() ? TimeOfDay::kEndOfDay : minuteOf(end.time());
    return spansFrom(start.date(), days, most, [&](qint64 day) {
        return LocalSpan{{},
                         day == 0 ? startMinute : 0,
                         day == days - 1 ? std::max(endMinute, day == 0 ? startMinute : 0)
                                         : TimeOfDay::kEndOfDay};
    });
}

} // namespace Ics
