#pragma once

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>

// The folder as an older copy reads it: the y/m/d tree and the four recurring directory kinds
// (every, wd1..7 with 1 = Sunday, d1..31, m1..12/d1..31) with their RecurringFrom/Until keys,
// and no other key or directory. The texts each day of from..to shows, sorted; a file in a
// place such a copy does not know shows under an invalid date as "?path".
namespace OlderCopy {

QMap<QDate, QStringList> shown(const QString& folder, const QDate& from, const QDate& to);

} // namespace OlderCopy
