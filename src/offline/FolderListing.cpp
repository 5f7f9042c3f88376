#include "offline/FolderListing.h"

#include "offline/OfflineText.h"
#include "store/AppointmentFile.h"
#include "store/Recurrence.h"

#include <QDir>

namespace FolderListing {

namespace {

class Lister {
public:
    Lister(FileAccess& files, const QString& folder,
           const std::optional<FolderPlan::Window>& window)
        : m_files(files)
        , m_folder(folder)
        , m_window(window)
    {
    }

    std::optional<Files> run(QString* error)
    {
        walk({}, 0);
        // A file that went from a listing is gone, unless the folder itself went away.
        if (m_failed.isEmpty() && !m_files.isListableDir(m_folder))
            m_failed = m_folder;
        if (!m_failed.isEmpty()) {
            *error = OfflineText::tr("%1 cannot be listed").arg(QDir::toNativeSeparators(m_failed));
            return std::nullopt;
        }
        return std::move(m_found);
    }

private:
    // Whether a directory at depth (0: the folder) may hold days of the window.
    bool wanted(const QString& relative, int depth) const
    {
        if (!m_window || Recurrence::inTree(relative))
            return true;
        const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
        const int year = Recurrence::numberIn(parts.value(0), QLatin1String("y"), 1, 9999);
        if (!year || year < m_window->from.year() || year > m_window->to.year())
            return false;
        if (depth < 3)
            return true;
        const int month = Recurrence::numberIn(parts.value(1), QLatin1String("m"), 1, 12);
        const QDate day(year, month,
                        Recurrence::numberIn(parts.value(2), QLatin1String("d"), 1, 31));
        return day.isValid() && day >= m_window->from && day <= m_window->to;
    }

    void walk(const QString& relative, int depth)
    {
        if (!m_failed.isEmpty() || depth > 3)
            return;
        const auto listing =
            m_files.listFiles(m_folder + relative, AppointmentFile::kExtension, m_folder);
        if (!listing) {
            m_failed = m_folder + relative;
            return;
        }
        for (const QString& name : listing->names) {
            const QString path = relative + name;
            if (!FolderPlan::isCarried(path))
                continue;
            // Gone since the listing: left out, the next reconcile sees it as it is then.
            if (const auto meta = m_files.metadata(m_folder + path))
                m_found.insert(path, *meta);
        }
        for (const QString& dir : listing->directories) {
            const QString sub = relative + dir + u'/';
            if (!dir.startsWith(u'.') && wanted(sub, depth + 1))
                walk(sub, depth + 1);
        }
    }

    FileAccess& m_files;
    const QString& m_folder;
    const std::optional<FolderPlan::Window>& m_window;
    Files m_found;
    QString m_failed;
};

} // namespace

std::optional<Files> list(FileAccess& files, const QString& folder,
                          const std::optional<FolderPlan::Window>& window, QString* error)
{
    return Lister(files, folder, window).run(error);
}

} // namespace FolderListing
