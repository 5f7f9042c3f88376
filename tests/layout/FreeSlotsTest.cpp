// The first free times of several people and rooms as values: busy times merged, the hours of
// each shown weekday, found that follow one another and never run past midnight.
#include "layout/FreeSlots.h"
#include "TestDays.h"

#include <QHash>

#include <gtest/gtest.h>

namespace {

// Monday 12 January 2026.
const QDate kMonday(2026, 1, 12);

// "1|9-10=anna+ben@Blue" lies on the day after Monday, from 09:00 to 10:00, owned by anna, for
// ben, and books the room Blue; "!" after the times marks a series' occurrence, "*" another
// user's private appointment as this user reads it.
DaySource daysOf(const QString& items)
{
    QHash<QDate, QList<TerminPtr>> days;
    for (const QString& item : items.split(' ', Qt::SkipEmptyParts)) {
        const QDate day = kMonday.addDays(item.section('|', 0, 0).toInt());
        QStringList rooms = item.section('|', 1).split('@');
        const QString entry = rooms.takeFirst();
        QString times = entry.section('=', 0, 0);
        const bool series = times.endsWith('!');
        const bool masked = times.endsWith('*');
        auto a = std::make_shared<ClassTermin>(*dayOf(times.remove('!').remove('*')).first());
        const QStringList logins = entry.section('=', 1).split('+');
        a->setProducer(logins.first());
        a->setForUsers(logins.mid(1));
        a->setRooms(rooms);
        a->setIsRecurring(series);
        a->setIsPrivate(masked);
        a->setMasked(masked);
        a->setDatum(day);
        days[day] << a;
    }
    return [days](const QDate& day) { return days.value(day); };
}

// "12 09:00-10:00 13 00:00-01:00": the day of the month and the times of each slot.
QString slotsText(const QList<FreeSlots::Slot>& found)
{
    QStringList text;
    const auto time = [](TimeOfDay t) {
        return QString::asprintf("%02d:%02d", t.hour(), t.minute());
    };
    for (const FreeSlots::Slot& slot : found)
        text << QString::number(slot.day.day()) + ' ' + time(slot.start) + '-' + time(slot.end);
    return text.join(' ');
}

} // namespace

