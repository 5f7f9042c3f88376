#include "LocalScan.h"

#include "AppointmentFile.h"
#include "DataAccess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace LocalScan {

namespace {

void addFiles(QHash<QString, Meta>& found, const QString& folder, const QString& dir)
{
    const QDir d(folder + dir);
    for (const QFileInfo& f :
         d.entryInfoList({QLatin1Char('*') + AppointmentFile::kExtension}, QDir::Files))
        found.insert(dir + f.fileName(), {f.lastModified().toMSecsSinceEpoch(), f.size()});
}

// Numbered subdirectories "m1".."m12", "d1".."d31" of dir.
QList<int> numbered(const QString& dir, QChar letter)
{
    QList<int> numbers;
    for (const QString& name : QDir(dir).entryList({QString(letter) + u'*'}, QDir::Dirs)) {
        bool ok = false;
        const int n = name.mid(1).toInt(&ok);
        if (ok)
            numbers << n;
    }
    return numbers;
}

} // namespace

QHash<QString, Meta> scan(const QString& folder, const QDate& from, const QDate& to)
{
    QHash<QString, Meta> found;
    for (int year = from.year(); year <= to.year(); ++year) {
        const QString y = QStringLiteral("y%1/").arg(year);
        for (int month : numbered(folder + y, u'm')) {
            const QString m = y + QStringLiteral("m%1/").arg(month);
            for (int day : numbered(folder + m, u'd')) {
                const QDate date(year, month, day);
                if (date.isValid() && date >= from && date <= to)
                    addFiles(found, folder, m + QStringLiteral("d%1/").arg(day));
            }
        }
    }
    const QString recurring = QStringLiteral("recurring/");
    QDirIterator dirs(folder + recurring, QDir::Dirs | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    while (dirs.hasNext())
        addFiles(found, folder, dirs.next().mid(folder.size()) + u'/');
    return found;
}

bool inWindow(const QString& relativePath, const QDate& from, const QDate& to)
{
    if (relativePath.startsWith(QLatin1String("recurring/")))
        return true;
    const QDate day = DataAccess::DayOfOneTimeFile(QStringLiteral("/") + relativePath);
    return day.isValid() && day >= from && day <= to;
}

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
}

} // namespace LocalScan
