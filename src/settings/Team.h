#pragma once

#include "profile/ApiINI.h"

#include <QList>
#include <QString>

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

// The name to show for login: the team's name for it, else the login itself.
QString shownName(const QList<TeamMember>& team, const QString& login);
// The member's colour, else one of a few distinct ones by its place in the team (or by its
// login for someone not listed), so neighbours differ.
qint64 colorOf(const QList<TeamMember>& team, const QString& login);
// The colour of a place in the team for a member without one of its own.
qint64 placeColor(qsizetype place);

} // namespace Team
