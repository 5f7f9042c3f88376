#pragma once

#include "profile/DateParts.h"
#include "store/ClassTermin.h"
#include "store/DaySource.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Settings;

// "Find a time": the first times at which everyone asked is free, from the days as the views
// read them (a series already laid out on its days, its exceptions included). A person is busy
// during an appointment that concerns them (ClassTermin::Concerns), a room during one that books
// it; a private appointment of another user keeps its times and so stays busy.
namespace FreeSlots {

inline constexpr int kDefaultMost = 20;
// A slot starts on a whole step of these minutes, or right at the end of a busy time.
inline constexpr int kStep = 5;
inline constexpr int kShortest = kStep;
inline constexpr int kLongest = TimeOfDay::kEndOfDay;

// The hours looked at each day: from start to end, or with an end not after the start, on into
// the next morning (22:00-06:00).
struct Hours {
    TimeOfDay start = TimeOfDay::fromMinutes(8 * 60);
    TimeOfDay end = TimeOfDay::fromMinutes(17 * 60);

    // Minutes from the first day's midnight to the end: past 24:00 when it lies in the next day.
    int endMinutes() const;
    bool acrossDays() const { return endMinutes() > TimeOfDay::kEndOfDay; }
    // "08:00-17:00", as parse reads it.
    QString text() const;
    // "H:MM-H:MM" or "HH:MM-HH:MM", the end up to 24:00; nullopt for anything else.
    static std::optional<Hours> parse(const QString& text);
};

struct Request {
    QStringList persons; // login names
    QStringList rooms;   // names, letter case ignored
    QDate from;          // the days, both included
    QDate to;
    QList<int> weekdays = {1, 2, 3, 4, 5, 6, 7}; // Qt's numbers, 1 Monday .. 7 Sunday
    Hours hours;
    int minutes = 60;
    int most = kDefaultMost; // 0: all there are
    QDateTime notBefore;     // no slot starts earlier (the window's now); none when invalid
};

struct Slot {
    QDate day;
    TimeOfDay start;
    TimeOfDay end; // 24:00 at most: a slot lies on one day, as an appointment does

    bool operator==(const Slot&) const = default;
};

// The weekdays the settings show in the week view, by Qt's numbers.
QList<int> shownWeekdays(const Settings& settings);

// The days find asks for: from to to, and the day after to when the hours run into it.
QList<QDate> daysToRead(const Request& request);

// Whether a keeps one of the request's people or rooms busy.
bool keepsBusy(const ClassTermin& a, const Request& request);

// The first request.most slots of request.minutes, in order, within the hours of each weekday
// shown. In a free stretch the slots follow one another; one that would run past midnight
// starts at midnight. None without a person or a room, or for a length longer than the hours.
QList<Slot> find(const Request& request, const DaySource& days);

} // namespace FreeSlots
