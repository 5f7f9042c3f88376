#include "index/FolderCrawl.h"

#include "profile/ApiINI.h"
#include "profile/ProfileCodec.h"
#include "store/AppointmentFile.h"
#include "store/Recurrence.h"

#include <QDir>

#include <algorithm>

FolderCrawl::FolderCrawl(FileAccess& files, ProfileCache& profiles, AppointmentIndex& index)
    : FolderCrawl(files, profiles, index, Pace())
{
}

FolderCrawl::FolderCrawl(FileAccess& files, ProfileCache& profiles, AppointmentIndex& index,
                         Pace pace)
    : m_files(files)
    , m_profiles(profiles)
    , m_index(index)
    , m_pace(pace)
{
}

TerminPtr FolderCrawl::recordOf(ProfileCache& profiles, const QString& path,
                                const ProfileCache::Lookup& file)
{
    // A one-time file is shown on the day its directory names, whatever its keys say.
    QDate day = Recurrence::dayOf(path);
    if (!day.isValid())
        day = QDate(2000, 1, 1);
    return AppointmentFile::read(IniFile(profiles, path, file), day, file.meta.modified,
                                 QTime(0, 0));
}

bool FolderCrawl::vouchesForFolder(FileAccess& files, AppointmentIndex& index)
{
    if (!index.complete())
        return false;
    const auto held = index.directories();
    return !held.isEmpty() && std::all_of(held.cbegin(), held.cend(), [&](const auto& dir) {
        return dir.second && files.directoryMetadata(dir.first) == dir.second;
    });
}

bool FolderCrawl::isTreeDirectory(const QString& dir)
{
    if (dir.isEmpty() || Recurrence::isAppointmentPath(QString(dir + u"0.nv3")))
        return true;
    const QStringList parts = dir.split(u'/', Qt::SkipEmptyParts);
    const auto month = [&] { return Recurrence::numberIn(parts[1], QLatin1String("m"), 1, 12); };
    if (parts.value(0) == Recurrence::kTreeName)
        return parts.size() == 1 || (parts.size() == 2 && month());
    if (!Recurrence::numberIn(parts.value(0), QLatin1String("y"), 1, 9999))
        return false;
    return parts.size() == 1 || (parts.size() == 2 && month());
}

void FolderCrawl::noteChange()
{
    m_changeSeen = true;
    if (m_index.isOpen())
        m_index.setComplete(false);
}

void FolderCrawl::noteChangeOf(const QString& path)
{
    const QString inside = QDir::fromNativeSeparators(path.mid(m_index.folder().size()));
    if (!running() || m_listed.contains(inside.left(inside.lastIndexOf(u'/') + 1)))
        noteChange();
}

void FolderCrawl::restart()
{
    m_directories.clear();
    m_listed.clear();
    m_ranOnce = false;
    m_changeSeen = false;
    m_behind = false;
}

bool FolderCrawl::roundDue() const
{
    if (!m_ranOnce)
        return true;
    const auto since = std::chrono::milliseconds(m_sinceRound.elapsed());
    return since >= m_pace.interval || (m_changeSeen && since >= m_pace.restAfterChange);
}

FolderCrawl::Step FolderCrawl::step()
{
    if (!m_index.isOpen())
        return Step::Done;
    if (m_directories.empty()) {
        if (!roundDue())
            return Step::Done;
        m_directories.push_back({});
        m_listed.clear();
        m_changeSeen = false;
        m_behind = false;
    }
    const QString dir = m_directories.front();
    const QString folder = m_index.folder();
    const QString path = folder + QDir::toNativeSeparators(dir);
    // Taken before the listing: a name that comes meanwhile leaves a later time than the one kept.
    const std::optional<FileMeta> seen = m_files.directoryMetadata(path);
    const std::optional<DirectoryListing> listing =
        m_files.listFiles(path, AppointmentFile::kExtension, folder);
    if (!listing && (dir.isEmpty() || !m_files.isListableDir(folder)))
        return Step::Unreachable;
    m_directories.pop_front();
    m_listed.insert(dir);
    {
        const AppointmentIndex::Batch batch(m_index);
        m_index.putDirectory(path, listing ? seen : std::nullopt);
        if (listing)
            list(dir, *listing);
        else if (m_index.removeMissing(path, {}) > 0) // the directory is gone
            behind();
    }
    if (!m_directories.empty())
        return Step::More;
    // The round is over.
    m_ranOnce = true;
    m_sinceRound.start();
    if (!m_changeSeen)
        m_index.setComplete(true);
    return roundDue() ? Step::More : Step::Done;
}

void FolderCrawl::list(const QString& dir, const DirectoryListing& listing)
{
    QStringList kept;
    QStringList below;
    for (const QString& name : listing.directories) {
        if (isTreeDirectory(dir + name + u'/')) {
            below << dir + name + u'/';
            kept << name + u'/';
        }
    }
    // The recurring tree and the newest years first: what a search looks for most.
    if (dir.isEmpty())
        std::sort(below.begin(), below.end(), [](const QString& a, const QString& b) {
            const bool aRecurring = a.startsWith(u'r');
            if (aRecurring != b.startsWith(u'r'))
                return aRecurring;
            return a.size() != b.size() ? a.size() > b.size() : a > b;
        });
    m_directories.insert(m_directories.begin(), below.cbegin(), below.cend());
    const QString folder = m_index.folder();
    for (const QString& name : listing.names) {
        if (!Recurrence::isAppointmentPath(QString(dir + name)))
            continue;
        kept << name;
        visit(folder + QDir::toNativeSeparators(dir + name));
    }
    if (m_index.removeMissing(folder + QDir::toNativeSeparators(dir), kept) > 0)
        behind();
}

void FolderCrawl::visit(const QString& path)
{
    const std::optional<FileMeta> meta = m_files.metadata(path);
    if (meta && m_index.metaOf(path) == meta)
        return;
    // Read whole or not at all, as the views read it; one that cannot be is not found.
    const ReadOutcome read =
        meta ? m_files.read(path, ProfileCache::kMaxFileBytes + 1, m_index.folder())
             : ReadOutcome();
    if (read.status != ReadOutcome::Read || read.bytes.size() > ProfileCache::kMaxFileBytes) {
        if (m_index.remove(path))
            behind();
        return;
    }
    ProfileCache::Lookup file;
    file.document = std::make_shared<const ProfileDocument>(ProfileCodec::decode(read.bytes));
    file.state = ProfileCache::State::Read;
    file.meta = read.meta;
    if (m_index.put(path, read.meta, *recordOf(m_profiles, path, file)))
        behind();
}

void FolderCrawl::behind()
{
    if (!m_behind)
        m_index.setComplete(false);
    m_behind = true;
}
