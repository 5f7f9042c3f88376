#include "settings/Team.h"

#include <QHash>

#include <algorithm>

#include <array>

namespace Team {

namespace {

QString key(const char* name, int n)
{
    return QLatin1String(name) + QString::number(n);
}

// Red in the low byte, as every colour of the settings file.
constexpr qint64 rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

// Distinct at a glance and dark enough for a mark on paper and on a light or dark screen.
constexpr std::array<qint64, 8> kPlaceColors = {
    rgb(31, 119, 180),  rgb(255, 127, 14), rgb(44, 160, 44),   rgb(214, 39, 40),
    rgb(148, 103, 189), rgb(140, 86, 75),  rgb(227, 119, 194), rgb(23, 190, 207)};

} // namespace

QList<TeamMember> read(const IniFile& ini)
{
    // One pass over the section, whatever count it states.
    const QHash<QString, QString> keys = ini.ReadIniSection(kSection);
    const int count = std::min(ini.ReadIniLong(kSection, QStringLiteral("Count"), 0),
                               qint32(std::min<qsizetype>(keys.size(), kMaxMembers)));
    QList<TeamMember> team;
    for (int n = 1; n <= count; ++n) {
        TeamMember member;
        member.login = keys.value(key("login", n)).trimmed();
        const bool listed = std::any_of(
            team.begin(), team.end(), [&](const TeamMember& m) { return m.login == member.login; });
        if (member.login.isEmpty() || listed)
            continue;
        member.name = keys.value(key("name", n)).trimmed();
        bool ok = false;
        const qint64 color = keys.value(key("color", n)).toLongLong(&ok);
        member.color = ok && color >= 0 && color <= 0xFFFFFF ? color : -1;
        team.append(member);
    }
    return team;
}

void write(IniFile& ini, const QList<TeamMember>& team)
{
    const int before = ini.ReadIniLong(kSection, QStringLiteral("Count"), 0);
    if (team.isEmpty() && before <= 0)
        return; // a file of a team without a list stays without the section
    ini.WriteIniLong(kSection, QStringLiteral("Count"), team.size());
    for (int n = 1; n <= team.size(); ++n) {
        const TeamMember& member = team[n - 1];
        ini.WriteIniString(kSection, key("Login", n), member.login);
        if (member.name.isEmpty())
            ini.DeleteIniKey(kSection, key("Name", n));
        else
            ini.WriteIniString(kSection, key("Name", n), member.name);
        if (member.color < 0)
            ini.DeleteIniKey(kSection, key("Color", n));
        else
            ini.WriteIniLong(kSection, key("Color", n), member.color);
    }
    for (int n = int(team.size()) + 1; n <= std::min(before, kMaxMembers); ++n)
        for (const char* name : {"Login", "Name", "Color"})
            ini.DeleteIniKey(kSection, key(name, n));
}

QList<TeamRoom> readRooms(const IniFile& ini)
{
    const QHash<QString, QString> keys = ini.ReadIniSection(kSection);
    const int count = std::min(ini.ReadIniLong(kSection, QStringLiteral("RoomCount"), 0),
                               qint32(std::min<qsizetype>(keys.size(), kMaxMembers)));
    QList<TeamRoom> rooms;
    for (int n = 1; n <= count; ++n) {
        TeamRoom room{keys.value(key("room", n)).simplified(),
                      keys.value(key("roomnote", n)).trimmed()};
        const bool listed = std::any_of(rooms.begin(), rooms.end(), [&](const TeamRoom& r) {
            return r.name.compare(room.name, Qt::CaseInsensitive) == 0;
        });
        // A semicolon separates rooms in an appointment file: such a name could not be booked.
        if (!room.name.isEmpty() && !listed && !room.name.contains(QLatin1Char(';')))
            rooms.append(room);
    }
    return rooms;
}

void writeRooms(IniFile& ini, const QList<TeamRoom>& rooms)
{
    const int before = ini.ReadIniLong(kSection, QStringLiteral("RoomCount"), 0);
    if (rooms.isEmpty() && before <= 0)
        return;
    ini.WriteIniLong(kSection, QStringLiteral("RoomCount"), rooms.size());
    for (int n = 1; n <= rooms.size(); ++n) {
        ini.WriteIniString(kSection, key("Room", n), rooms[n - 1].name);
        if (rooms[n - 1].note.isEmpty())
            ini.DeleteIniKey(kSection, key("RoomNote", n));
        else
            ini.WriteIniString(kSection, key("RoomNote", n), rooms[n - 1].note);
    }
    for (int n = int(rooms.size()) + 1; n <= std::min(before, kMaxMembers); ++n)
        for (const char* name : {"Room", "RoomNote"})
            ini.DeleteIniKey(kSection, key(name, n));
}

QString shownName(const QList<TeamMember>& team, const QString& login)
{
    for (const TeamMember& member : team)
        if (member.login == login)
            return member.name.isEmpty() ? member.login : member.name;
    return login;
}

qint64 placeColor(qsizetype place)
{
    return kPlaceColors[size_t(place) % kPlaceColors.size()];
}

qint64 colorOf(const QList<TeamMember>& team, const QString& login)
{
    for (qsizetype n = 0; n < team.size(); ++n)
        if (team[n].login == login)
            return team[n].color >= 0 ? team[n].color : placeColor(n);
    // The same colour in every copy and every run: a sum of the letters, not a seeded hash.
    uint sum = 0;
    for (const QChar c : login)
        sum += c.unicode();
    return placeColor(sum);
}

} // namespace Team
