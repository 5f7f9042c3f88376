#include "service/IndexKeeping.h"

#include "profile/ProfileCodec.h"
#include "store/Recurrence.h"

#include <QDir>

IndexKeeping::IndexKeeping(FileAccess& files, ProfileCache& profiles, QString directory)
    : m_profiles(profiles)
    , m_directory(std::move(directory))
    , m_index(m_directory)
    , m_crawl(files, profiles, m_index)
{
}

void IndexKeeping::useFolder(const QString& folder)
{
    if (m_directory.isEmpty())
        return;
    if (folder == m_folder && !m_index.damaged())
        return;
    // A file found damaged is made anew, and what it held is crawled for again.
    m_folder = folder;
    m_crawl.restart();
    if (!folder.isEmpty())
        m_index.open(folder);
}

void IndexKeeping::takeSeen(const DataAccess::PassMemo& seen)
{
    if (!m_index.isOpen())
        return;
    QStringList changed;
    {
        const AppointmentIndex::Batch batch(m_index);
        for (auto listing = seen.listings.cbegin(); listing != seen.listings.cend(); ++listing) {
            // The views list the directories that hold files only.
            const QString& dir = listing.key();
            const QString inside = QDir::fromNativeSeparators(dir.mid(m_index.folder().size()));
            if (dir.startsWith(m_index.folder()) &&
                Recurrence::isAppointmentPath(QString(inside + u"0.nv3")) &&
                m_index.removeMissing(dir, listing.value()) > 0)
                changed << dir;
        }
        for (auto file = seen.files.cbegin(); file != seen.files.cend(); ++file) {
            const QString& path = file.key();
            const bool differs =
                file->state == ProfileCache::State::Read
                    ? m_index.put(path, file->meta,
                                  *FolderCrawl::recordOf(m_profiles, path, file.value()))
                    : m_index.remove(path);
            if (differs)
                changed << path;
        }
    }
    for (const QString& path : std::as_const(changed))
        m_crawl.noteChangeOf(path);
}

void IndexKeeping::written(const QString& path, const QByteArray& content,
                           const std::optional<FileMeta>& meta)
{
    if (!m_index.isOpen())
        return;
    if (!meta) {
        m_index.remove(path); // the crawl reads it
        return;
    }
    ProfileCache::Lookup file;
    file.document = std::make_shared<const ProfileDocument>(ProfileCodec::decode(content));
    file.state = ProfileCache::State::Read;
    file.meta = *meta;
    m_index.put(path, *meta, *FolderCrawl::recordOf(m_profiles, path, file));
}

void IndexKeeping::removed(const QString& path)
{
    if (m_index.isOpen())
        m_index.remove(path);
}

void IndexKeeping::confirm(const QStringList& paths)
{
    if (!m_index.isOpen())
        return;
    const AppointmentIndex::Batch batch(m_index);
    for (const QString& path : paths) {
        if (!path.startsWith(m_index.folder()))
            continue;
        const ProfileCache::Lookup file = m_profiles.lookup(path, m_folder);
        const bool differs =
            file.state == ProfileCache::State::Read
                ? m_index.put(path, file.meta, *FolderCrawl::recordOf(m_profiles, path, file))
                : m_index.remove(path);
        if (differs)
            m_crawl.noteChangeOf(path);
    }
}

FolderCrawl::Step IndexKeeping::crawl()
{
    useFolder(m_folder);
    return m_crawl.step();
}

IndexedWrites::IndexedWrites(std::unique_ptr<FileAccess> inner, IndexKeeping& index)
    : detail::OwnedFileAccess{std::move(inner)}
    , ForwardingFileAccess(*owned)
    , m_index(index)
{
}

WriteOutcome IndexedWrites::writeFile(const QString& path, const QByteArray& content,
                                      const QString& root, Replace replace)
{
    WriteOutcome outcome = ForwardingFileAccess::writeFile(path, content, root, replace);
    if (outcome.ok)
        m_index.written(path, content, outcome.written);
    return outcome;
}

bool IndexedWrites::remove(const QString& path, const QString& root)
{
    const bool removed = ForwardingFileAccess::remove(path, root);
    if (removed)
        m_index.removed(path);
    return removed;
}
