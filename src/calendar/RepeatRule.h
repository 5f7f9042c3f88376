#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// How a series repeats: every N days, weeks, months or years; in a week on one or several
// weekdays; in a month on the start's day or on the first ... fourth or last weekday; ending
// never, on a date or after a number of times. Values only: the days it falls on, and its
// iCalendar RRULE text both ways. Weeks begin on Monday and are counted from the start's week.
struct RepeatRule {
    enum class Unit { Day, Week, Month, Year };
    enum class End { Never, Until, Count };

    static constexpr int kMaxInterval = 99;
    static constexpr int kMaxCount = 999;
    // The last weekday of a month.
    static constexpr int kLast = -1;

    Unit unit = Unit::Week;
    int interval = 1;
    // Week: the weekdays (Qt::Monday = 1 ... Qt::Sunday = 7, ascending); empty means the start's
    // weekday. Month, Year with nth: the one weekday meant.
    QList<int> weekdays;
    // Month, Year: 0 for the start's day of the month, else 1..5 or kLast with weekdays[0].
    // A year's month is the start's.
    int nth = 0;
    QDate start; // the first day the rule may fall on
    End end = End::Never;
    QDate until;   // End::Until: the last day it may fall on
    int count = 0; // End::Count: how many times it falls

    bool operator==(const RepeatRule&) const = default;

    // Interval, weekdays and nth within their ranges, a valid start, an end that is not
    // before it: only such a rule is stored or shown.
    bool isValid() const;

    // The days from..to (both inclusive) it falls on, ascending; at most limit of them.
    QList<QDate> occurrences(const QDate& from, const QDate& to, int limit = 100000) const;
    // Whether it falls on day.
    bool fallsOn(const QDate& day) const;
    // The last day it falls on; invalid for a rule without end.
    QDate lastDay() const;

    // The rule moved by days: its start and end, and its weekdays with them.
    RepeatRule shifted(qint64 days) const;

    // What the four directory kinds of the folder hold exactly (interval 1; a week on one
    // weekday, the start's, or a month or year on the start's day).
    bool isPlainKind() const;
    // A week on several weekdays, interval 1: one plain weekly part per weekday.
    bool isWeekdayParts() const;

    // The RRULE value: "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH", "FREQ=MONTHLY;BYDAY=-1FR",
    // ";COUNT=5" or ";UNTIL=20270630"; INTERVAL only when above 1.
    QString rrule() const;
    // The rule an RRULE value names when it starts on start; none for a rule beyond what this
    // holds (BYMONTHDAY lists, BYSETPOS, hourly, several BYMONTH, ...) or a malformed one.
    static std::optional<RepeatRule> fromRRule(QStringView rrule, const QDate& start);

    // The command line's and the stored rule's parts: "2weeks", "mon,thu" / "mon-fri",
    // "1mon" / "last-fri". Each gives none for text it does not know.
    static std::optional<std::pair<Unit, int>> everyOf(QStringView text);
    static std::optional<QList<int>> weekdaysOf(QStringView text);
    static std::optional<std::pair<int, int>> nthOf(QStringView text); // (nth, weekday)
};
