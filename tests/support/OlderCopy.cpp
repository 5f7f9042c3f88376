#include "OlderCopy.h"

#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QHash>

#include <algorithm>

namespace {

// Keys in lower case, values as written: an older copy's own reading of the original keys.
QHash<QString, QString> keysOf(const QString& path)
{
    QHash<QString, QString> keys;
    for (const QByteArray& line : TestFiles::readBytes(path).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && !keys.contains(QString::fromUtf8(line.left(eq)).trimmed().toLower()))
            keys.insert(QString::fromUtf8(line.left(eq)).trimmed().toLower(),
                        QString::fromUtf8(line.mid(eq + 1)).trimmed());
    }
    return keys;
}

QDate dateOf(const QHash<QString, QString>& keys, const QString& prefix, const QDate& otherwise)
{
    const QDate date(keys.value(prefix + "year").toInt(), keys.value(prefix + "month").toInt(),
                     keys.value(prefix + "day").toInt());
    return date.isValid() ? date : otherwise;
}

int numberAfter(const QString& dir, const char* prefix)
{
    return dir.startsWith(QLatin1String(prefix)) ? dir.mid(int(qstrlen(prefix))).toInt() : 0;
}

} // namespace

namespace OlderCopy {

QMap<QDate, QStringList> shown(const QString& folder, const QDate& from, const QDate& to)
{
    QMap<QDate, QStringList> days;
    QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QStringList dirs = QDir(folder).relativeFilePath(path).split('/');
        const QHash<QString, QString> keys = keysOf(path);
        const QString text = keys.value("text");
        if (dirs.size() == 4 && numberAfter(dirs[0], "y") > 0) {
            const QDate day(numberAfter(dirs[0], "y"), numberAfter(dirs[1], "m"),
                            numberAfter(dirs[2], "d"));
            if (day >= from && day <= to)
                days[day] << text;
            continue;
        }
        if (dirs.size() < 3 || dirs[0] != "recurring") {
            days[QDate()] << "?" + path;
            continue;
        }
        // Without range keys a recurring file applies from 1990 to 2020.
        const QDate first = std::max(from, dateOf(keys, "recurringfrom", {1990, 1, 1}));
        const QDate last = std::min(to, dateOf(keys, "recurringuntil", {2020, 12, 31}));
        const int weekday = numberAfter(dirs[1], "wd"); // 1 = Sunday
        const int monthDay =
            dirs.size() == 3 ? numberAfter(dirs[1], "d") : numberAfter(dirs[2], "d");
        const int month = dirs.size() == 4 ? numberAfter(dirs[1], "m") : 0;
        const bool every = dirs.size() == 3 && dirs[1] == "every";
        if (!every && !(dirs.size() == 3 && (weekday || monthDay)) && !(month && monthDay)) {
            days[QDate()] << "?" + path;
            continue;
        }
        for (QDate d = first; d <= last; d = d.addDays(1)) {
            if (every || (weekday && d.dayOfWeek() % 7 + 1 == weekday) ||
                (!weekday && monthDay == d.day() && (!month || month == d.month())))
                days[d] << text;
        }
    }
    for (QStringList& texts : days)
        texts.sort();
    return days;
}

} // namespace OlderCopy
