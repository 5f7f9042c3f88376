#include "store/Recurrence.h"

#include "calendar/Weeks.h"

#include <QDir>
#include <QRegularExpression>

namespace Recurrence {

namespace {

const QString kRecurring = kTreeName;
const QString kEvery = QStringLiteral("every");

QString subPath(const QString& folder, std::initializer_list<QString> parts)
{
    QString path = folder;
    for (const QString& part : parts)
        path += part + QDir::separator();
    return path;
}

// "d17" for letter 'd': the letter followed by digits only.
bool isNumbered(QStringView name, QLatin1String prefix)
{
    if (name.size() <= prefix.size() || !name.startsWith(prefix))
        return false;
    for (QChar c : name.sliced(prefix.size()))
        if (!c.isDigit())
            return false;
    return true;
}

} // namespace

int numberIn(QStringView name, QLatin1String prefix, int first, int last)
{
    if (!isNumbered(name, prefix) || name.size() > prefix.size() + 4 ||
        name.at(prefix.size()) == QLatin1Char('0'))
        return 0;
    const int number = name.sliced(prefix.size()).toInt();
    return number >= first && number <= last ? number : 0;
}

namespace {

// A file name the store lists: visible (temporary files start with a dot), with the extension.
bool isAppointmentName(QStringView name)
{
    constexpr QLatin1String kExtension(".nv3");
    if (name.size() <= kExtension.size() || name.startsWith(QLatin1Char('.')) ||
        !name.endsWith(kExtension, Qt::CaseInsensitive))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
    }
    return true;
}

// The names of a path, split at either separator.
QStringList namesOf(const QString& path)
{
    static const QRegularExpression separators(QStringLiteral(R"([\\/])"));
    return path.split(separators);
}

bool isMonthDay(QStringView month, QStringView day)
{
    const int m = numberIn(month, QLatin1String("m"), 1, 12);
    const int d = numberIn(day, QLatin1String("d"), 1, 31);
    return m && d && QDate(2000, m, d).isValid(); // a leap year: 29 February is a day
}

} // namespace

bool inTree(QStringView relative)
{
    return relative.startsWith(kTreeName) && relative.mid(kTreeName.size()).startsWith(u'/');
}

Kind ofPath(const QString& path)
{
    const QStringList parts = namesOf(path);
    const qsizetype n = parts.size(); // the last part is the file name
    if (n >= 3 && parts[n - 3] == kRecurring) {
        const QString& dir = parts[n - 2];
        if (dir == kEvery)
            return Kind::Daily;
        if (isNumbered(dir, QLatin1String("wd")))
            return Kind::Weekly;
        if (isNumbered(dir, QLatin1String("d")))
            return Kind::Monthly;
    }
    if (n >= 4 && parts[n - 4] == kRecurring && isNumbered(parts[n - 3], QLatin1String("m")) &&
        isNumbered(parts[n - 2], QLatin1String("d")))
        return Kind::Yearly;
    return Kind::None;
}

Kind ofCode(const QString& code)
{
    if (code == QLatin1String("d"))
        return Kind::Daily;
    if (code == QLatin1String("wd"))
        return Kind::Weekly;
    if (code == QLatin1String("m"))
        return Kind::Monthly;
    return Kind::Yearly;
}

QString code(Kind kind)
{
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::Daily:
        return QStringLiteral("d");
    case Kind::Weekly:
        return QStringLiteral("wd");
    case Kind::Monthly:
        return QStringLiteral("m");
    case Kind::Yearly:
        return QStringLiteral("y");
    }
    return {};
}

bool appliesOn(Kind kind, const QDate& pattern, const QDate& date)
{
    switch (kind) {
    case Kind::None:
        return date == pattern;
    case Kind::Daily:
        return true;
    case Kind::Weekly:
        return Weekday(date) == Weekday(pattern);
    case Kind::Monthly:
        return date.day() == pattern.day();
    case Kind::Yearly:
        break;
    }
    return date.month() == pattern.month() && date.day() == pattern.day();
}

