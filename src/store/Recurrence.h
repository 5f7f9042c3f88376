#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Where an appointment's file lies tells what kind it is: a one-time appointment lies in the
// directory of its day, y<year>/m<month>/d<day>/, a recurring one in the recurring tree under
// the directory of its kind. The one place that knows this layout, both ways.
namespace Recurrence {

// The top directory of the recurring tree.
inline constexpr QLatin1String kTreeName("recurring");
// Whether relative (separated by '/') lies in the recurring tree.
bool inTree(QStringView relative);

enum class Kind {
    None,    // one-time
    Daily,   // recurring/every/
    Weekly,  // recurring/wd<weekday>/, 1 = Sunday
    Monthly, // recurring/d<day>/
    Yearly,  // recurring/m<month>/d<day>/
};

// The kind the directories just above a file tell (either separator). Only they count: they
// lie inside the data folder wherever the folder itself is, so a data folder below a
// directory named "recurring" holds one-time appointments all the same.
Kind ofPath(const QString& path);

// The editor's codes "d", "wd", "m" and "y"; any other code files as yearly.
Kind ofCode(const QString& code);
QString code(Kind kind);

// Whether an appointment of this kind falls on date, its weekday, day or month and day taken
// from pattern (any day it is shown on).
bool appliesOn(Kind kind, const QDate& pattern, const QDate& date);
// The first day of first..last (both inclusive) an appointment of this kind falls on; invalid
// when none does.
QDate firstOn(Kind kind, const QDate& pattern, const QDate& first, const QDate& last);

// The directory inside dataFolder (which ends in a separator) that an appointment of this
// kind on date lies in; it ends in the native separator.
QString directory(const QString& dataFolder, Kind kind, const QDate& date);
// The five directories an appointment shown on date may lie in, the day's own first.
QStringList directoriesOfDay(const QString& dataFolder, const QDate& date);

// Whether relative (separated by '/') names an appointment file of the tree as directory()
// lays it out: y<year>/m<month>/d<day>/<name>.nv3 of a real date, or a file of
// recurring/every, recurring/wd<1..7>, recurring/d<1..31> or recurring/m<month>/d<day>. The
// one test for a path that comes from a record, a server or a command line: anything else
// (an absolute path, "..", a hidden or temporary name, another directory) is no appointment.
bool isAppointmentPath(QStringView relative);
// The day a one-time appointment's file lies under by its y/m/d directories, named as
// directory() names them; invalid for any other path, the recurring tree's among them.
QDate dayOf(const QString& path);
// The number of a directory name of the tree: prefix and a number in first..last, written as
// directory() writes it (no leading zero); 0 for any other name.
int numberIn(QStringView name, QLatin1String prefix, int first, int last);
// The data folder an appointment file lies in, by the tree part at the end of its path (see
// isAppointmentPath), ending in a separator; empty when the path ends in no such part.
QString folderOf(const QString& path);

} // namespace Recurrence
