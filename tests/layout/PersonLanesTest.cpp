// The lanes of a day per person as values: whose lane an appointment lies in, the order of the
// lanes, the person filter, and the columns and strip inside each lane.
#include "layout/PersonLanes.h"
#include "TestDays.h"
#include "layout/DayLayout.h"

#include <gtest/gtest.h>

namespace {

// "9-10=anna+ben+carl" is one from 09:00 to 10:00 owned by anna, for ben and carl; "9-10=+ben"
// has no owner and is for ben.
QList<TerminPtr> ownedDay(const QString& items)
{
    QList<TerminPtr> day;
    for (const QString& item : items.split(' ', Qt::SkipEmptyParts)) {
        auto a = std::make_shared<ClassTermin>(*dayOf(item.section('=', 0, 0)).first());
        const QStringList logins = item.section('=', 1).split('+');
        a->setProducer(logins.first());
        a->setForUsers(logins.mid(1));
        day << a;
    }
    return day;
}

const QList<TeamMember> kTeam = {{"anna", "Anna Meier", 0xff}, {"ben", "", -1}};

// "name: i/column i/column" for each lane, i the appointment's place in the day.
QStringList lanesText(const QList<TerminPtr>& day, const QStringList& shown, bool rowPerColor)
{
    QStringList text;
    const auto people = PersonLanes::people(day, kTeam, shown);
    for (const PersonLanes::Lane& lane : PersonLanes::lanes(day, people, rowPerColor)) {
        QString line = PersonLanes::shownName(lane.person, "en") + ':';
        for (qsizetype i = 0; i < lane.appointments.size(); ++i)
            line += QString(" %1/%2").arg(day.indexOf(lane.appointments[i])).arg(lane.columns[i]);
        if (const int rows = DayLayout::stripRows(lane.appointments))
            line += QString(" strip %1").arg(rows);
        text << line;
    }
    return text;
}

} // namespace

TEST(PersonLanesTest, EachPersonHasALaneInTeamOrderThenByLoginWithTheirAppointmentsLaidOut)
{
    const struct {
        const char* what;
        const char* day;
        QStringList shown;
        QStringList lanes;
    } cases[] = {
        // clang-format off
        {"empty members' lanes show", "", {}, {"Anna Meier:", "ben:"}},
        {"for two people: in both lanes", "9-10=ben+anna", {}, {"Anna Meier: 0/1", "ben: 0/1"}},
        {"overlaps side by side inside a lane, not across lanes", "9-11=anna 10-12=ben+anna 9-10=ben",
         {}, {"Anna Meier: 0/1 1/2", "ben: 1/1 2/1"}},
        {"the all-day strip per lane", "0-24=anna 0-24=anna+ben 9-10=anna", {},
         {"Anna Meier: 0/0 1/0 2/1 strip 2", "ben: 1/0 strip 1"}},
        {"others by login after the team, no owner last", "9-10=zoe 9-10=+carl 9-10=anna+ben 9-10",
         {}, {"Anna Meier: 2/1", "ben: 2/1", "carl: 1/1", "zoe: 0/1", "No owner: 3/1"}},
        {"the owner listed as one it is for counts once", "9-10=carl+carl", {},
         {"Anna Meier:", "ben:", "carl: 0/1"}},
        {"a hidden person has no lane", "9-10=anna+ben 9-10=carl 9-10", {"ben", "carl"},
         {"ben: 0/1", "carl: 1/1"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(lanesText(ownedDay(c.day), c.shown, false), c.lanes);
    }
    const QList<PersonLanes::Person> people = PersonLanes::people({}, kTeam, {});
    EXPECT_EQ(people[0].color, 0xff);
    EXPECT_EQ(people[1].color, Team::colorOf(kTeam, "ben"));
    EXPECT_EQ(PersonLanes::shownName({}, "de"), "Kein Besitzer");
}

TEST(PersonLanesTest, TheFilterKeepsWhatConcernsOneOfThePeople)
{
    const QList<TerminPtr> day = ownedDay("9-10=anna 9-10=ben+carl 9-10=+carl 9-10");
    const auto keptOf = [&day](const QStringList& logins) {
        QList<qsizetype> places;
        for (const TerminPtr& a : PersonLanes::kept(day, logins))
            places << day.indexOf(a);
        return places;
    };
    EXPECT_EQ(keptOf({}), (QList<qsizetype>{0, 1, 2, 3})) << "no filter: all";
    EXPECT_EQ(keptOf({"carl"}), (QList<qsizetype>{1, 2})) << "as one it is for";
    EXPECT_EQ(keptOf({"anna", "ben"}), (QList<qsizetype>{0, 1}));
    EXPECT_EQ(keptOf({"nobody"}), QList<qsizetype>{});
}

TEST(PersonLanesTest, TheTeamsRoomsHaveLanesAfterThePeopleHoldingWhatBooksThem)
{
    QList<TerminPtr> day = ownedDay("9-10=anna 10-11=ben 11-12=carl");
    const QList<QStringList> rooms = {{"Room 2"}, {"room 2", "Beamer"}, {}};
    for (qsizetype i = 0; i < day.size(); ++i)
        std::const_pointer_cast<ClassTermin>(day[i])->setRooms(rooms[i]);
    const auto people = PersonLanes::withRooms(PersonLanes::people(day, kTeam, {}),
                                               {{"Room 2", "12"}, {"Attic", ""}});
    QStringList text;
    for (const PersonLanes::Lane& lane : PersonLanes::lanes(day, people, false)) {
        QString line = PersonLanes::shownName(lane.person, "de") + ':';
        for (const TerminPtr& a : lane.appointments)
            line += QString(" %1").arg(day.indexOf(a));
        text << line;
    }
    EXPECT_EQ(text, (QStringList{"Anna Meier: 0", "ben: 1", "carl: 2", "Room 2: 0 1", "Attic:"}));
}
