#include "exchange/IcsImportSupport.h"

#include "calendar/Weeks.h"
#include "exchange/IcsImport.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace Ics {

namespace {

// How far a series in another zone is checked for keeping its local hour.
constexpr int kClockChecks = 800;
// libical finds the next occurrence by stepping one period after another until one matches,
// up to its own last year when none does, all within one call. A rule is followed for this
// many periods at most: a rule repeating within a day costs a fraction of a second even when it
// never matches, a daily one (microseconds a step) or a monthly one (most of a millisecond) a
// few seconds at worst, and that only for a series begun centuries before 1900.
constexpr qint64 kMaxSubDailySteps = kMaxOccurrences;
constexpr qint64 kMaxDailySteps = 150000;
constexpr qint64 kMaxWeeklySteps = 100000;
constexpr qint64 kMaxMonthlySteps = 5000;
constexpr qint64 kMaxYearlySteps = 3000;

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

int daysInMonth(int month, bool leap)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

template <size_t N> QList<int> valuesOf(const short (&values)[N])
{
    QList<int> found;
    for (size_t i = 0; i < N && values[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
        found << values[i];
    return found;
}

// The month a day of the year (from the end when negative) falls in; 0 for none.
int monthOfYearDay(int yearDay, bool leap)
{
    int day = yearDay > 0 ? yearDay : (leap ? 366 : 365) + yearDay + 1;
    for (int month = 1; month <= 12; ++month) {
        if (day >= 1 && day <= daysInMonth(month, leap))
            return month;
        day -= daysInMonth(month, leap);
    }
    return 0;
}

// The rule as libical follows it from a wall-clock start: UNTIL on the same wall clock, and
// never later than `last` (wall seconds), which bounds the periods stepped inside each call.
struct WallRule {
    icalrecurrencetype rule;
    bool bounded = false; // `last` cut the rule short
};

WallRule wallRule(icalrecurrencetype r, const icaltimetype& start, qint64 last)
{
    if (!icaltime_is_null_time(r.until) && !start.is_date) {
        if (r.until.is_date) {
            // A day as the end of a timed series: all of that day, as lastDayOf() reads it.
            r.until.is_date = 0;
            r.until.hour = 23;
            r.until.minute = r.until.second = 59;
        } else if (r.until.zone || icaltime_is_utc(r.until)) {
            r.until = inFrameOf(r.until, start);
        }
        r.until.zone = nullptr;
    }
    const bool open = icaltime_is_null_time(r.until);
    if (!open && Ics::wallSeconds(r.until) <= last)
        return {r, false};
    icaltimetype until = Ics::wallTimeAt(last, icaltimezone_get_utc_timezone());
    until.zone = nullptr;
    if (start.is_date) {
        until.is_date = 1;
        until.hour = until.minute = until.second = 0;
    }
    r.until = until;
    return {r, true};
}

icaltimetype wallClockOf(icaltimetype t)
{
    t.zone = nullptr;
    return t;
}

} // namespace

qint64 steppingSpan(const icalrecurrencetype& r)
{
    constexpr qint64 kDay = 24 * 60 * 60;
    const qint64 interval = std::max<qint64>(1, r.interval);
    switch (r.freq) {
    case ICAL_SECONDLY_RECURRENCE:
        return kMaxSubDailySteps * interval;
    case ICAL_MINUTELY_RECURRENCE:
        return kMaxSubDailySteps * interval * 60;
    case ICAL_HOURLY_RECURRENCE:
        return kMaxSubDailySteps * interval * 3600;
    case ICAL_DAILY_RECURRENCE:
        return kMaxDailySteps * interval * kDay;
    case ICAL_WEEKLY_RECURRENCE:
        return kMaxWeeklySteps * interval * 7 * kDay;
    case ICAL_MONTHLY_RECURRENCE:
        return kMaxMonthlySteps * interval * 28 * kDay;
    default:
        return kMaxYearlySteps * interval * 365 * kDay;
    }
}

QDate patternOf(const icaltimetype& start)
{
    return QDate(start.year == 0 ? 400 : start.year, start.month, start.day);
}

std::optional<Recurrence::Kind> exactKind(const icalrecurrencetype& r, const icaltimetype& start)
{
    if (r.count > 0 || r.interval > 1 || r.rscale || !unset(r.by_second) || !unset(r.by_minute) ||
        !unset(r.by_hour) || !unset(r.by_year_day) || !unset(r.by_week_no) || !unset(r.by_set_pos))
        return std::nullopt;
    const QDate day = patternOf(start);
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

bool keepsLocalClock(const icalrecurrencetype& r, const icaltimetype& first)
{
    if (first.is_date || !first.zone)
        return true;
    const QDate horizon = Ics::dateOf(first).addYears(2);
    const qint64 last = Ics::wallSeconds(Ics::wallTime(horizon, 0, nullptr));
    IteratorPtr it(icalrecur_iterator_new(wallRule(r, first, last).rule, wallClockOf(first)));
    if (!it)
        return false;
    const QDateTime firstLocal = Ics::toLocal(first);
    const qint64 shift = Ics::dateOf(first).daysTo(firstLocal.date());
    for (int i = 0; i < kClockChecks; ++i) {
        icaltimetype t = icalrecur_iterator_next(it.get());
        if (icaltime_is_null_time(t) || Ics::dateOf(t) > horizon)
            break;
        t.zone = first.zone;
        const QDateTime local = Ics::toLocal(t);
        const QDate day = Ics::dateOf(t).addDays(shift);
        if (local.date() == day && local.time() == firstLocal.time())
            continue;
        // An hour both zones skip (a change to summer time): the appointment shows the wall
        // clock the file names, which neither zone has that day.
        const bool skippedThere = Ics::wallSeconds(Ics::wallTimeAt(Ics::instantOf(t, t.zone),
                                                                   t.zone)) != Ics::wallSeconds(t);
        if (Ics::localDateTime(day, firstLocal.time()).isValid() || !skippedThere)
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
    if (until.zone)
        until = inFrameOf(until, start);
    const QDate day = Ics::dateOf(until);
    return wallBefore(until, start) ? day.addDays(-1) : day;
}

bool endsBeforeStart(const icalrecurrencetype& r, const icaltimetype& start)
{
    if (icaltime_is_null_time(r.until))
        return false;
    if (start.is_date || r.until.is_date)
        return Ics::dateOf(r.until) < Ics::dateOf(start);
    return Ics::wallSeconds(inFrameOf(r.until, start)) < Ics::wallSeconds(start);
}

bool matchesNoDate(const icalrecurrencetype& r)
{
    if (r.rscale || unset(r.by_month))
        return false;
    const QList<int> months = valuesOf(r.by_month);
    const auto anyMonth = [&](const auto& fits) {
        for (int month : months) {
            if (month >= 1 && month <= 12 && (fits(month, false) || fits(month, true)))
                return true;
        }
        return false;
    };
    for (int day : valuesOf(r.by_month_day)) {
        if (anyMonth(
                [day](int month, bool leap) { return std::abs(day) <= daysInMonth(month, leap); }))
            return false;
    }
    for (int day : valuesOf(r.by_year_day)) {
        if (anyMonth([day](int month, bool leap) { return monthOfYearDay(day, leap) == month; }))
            return false;
    }
    return !unset(r.by_month_day) || !unset(r.by_year_day);
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

Occurrences occurrencesOf(const Event& e, const QList<icalrecurrencetype>& rules,
                          const QList<icaltimetype>& extra, const Exclusions& ex,
                          const QDate& limit, int room, const Budget& budget)
{
    using Outcome = Occurrences::Outcome;
    Occurrences found;
    QSet<qint64> seen;
    enum class Step { Next, Stop };
    auto take = [&](icaltimetype t) {
        const QDate day = t.zone ? Ics::toLocal(t).date() : Ics::dateOf(t);
        if (day > limit)
            return Step::Stop;
        if (!day.isValid() || day < Ics::kFirstDay)
            return Step::Next;
        if (excluded(ex, t)) {
            ++found.excluded;
            return Step::Next;
        }
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
    auto end = [&found](Outcome outcome) {
        found.outcome = outcome;
        return found;
    };

    // The start is always the first occurrence, whether a rule matches it or not.
    take(e.start);
    const qsizetype fromStart = found.times.size();
    // Nothing before 1900 is kept: a series from long ago starts there.
    icaltimetype from = wallClockOf(e.start);
    const bool late = Ics::dateOf(e.start) < Ics::kFirstDay || e.start.year == 0;
    if (late) {
        from.year = Ics::kFirstDay.year();
        from.month = from.day = 1;
    }
    // libical compares wall-clock times only: a day more covers any zone's local `limit`.
    const qint64 horizon = Ics::wallSeconds(Ics::wallTime(limit.addDays(2), 0, nullptr));
    bool tooOften = false;
    for (const icalrecurrencetype& rule : rules) {
        if (matchesNoDate(rule)) {
            found.ruleMatchesNoDate = true;
            continue;
        }
        const bool fromLate = late && rule.count == 0; // a COUNT counts from the start
        const qint64 last =
            std::min(horizon, Ics::wallSeconds(fromLate ? from : e.start) + steppingSpan(rule));
        const WallRule bounded = wallRule(rule, e.start, last);
        IteratorPtr it(icalrecur_iterator_new(bounded.rule, wallClockOf(e.start)));
        if (!it) {
            found.ruleLeftOut = true;
            continue;
        }
        if (fromLate)
            icalrecur_iterator_set_start(it.get(), from);
        const qsizetype before = found.times.size();
        // COUNT counts the start, also where the rule itself does not yield it.
        int allowed = rule.count > 0 ? rule.count : std::numeric_limits<int>::max();
        int yielded = 0;
        bool reachedLimit = false;
        while (!found.shortened) {
            if (budget.stopped())
                return end(Outcome::Stopped);
            if (budget.timeUp())
                return end(Outcome::TimeUp);
            icaltimetype t = icalrecur_iterator_next(it.get());
            if (icaltime_is_null_time(t))
                break;
            if (yielded == 0 && !fromLate && Ics::wallSeconds(t) != Ics::wallSeconds(e.start))
                --allowed;
            if (yielded >= allowed)
                break;
            ++yielded;
            if (!t.is_date)
                t.zone = e.start.zone; // each occurrence its own offset
            if (take(t) == Step::Stop) {
                reachedLimit = true;
                break;
            }
        }
        const bool cutByCount = rule.count > 0 && yielded >= allowed;
        if (bounded.bounded && last < horizon && !reachedLimit && !cutByCount) {
            // Cut at its bound of periods: the first ones are kept.
            if (found.times.size() > before)
                found.shortened = true;
            else
                tooOften = true;
        }
    }
    for (const icaltimetype& t : extra) {
        if (found.shortened)
            break;
        take(inFrameOf(t, e.start));
    }
    // A rule that could not be followed to one occurrence beyond the start makes no series.
    if (tooOften && found.times.size() == fromStart && extra.isEmpty())
        return end(Outcome::TooOften);
    return found;
}

} // namespace Ics
