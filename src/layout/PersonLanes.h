#pragma once

#include "settings/Team.h"
#include "store/ClassTermin.h"

#include <QList>
#include <QString>
#include <QStringList>

// A day as lanes side by side, one per person, on screen and on paper alike: whose lane an
// appointment lies in, in which order the lanes stand, and what the person filter keeps.
// Inside a lane the appointments lie as in any day (DayLayout).
namespace PersonLanes {

// Whose appointment it is: its owner and those it is for, each once, in that order. One
// without an owner and for nobody lies in the lane of the empty login.
QStringList loginsOf(const ClassTermin& a);

// The person filter: whether a person is shown when the logins in shown are (none: everyone).
bool shows(const QStringList& shown, const QString& login);
// The appointments that concern one of logins (as owner or one it is for), in their order;
// all of them when logins is empty. The one rule of the person filter for every list.
QList<TerminPtr> kept(const QList<TerminPtr>& appointments, const QStringList& logins);

struct Person {
    QString login;
    QString name;      // as shown; empty for the lane of appointments without an owner
    qint64 color = -1; // RGB with red in the low byte (Team::colorOf)
    // Set for the lane of a room or piece of equipment (login empty, name the room's): it
    // holds the appointments that book it.
    QString room = {};
};

// The people with a lane: the team's members in the team's order, each even without an
// appointment, then the others whose appointments are given, by login, then the lane of those
// without an owner; those the filter hides have none.
QList<Person> people(const QList<TerminPtr>& appointments, const QList<TeamMember>& team,
                     const QStringList& shown);

// people, then a lane per room of the team's list, in its order.
QList<Person> withRooms(QList<Person> people, const QList<TeamRoom>& rooms);

struct Lane {
    Person person;
    QList<TerminPtr> appointments; // of the day, in the day's order
    QList<int> columns;            // of each, as DayLayout::columns gives them
};

// The day's lanes, one for each of people, in their order: an appointment for two people lies
// in both lanes.
QList<Lane> lanes(const QList<TerminPtr>& day, const QList<Person>& people, bool rowPerColor);

// The name of a lane's person as shown in langCode: the empty login's lane is "No owner", a
// room's lane the room's own name.
QString shownName(const Person& person, const QString& langCode);

} // namespace PersonLanes