TEST(FreeSlotsTest, TheFirstSlotsInWhichEveryoneAskedIsFree)
{
    const struct {
        const char* what;
        const char* days;
        QStringList persons; // "@Blue" a room
        const char* hours;
        int minutes;
        int toDay; // days after Monday
        int most;
        QList<int> weekdays;
        const char* found;
    } cases[] = {
        // clang-format off
        {"overlapping times of both, another's ignored", "0|9-10:30=anna 0|10-11=carl+ben "
         "0|13:07-14=ben 0|8-9=zoe", {"anna", "ben"}, "08:00-17:00", 60, 0, 4, {},
         "12 08:00-09:00 12 11:00-12:00 12 12:00-13:00 12 14:00-15:00"},
        {"right after a busy time, else on 5 minute steps", "0|8-9:37=anna", {"anna"},
         "08:02-17:00", 30, 0, 2, {}, "12 09:37-10:07 12 10:10-10:40"},
        {"before the first busy time when it fits", "0|8:40-9=anna", {"anna"}, "08:00-17:00",
         40, 0, 2, {}, "12 08:00-08:40 12 09:00-09:40"},
        {"all day busy", "0|0-24=ben", {"anna", "ben"}, "08:00-17:00", 60, 1, 1, {},
         "13 08:00-09:00"},
        {"ending at 24:00 busy until midnight", "0|19-24=anna", {"anna"}, "18:00-06:00", 30, 0, 3,
         {}, "12 18:00-18:30 12 18:30-19:00 13 00:00-00:30"},
        {"hours across days, no slot over midnight", "0|22-22:30=anna 1|1-2=anna", {"anna"},
         "22:00-06:00", 60, 0, 4, {}, "12 22:30-23:30 13 00:00-01:00 13 02:00-03:00 13 03:00-04:00"},
        {"a series' occurrences and its moved exception", "0|9-10!=anna 1|14-15=anna "
         "2|9-10!=anna", {"anna"}, "09:00-15:00", 300, 2, 0, {}, "12 10:00-15:00 13 09:00-14:00 14 10:00-15:00"},
        {"another user's private appointment for one asked", "0|8-12*=carl+anna", {"anna"},
         "08:00-17:00", 300, 0, 0, {}, "12 12:00-17:00"},
        {"longer than the hours", "", {"anna"}, "08:00-09:00", 90, 6, 0, {}, ""},
        {"no one asked", "", {}, "08:00-17:00", 60, 0, 0, {}, ""},
        {"a room alone, letter case aside", "0|9-11=zoe@Blue 0|12-13=anna@Red", {"@blue"},
         "08:00-17:00", 60, 0, 3, {}, "12 08:00-09:00 12 11:00-12:00 12 12:00-13:00"},
        {"a person and a room", "0|8-9=anna 0|9-10=zoe@Red@Blue", {"anna", "@Blue"},
         "08:00-17:00", 60, 0, 1, {}, "12 10:00-11:00"},
        {"shown weekdays only", "", {"anna"}, "08:00-17:00", 540, 7, 0, {1, 3},
         "12 08:00-17:00 14 08:00-17:00 19 08:00-17:00"},
        {"all of them", "0|9-17=anna", {"anna"}, "08:00-17:00", 15, 0, 0, {},
         "12 08:00-08:15 12 08:15-08:30 12 08:30-08:45 12 08:45-09:00"},
        {"around the clock from the start", "0|10-11=anna", {"anna"}, "08:00-08:00", 780, 0, 0,
         {}, "12 11:00-24:00"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FreeSlots::Request request;
        for (const QString& asked : c.persons)
            (asked.startsWith('@') ? request.rooms : request.persons)
                << asked.mid(asked.startsWith('@'));
        request.from = kMonday;
        request.to = kMonday.addDays(c.toDay);
        if (!c.weekdays.isEmpty())
            request.weekdays = c.weekdays;
        request.hours = FreeSlots::Hours::parse(c.hours).value();
        request.minutes = c.minutes;
        request.most = c.most;
        EXPECT_EQ(slotsText(FreeSlots::find(request, daysOf(c.days))), c.found);
    }
    // The window looks from now on, rounded up to a step.
    FreeSlots::Request request;
    request.persons = {"anna"};
    request.from = request.to = kMonday;
    request.most = 2;
    request.notBefore = QDateTime(kMonday, QTime(10, 21));
    EXPECT_EQ(slotsText(FreeSlots::find(request, daysOf("0|11:30-12=anna"))),
              "12 10:25-11:25 12 12:00-13:00");
}

TEST(FreeSlotsTest, HoursReadAsTyped)
{
    const struct {
        const char* text;
        const char* read; // "" when refused
        int days;         // the days read for one
    } cases[] = {
        {"08:00-17:00", "08:00-17:00", 1},
        {"8:30-9:05", "08:30-09:05", 1},
        {"22:00-06:00", "22:00-06:00", 2},
        {"00:00-24:00", "00:00-24:00", 1},
        {"08:00-08:00", "08:00-08:00", 2},
        {"24:00-08:00", "", 0},
        {"08:60-09:00", "", 0},
        {"8-17", "", 0},
        {"08:00-24:01", "", 0},
        {"", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto hours = FreeSlots::Hours::parse(c.text);
        EXPECT_EQ(hours ? hours->text() : QString(), c.read);
        if (hours) {
            FreeSlots::Request request;
            request.from = request.to = kMonday;
            request.hours = *hours;
            EXPECT_EQ(FreeSlots::daysToRead(request).size(), c.days);
        }
    }
}
