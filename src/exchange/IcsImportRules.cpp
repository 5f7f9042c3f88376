#include "IcsImportSupport.h"

#include "Common.h"
#include "IcsImport.h"

#include <algorithm>
#include <tuple>

namespace Ics {

namespace {

// A rule that yields nothing for this long (SECONDLY since 1800) is given up.
constexpr int kMaxSteps = 2000000;
// How far a series in another zone is checked for keeping its local hour.
constexpr int kClockChecks = 800;

bool wallBefore(const icaltimetype& a, const icaltimetype& b)
{
    return std::tuple(a.hour, a.minute, a.second) < std::tuple(b.hour, b.minute, b.second);
}

bool unset(const short* values)
{
    return values[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

// Unset, or one value equal to `own`: no restriction beyond what the start implies.
bool onlyOwn(const short* values, int own)
{
    return unset(values) || (values[0] == own && values[1] == ICAL_RECURRENCE_ARRAY_MAX);
}

bool excluded(const Exclusions& ex, const icaltimetype& t)
{
    return ex.dates.contains(Ics::dateOf(t)) || (!t.is_date && ex.instants.contains(secondsOf(t)));
}

} // namespace

std::optional<Recurrence::Kind> exactKind(const icalrecurrencetype& r, const icaltimetype& start)
{
    if (r.count > 0 || r.interval > 1 || r.rscale || !unset(r.by_second) || !unset(r.by_minute) ||
        !unset(r.by_hour) || !unset(r.by_year_day) || !unset(r.by_week_no) || !unset(r.by_set_pos))
        return std::nullopt;
    const QDate day = Ics::dateOf(start);
    switch (r.freq) {
    case ICAL_DAILY_RECURRENCE:
        if (unset(r.by_day) && unset(r.by_month_day) && unset(r.by_month))
            return Recurrence::Kind::Daily;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        if (unset(r.by_month_day) && unset(r.by_month) &&
            (unset(r.by_day) ||
             (r.by_day[1] == ICAL_RECURRENCE_ARRAY_MAX &&
              icalrecurrencetype_day_position(r.by_day[0]) == 0 &&
              int(icalrecurrencetype_day_day_of_week(r.by_day[0])) == Weekday(day))))
            return Recurrence::Kind::Weekly;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        if (unset(r.by_day) && unset(r.by_month) && onlyOwn(r.by_month_day, day.day()))
            return Recurrence::Kind::Monthly;
        break;
    case ICAL_YEARLY_RECURRENCE:
        // BYMONTHDAY without BYMONTH means that day of every month.
        if (unset(r.by_day) && onlyOwn(r.by_month, day.month()) &&
            onlyOwn(r.by_month_day, day.day()) && (unset(r.by_month_day) || !unset(r.by_month)))
            return Recurrence::Kind::Yearly;
        break;
    default:
        break;
    }
    return std::nullopt;
}

bool keepsLocalClock(const icalrecurrencetype& r, const icaltimetype& start)
{
    if (start.is_date || !start.zone)
        return true;
    IteratorPtr it(icalrecur_iterator_new(r, start));
    if (!it)
        return false;
    const QDateTime first = Ics::toLocal(start);
    const qint64 shift = Ics::dateOf(start).daysTo(first.date());
    const QDate horizon = Ics::dateOf(start).addYears(2);
    for (int i = 0; i < kClockChecks; ++i) {
        icaltimetype t = icalrecur_iterator_next(it.get());
        if (icaltime_is_null_time(t) || Ics::dateOf(t) > horizon)
            break;
        t.zone = start.zone;
        const QDateTime local = Ics::toLocal(t);
        if (local.time() != first.time() || Ics::dateOf(t).daysTo(local.date()) != shift)
            return false;
    }
    return true;
}

QDate lastDayOf(const icalrecurrencetype& r, const icaltimetype& start)
{
    if (icaltime_is_null_time(r.until))
        return Ics::kLastDay;
    icaltimetype until = r.until;
    if (until.is_date || start.is_date)
        return Ics::dateOf(until);
    if (start.zone && until.zone && until.zone != start.zone) {
        icaltimezone_convert_time(&until, const_cast<icaltimezone*>(until.zone),
                                  const_cast<icaltimezone*>(start.zone));
    } else if (!start.zone && until.zone) {
        const QDateTime local = Ics::toLocal(until);
        until =
            Ics::wallTime(local.date(), local.time().hour() * 60 + local.time().minute(), nullptr);
        until.second = local.time().second();
    }
    const QDate day = Ics::dateOf(until);
    return wallBefore(until, start) ? day.addDays(-1) : day;
}

void exclude(Exclusions& ex, icaltimetype t, const icaltimetype& start)
{
    if (icaltime_is_null_time(t))
        return;
    if (t.is_date || start.is_date) {
        ex.dates.insert(Ics::dateOf(t));
        return;
    }
    if (!t.zone) {
        t.zone = start.zone; // a floating exception means the event's own zone
    } else if (!start.zone) {
        const QDateTime local = Ics::toLocal(t);
        ex.instants.insert(naiveSeconds(local.date(), local.time()));
        return;
    }
    ex.instants.insert(secondsOf(t));
}

std::optional<Occurrences> occurrencesOf(const Event& e, const QList<icalrecurrencetype>& rules,
                                         const QList<icaltimetype>& extra, const Exclusions& ex,
                                         const QDate& limit, int room)
{
    Occurrences found;
    QSet<qint64> seen;
    enum class Step { Next, Stop };
    auto take = [&](icaltimetype t) {
        if (!t.is_date)
            t.zone = e.start.zone;
        const QDate day = t.zone ? Ics::toLocal(t).date() : Ics::dateOf(t);
        if (day > limit)
            return Step::Stop;
        if (day < Ics::kFirstDay || excluded(ex, t))
            return Step::Next;
        const qint64 key = t.is_date ? Ics::dateOf(t).toJulianDay() : secondsOf(t);
        if (seen.contains(key))
            return Step::Next;
        seen.insert(key);
        found.times.append(t);
        if (found.times.size() >= std::min(kMaxOccurrences, room)) {
            found.shortened = true;
            return Step::Stop;
        }
        return Step::Next;
    };

    if (rules.isEmpty())
        take(e.start);
    for (const icalrecurrencetype& rule : rules) {
        IteratorPtr it(icalrecur_iterator_new(rule, e.start));
        if (!it)
            return std::nullopt;
        // Nothing before 1900 is kept: a series from long ago starts there.
        if (Ics::dateOf(e.start) < Ics::kFirstDay && rule.count == 0) {
            icaltimetype from = e.start;
            from.year = Ics::kFirstDay.year();
            from.month = from.day = 1;
            icalrecur_iterator_set_start(it.get(), from);
        }
        for (int step = 0; !found.shortened; ++step) {
            const icaltimetype t = icalrecur_iterator_next(it.get());
            if (icaltime_is_null_time(t))
                break;
            if (step >= kMaxSteps) {
                found.shortened = true;
                break;
            }
            if (take(t) == Step::Stop)
                break;
        }
    }
    for (const icaltimetype& t : extra) {
        if (found.shortened)
            break;
        take(t);
    }
    return found;
}

} // namespace Ics