QDate firstOn(Kind kind, const QDate& pattern, const QDate& first, const QDate& last)
{
    if (!pattern.isValid() || !first.isValid())
        return {};
    // A yearly one on 29 February falls on a day within four years and a day.
    constexpr int kLongestGap = 4 * 366;
    int steps = 0;
    for (QDate day = first; day <= last && steps <= kLongestGap; day = day.addDays(1), ++steps)
        if (appliesOn(kind, pattern, day))
            return day;
    return {};
}

QString directory(const QString& dataFolder, Kind kind, const QDate& date)
{
    switch (kind) {
    case Kind::None:
        return subPath(dataFolder, {QStringLiteral("y%1").arg(date.year()),
                                    QStringLiteral("m%1").arg(date.month()),
                                    QStringLiteral("d%1").arg(date.day())});
    case Kind::Daily:
        return subPath(dataFolder, {kRecurring, kEvery});
    case Kind::Weekly:
        return subPath(dataFolder, {kRecurring, QStringLiteral("wd%1").arg(Weekday(date))});
    case Kind::Monthly:
        return subPath(dataFolder, {kRecurring, QStringLiteral("d%1").arg(date.day())});
    case Kind::Yearly:
        break;
    }
    return subPath(dataFolder, {kRecurring, QStringLiteral("m%1").arg(date.month()),
                                QStringLiteral("d%1").arg(date.day())});
}

QStringList directoriesOfDay(const QString& dataFolder, const QDate& date)
{
    return {directory(dataFolder, Kind::None, date), directory(dataFolder, Kind::Daily, date),
            directory(dataFolder, Kind::Weekly, date), directory(dataFolder, Kind::Monthly, date),
            directory(dataFolder, Kind::Yearly, date)};
}

bool isAppointmentPath(QStringView relative)
{
    const QList<QStringView> parts = relative.split(QLatin1Char('/'));
    if (parts.isEmpty() || !isAppointmentName(parts.last()))
        return false;
    if (parts.size() == 4 && parts[0] != kRecurring) {
        const int year = numberIn(parts[0], QLatin1String("y"), 1, 9999);
        return year && isMonthDay(parts[1], parts[2]) &&
               QDate(year, parts[1].sliced(1).toInt(), parts[2].sliced(1).toInt()).isValid();
    }
    if (parts.size() == 3 && parts[0] == kRecurring) {
        return parts[1] == kEvery || numberIn(parts[1], QLatin1String("wd"), 1, 7) ||
               numberIn(parts[1], QLatin1String("d"), 1, 31);
    }
    return parts.size() == 4 && parts[0] == kRecurring && isMonthDay(parts[1], parts[2]);
}

QDate dayOf(const QString& path)
{
    const QStringList parts = namesOf(path);
    const qsizetype n = parts.size();
    if (n < 4 || !isAppointmentName(parts[n - 1]))
        return {};
    const int year = numberIn(parts[n - 4], QLatin1String("y"), 1, 9999);
    const int month = numberIn(parts[n - 3], QLatin1String("m"), 1, 12);
    const int day = numberIn(parts[n - 2], QLatin1String("d"), 1, 31);
    return year && month && day ? QDate(year, month, day) : QDate();
}

QString folderOf(const QString& path)
{
    // The tree part is three or four names long: y/m/d/name, recurring/m/d/name or
    // recurring/kind/name.
    const QString clean = QDir::fromNativeSeparators(path);
    for (int names : {4, 3}) {
        qsizetype at = clean.size();
        for (int i = 0; i < names && at > 0; ++i)
            at = clean.lastIndexOf(QLatin1Char('/'), at - 1);
        if (at > 0 && isAppointmentPath(QStringView(clean).sliced(at + 1)))
            return path.left(at + 1);
    }
    return {};
}

} // namespace Recurrence
