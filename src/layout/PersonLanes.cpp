#include "layout/PersonLanes.h"

#include "layout/DayLayout.h"
#include "settings/Language.h"

#include <QSet>

#include <algorithm>

namespace {

const char* const kNoOwner = QT_TRANSLATE_NOOP("PersonLanes", "No owner");

} // namespace

namespace PersonLanes {

QStringList loginsOf(const ClassTermin& a)
{
    QStringList logins;
    if (!a.Producer().isEmpty())
        logins << a.Producer();
    for (const QString& login : a.ForUsers())
        if (!login.isEmpty() && !logins.contains(login))
            logins << login;
    if (logins.isEmpty())
        logins << QString();
    return logins;
}

bool shows(const QStringList& shown, const QString& login)
{
    return shown.isEmpty() || shown.contains(login);
}

QList<TerminPtr> kept(const QList<TerminPtr>& appointments, const QStringList& logins)
{
    if (logins.isEmpty())
        return appointments;
    QList<TerminPtr> result;
    for (const TerminPtr& a : appointments)
        if (std::any_of(logins.begin(), logins.end(),
                        [&a](const QString& login) { return a->Concerns(login); }))
            result << a;
    return result;
}

QList<Person> people(const QList<TerminPtr>& appointments, const QList<TeamMember>& team,
                     const QStringList& shown)
{
    const auto person = [&team](const QString& login) {
        return Person{login, login.isEmpty() ? QString() : Team::shownName(team, login),
                      Team::colorOf(team, login)};
    };
    QList<Person> result;
    QSet<QString> listed;
    for (const TeamMember& member : team) {
        listed << member.login;
        if (shows(shown, member.login))
            result << person(member.login);
    }
    QStringList others;
    for (const TerminPtr& a : appointments)
        for (const QString& login : loginsOf(*a))
            if (!listed.contains(login) && !others.contains(login) && shows(shown, login))
                others << login;
    // The empty login sorts first; its lane stands last.
    std::sort(others.begin(), others.end());
    if (others.value(0).isEmpty() && !others.isEmpty())
        others.move(0, others.size() - 1);
    for (const QString& login : others)
        result << person(login);
    return result;
}

QList<Person> withRooms(QList<Person> people, const QList<TeamRoom>& rooms)
{
    // A neutral grey: a room belongs to nobody.
    constexpr qint64 kRoomColor = 0xC8C8C8;
    for (const TeamRoom& room : rooms)
        people << Person{QString(), room.name, kRoomColor, room.name};
    return people;
}

QList<Lane> lanes(const QList<TerminPtr>& day, const QList<Person>& people, bool rowPerColor)
{
    QList<Lane> result;
    for (const Person& person : people) {
        Lane lane{person, {}, {}};
        for (const TerminPtr& a : day)
            if (person.room.isEmpty() ? loginsOf(*a).contains(person.login)
                                      : a->Rooms().contains(person.room, Qt::CaseInsensitive))
                lane.appointments << a;
        lane.columns = DayLayout::columns(lane.appointments, rowPerColor);
        result << lane;
    }
    return result;
}

QString shownName(const Person& person, const QString& langCode)
{
    if (!person.room.isEmpty())
        return person.room;
    return person.login.isEmpty() ? Language::translate("PersonLanes", kNoOwner, langCode)
                                  : person.name;
}

} // namespace PersonLanes
