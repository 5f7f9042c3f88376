#include "LocalScan.h"

#include "AppointmentFile.h"
#include "DataAccess.h"
#include "FileAccess.h"
#include "ProfileCache.h"
#include "Recurrence.h"

#include <QCryptographicHash>
#include <QDir>

namespace LocalScan {

namespace {

// The subdirectories of dir whose names start with one of prefixes, links left out.
QStringList subdirectories(const QString& dir, const QStringList& prefixes)
{
    QStringList patterns;
    for (const QString& prefix : prefixes)
        patterns << prefix + u'*';
    return QDir(dir).entryList(patterns, QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot);
}

// The number in a directory name such as "m12" after its letter; 0 when there is none.
int numberOf(const QString& name)
{
    bool ok = false;
    const int n = name.mid(1).toInt(&ok);
    return ok ? n : 0;
}

class Scanner {
public:
    explicit Scanner(const QString& folder)
        : m_folder(folder)
    {
    }

    // The appointment files of dir (inside the folder, ending in '/').
    void add(const QString& dir)
    {
        const auto listing =
            m_files.listFiles(m_folder + dir, AppointmentFile::kExtension, m_folder);
        if (!listing)
            return;
        for (const QString& name : listing->names) {
            const QString rel = dir + name;
            if (!Recurrence::isAppointmentPath(rel))
                continue;
            if (const auto meta = m_files.metadata(m_folder + rel))
                m_found.insert(rel, {meta->modified.toMSecsSinceEpoch(), meta->size});
        }
    }

    void addDays(const QString& year, const QDate& from, const QDate& to)
    {
        for (const QString& month : subdirectories(m_folder + year, {"m"})) {
            const QString m = year + u'/' + month + u'/';
            for (const QString& day : subdirectories(m_folder + m, {"d"})) {
                const QDate date(numberOf(year), numberOf(month), numberOf(day));
                if (date.isValid() && date >= from && date <= to)
                    add(m + day + u'/');
            }
        }
    }

    void addRecurring()
    {
        const QString top = QStringLiteral("recurring/");
        for (const QString& kind : subdirectories(m_folder + top, {"every", "wd", "d", "m"})) {
            if (!kind.startsWith(u'm')) {
                add(top + kind + u'/');
                continue;
            }
            for (const QString& day : subdirectories(m_folder + top + kind, {"d"}))
                add(top + kind + u'/' + day + u'/');
        }
    }

    QHash<QString, Meta> found() const { return m_found; }

private:
    const QString& m_folder;
    FileAccess& m_files = ThreadFileAccess();
    QHash<QString, Meta> m_found;
};

} // namespace

QHash<QString, Meta> scan(const QString& folder, const QDate& from, const QDate& to)
{
    Scanner scanner(folder);
    for (const QString& top : subdirectories(folder, {"y", "recurring"})) {
        if (top == QLatin1String("recurring")) {
            scanner.addRecurring();
            continue;
        }
        const int year = numberOf(top);
        if (year >= from.year() && year <= to.year())
            scanner.addDays(top, from, to);
    }
    return scanner.found();
}

bool inWindow(const QString& relativePath, const QDate& from, const QDate& to)
{
    if (relativePath.startsWith(QLatin1String("recurring/")))
        return true;
    const QDate day = DataAccess::DayOfOneTimeFile(QStringLiteral("/") + relativePath);
    return day.isValid() && day >= from && day <= to;
}

std::optional<SyncRecord::File> look(const QString& folder, const QString& relativePath,
                                     std::optional<qint64> listedSize)
{
    constexpr qint64 kMax = ProfileCache::kMaxFileBytes;
    if (listedSize && *listedSize > kMax)
        return std::nullopt;
    const ReadOutcome read = ThreadFileAccess().read(folder + relativePath, kMax + 1, folder);
    if (read.status != ReadOutcome::Read || read.bytes.size() > kMax)
        return std::nullopt;
    return SyncRecord::File{relativePath, read.meta.modified.toMSecsSinceEpoch(), read.meta.size,
                            QCryptographicHash::hash(read.bytes, QCryptographicHash::Sha1).toHex()};
}

} // namespace LocalScan
