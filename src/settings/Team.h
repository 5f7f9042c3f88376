#pragma once

#include "profile/ApiINI.h"

#include <QList>
#include <QString>
#include <QStringList>

// The team's people as the shared settings file lists them (section "Team"): whose
// appointments are shown in which order, under which name and in which colour.
struct TeamMember {
    QString login;
    QString name;      // as shown; the login when empty
    qint64 color = -1; // RGB with red in the low byte; -1 for the colour of its place
};

// A room or piece of equipment the team books (in the same section: "RoomCount", "Room<n>",
// "RoomNote<n>"). An appointment may book a name the list lacks all the same.
struct TeamRoom {
    QString name;
    QString note; // capacity and the like, as the team writes it
    bool operator==(const TeamRoom&) const = default;
};

// A category appointments of the team belong to ("CategoryCount", "Category<n>",
// "CategoryColor<n>" in the same section), with the colour its appointments may show.
// An appointment may belong to a name the list lacks all the same.
struct TeamCategory {
    QString name;
    qint64 color = -1; // stored as every colour of the file, red in the low byte; -1 for none
    bool operator==(const TeamCategory&) const = default;
};

namespace Team {

inline const QString kSection = QStringLiteral("Team");
// More are not read: a team list is a handful of people, not a directory of the company.
inline constexpr int kMaxMembers = 200;

// Members without a login are left out, and a login listed twice counts once.
QList<TeamMember> read(const IniFile& ini);
// Replaces the section's members with these; keys of members no longer listed go.
void write(IniFile& ini, const QList<TeamMember>& team);

// Rooms without a name are left out, and a name listed twice (letter case aside) counts once.
QList<TeamRoom> readRooms(const IniFile& ini);
// Replaces the section's rooms with these; a file without rooms stays without their keys.
void writeRooms(IniFile& ini, const QList<TeamRoom>& rooms);

// As rooms: a name without a semicolon, listed once (letter case aside), a colour or none.
QList<TeamCategory> readCategories(const IniFile& ini);
// Replaces the section's categories; a file without categories stays without their keys.
void writeCategories(IniFile& ini, const QList<TeamCategory>& categories);
// The names in used that the list lacks (letter case aside), each once, in the order used.
QStringList unlisted(const QList<TeamCategory>& categories, const QStringList& used);

// The colour of the first of names the list gives one, -1 for none.
qint64 categoryColor(const QList<TeamCategory>& categories, const QStringList& names);

// The name to show for login: the team's name for it, else the login itself.
QString shownName(const QList<TeamMember>& team, const QString& login);
// The member's colour, else one of a few distinct ones by its place in the team (or by its
// login for someone not listed), so neighbours differ.
qint64 colorOf(const QList<TeamMember>& team, const QString& login);
// The colour of a place in the team for a member without one of its own.
qint64 placeColor(qsizetype place);

} // namespace Team
