#pragma once

#include "store/ClassTermin.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A room (or piece of equipment) is booked by one appointment at a time. The rules that
// decide whether a booking may be written, apart from the claims and reads that feed them
// (RoomClaims): given what else the folder shows on a day, does the booking clash?
namespace RoomBooking {

// A series is checked this far ahead of today (or to its end when that comes first): beyond,
// a clash is found when the other booking is written.
inline constexpr int kSeriesYearsChecked = 2;

// Whether two appointments of one day take time from each other: touching ends do not, one
// that takes the whole day takes it from every other.
bool overlaps(const ClassTermin& a, const ClassTermin& b);

// The rooms of mine that other books too, as mine names them; letter case does not count.
QStringList sharedRooms(const ClassTermin& mine, const ClassTermin& other);

struct Clash {
    QString room; // as mine names it
    TerminPtr holder;
};

// The first of others (all shown on one day) that books a room of mine at an overlapping
// time; never a file of ownFiles (mine's own, or the one it replaces). A private appointment
// of another user books its rooms as any other.
std::optional<Clash> clashOn(const ClassTermin& mine, const QList<TerminPtr>& others,
                             const QStringList& ownFiles);

// The days mine must be checked on: its day, or a series' days from today on (from its start
// when later) up to kSeriesYearsChecked years ahead or its end. None for a record that books
// no room, and for a series' rule file, whose occurrences are checked one by one.
QList<QDate> daysToCheck(const ClassTermin& mine, const QDate& today);

// "Room 2 is booked by Anna Meier, 10:00–11:00": ownerName is the name the team gives the
// holder's owner.
QString bookedText(const Clash& clash, const QString& ownerName);
// The claim of the room is held by another copy right now.
QString beingBookedText(const QString& room);

} // namespace RoomBooking
