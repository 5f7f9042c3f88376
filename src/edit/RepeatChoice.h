#pragma once

#include "calendar/RepeatRule.h"

#include <QDate>
#include <QList>

// What the editor's Recurring page says, apart from its widgets: read from a series' rule or,
// for a series without one, from its kind; turned into the rule OK sets. The day of the month,
// the month of a year and the weekday offered are the appointment's date's.
struct RepeatChoice {
    using Unit = RepeatRule::Unit;
    using End = RepeatRule::End;

    Unit unit = Unit::Week;
    int interval = 1;
    QList<int> weekdays; // Week: Qt::Monday ... Qt::Sunday, ascending
    int nth = 0;         // Month, Year: 0 on the date's day, else 1..5 or RepeatRule::kLast
    int nthWeekday = Qt::Monday;
    End end = End::Never;
    QDate until;
    int count = 10;

    bool operator==(const RepeatChoice&) const = default;

    // A series of unit without a rule on date: interval 1, the date's weekday or day, ending
    // on until (none at kLastFileDate).
    static RepeatChoice ofKind(Unit unit, const QDate& date, const QDate& until);
    static RepeatChoice ofRule(const RepeatRule& rule, const QDate& date);
    // Where the nth weekday offered stands: the date's own (its fifth counts as the last).
    static int nthOf(const QDate& date);

    // The rule for an appointment on date repeating from `from` on. Its start is the first
    // day from `from` on that holds the date's day of the month (and month, for a year) where
    // the rule falls on those: the rule counts its days from its start.
    RepeatRule rule(const QDate& date, const QDate& from) const;

    // Whether it says what the original kind of its unit says: interval 1, a week on the
    // date's weekday alone, a month or year on the date's day.
    bool isPlain(const QDate& date) const;
};
