#include "Recurrence.h"

#include "Common.h"

#include <QDir>
#include <QRegularExpression>

namespace Recurrence {

namespace {

const QString kRecurring = QStringLiteral("recurring");
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

Kind ofPath(const QString& path)
{
    static const QRegularExpression separators(QStringLiteral(R"([\\/])"));
    const QStringList parts = path.split(separators);
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

} // namespace Recurrence
