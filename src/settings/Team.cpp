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

// A list of names with a note each: "<name>Count", "<name><n>", "<note><n>" (rooms, categories).
QList<TeamRoom> readNamed(const IniFile& ini, const char* name, const char* note)
{
    const QHash<QString, QString> keys = ini.ReadIniSection(kSection);
    const QString nameKey = QString::fromLatin1(name).toLower();
    const QString noteKey = QString::fromLatin1(note).toLower();
    const int count = std::min(ini.ReadIniLong(kSection, QLatin1String(name) + u"Count", 0),
                               qint32(std::min<qsizetype>(keys.size(), kMaxMembers)));
    QList<TeamRoom> entries;
    for (int n = 1; n <= count; ++n) {
        TeamRoom entry{keys.value(nameKey + QString::number(n)).simplified(),
                       keys.value(noteKey + QString::number(n)).trimmed()};
        const bool listed = std::any_of(entries.begin(), entries.end(), [&](const TeamRoom& r) {
            return r.name.compare(entry.name, Qt::CaseInsensitive) == 0;
        });
        // A semicolon separates names in an appointment file: such a name could not be used.
        if (!entry.name.isEmpty() && !listed && !entry.name.contains(QLatin1Char(';')))
            entries.append(entry);
    }
    return entries;
}

void writeNamed(IniFile& ini, const QList<TeamRoom>& entries, const char* name, const char* note)
{
    const QString countKey = QLatin1String(name) + u"Count";
    const int before = ini.ReadIniLong(kSection, countKey, 0);
    if (entries.isEmpty() && before <= 0)
        return;
    ini.WriteIniLong(kSection, countKey, entries.size());
    for (int n = 1; n <= entries.size(); ++n) {
        ini.WriteIniString(kSection, key(name, n), entries[n - 1].name);
        if (entries[n - 1].note.isEmpty())
            ini.DeleteIniKey(kSection, key(note, n));
        else
            ini.WriteIniString(kSection, key(note, n), entries[n - 1].note);
    }
    for (int n = int(entries.size()) + 1; n <= std::min(before, kMaxMembers); ++n)
        for (const char* each : {name, note})
            ini.DeleteIniKey(kSection, key(each, n));
}

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
    return readNamed(ini, "Room", "RoomNote");
}

void writeRooms(IniFile& ini, const QList<TeamRoom>& rooms)
{
    writeNamed(ini, rooms, "Room", "RoomNote");
}

QList<TeamCategory> readCategories(const IniFile& ini)
{
    QList<TeamCategory> categories;
    const QList<TeamRoom> named = readNamed(ini, "Category", "CategoryColor");
    for (const TeamRoom& entry : named) {
        bool ok = false;
        const qint64 color = entry.note.toLongLong(&ok);
        categories.append({entry.name, ok && color >= 0 && color <= 0xFFFFFF ? color : -1});
    }
    return categories;
}

void writeCategories(IniFile& ini, const QList<TeamCategory>& categories)
{
    QList<TeamRoom> named;
    for (const TeamCategory& category : categories)
        named.append(
            {category.name, category.color < 0 ? QString() : QString::number(category.color)});
    writeNamed(ini, named, "Category", "CategoryColor");
}

QStringList unlisted(const QList<TeamCategory>& categories, const QStringList& used)
{
    QStringList missing;
    for (const QString& name : used) {
        const bool listed =
            std::any_of(categories.begin(), categories.end(), [&](const TeamCategory& c) {
                return c.name.compare(name, Qt::CaseInsensitive) == 0;
            });
        if (!name.isEmpty() && !listed && !missing.contains(name, Qt::CaseInsensitive))
            missing.append(name);
    }
    return missing;
}

qint64 categoryColor(const QList<TeamCategory>& categories, const QStringList& names)
{
    for (const QString& name : names)
        for (const TeamCategory& category : categories)
            if (category.color >= 0 && category.name.compare(name, Qt::CaseInsensitive) == 0)
                return category.color;
    return -1;
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
