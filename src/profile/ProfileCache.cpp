#include "profile/ProfileCache.h"

#include "profile/ProfileCodec.h"

#include <cerrno>
#include <cstring>

namespace {

const std::shared_ptr<const ProfileDocument>& emptyDocument()
{
    static const auto empty = std::make_shared<const ProfileDocument>();
    return empty;
}

} // namespace

ProfileCache::ProfileCache(FileAccess& files, int capacity, qint64 byteCapacity, Clock clock)
    : m_files(files)
    , m_capacity(std::max(1, capacity))
    , m_byteCapacity(std::max<qint64>(1, byteCapacity))
    , m_clock(std::move(clock))
{
}

QDateTime ProfileCache::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
}

ProfileCache::Lookup ProfileCache::lookup(const QString& path, const QString& root)
{
    return lookup(path, m_files.metadata(path), root);
}

ProfileCache::Lookup ProfileCache::lookup(const QString& path, const std::optional<FileMeta>& meta,
                                          const QString& root)
{
    if (!meta) {
        forget(path);
        return {emptyDocument(), State::Missing, {}, {}};
    }
    // Known to be too large, it is not read at all: on a share that would be a megabyte at
    // every pass.
    if (meta->size > kMaxFileBytes) {
        forget(path);
        return tooLarge(*meta);
    }
    const auto found = m_entries.find(path);
    if (found != m_entries.end() && found->entry.lookup.meta == *meta && !found->entry.racy) {
        m_order.splice(m_order.end(), m_order, found->position);
        return found->entry.lookup;
    }
    return reload(path, root, found != m_entries.end() ? &found->entry : nullptr);
}

bool ProfileCache::wouldRead(const QString& path, const FileMeta& meta) const
{
    if (meta.size > kMaxFileBytes)
        return false;
    const auto found = m_entries.constFind(path);
    return found == m_entries.cend() || found->entry.lookup.meta != meta || found->entry.racy;
}

ProfileCache::Lookup ProfileCache::read(const QString& path, const QString& root)
{
    const auto found = m_entries.find(path);
    return reload(path, root, found != m_entries.end() ? &found->entry : nullptr);
}

ProfileCache::Lookup ProfileCache::lookupForWrite(const QString& path, const QString& root)
{
    // Whatever the answer, a name noted free is taken once.
    const bool free = !m_freeName.isEmpty() && std::exchange(m_freeName, QString()) == path &&
                      m_freeNameAge.elapsed() < kFreeNameMs;
    if (free)
        return {emptyDocument(), State::Missing, {}, {}, true};
    return holds(path) ? lookup(path, root) : read(path, root);
}

void ProfileCache::noteFree(const QString& path)
{
    m_freeName = path;
    m_freeNameAge.start();
}

ProfileCache::Lookup ProfileCache::reload(const QString& path, const QString& root,
                                          const Entry* previous)
{
    bool racy = false;
    Lookup loaded = load(path, root, &racy);
    if (loaded.state != State::Read) {
        forget(path); // a read that failed on the way is tried again next time
        return loaded;
    }
    // Unchanged content keeps its document (a young file read again, say), so every holder
    // of what was made from it goes on sharing it.
    if (previous && previous->lookup.meta == loaded.meta &&
        previous->lookup.document->toText() == loaded.document->toText())
        loaded.document = previous->lookup.document;
    const qint64 cost = loaded.document->memoryCost() + qint64(path.size()) * 2;
    remember(path, Entry{loaded, racy, cost});
    return loaded;
}

ProfileCache::Lookup ProfileCache::load(const QString& path, const QString& root, bool* racy)
{
    ReadOutcome read = m_files.read(path, kReadLimit, root);
    switch (read.status) {
    case ReadOutcome::Missing:
        return {emptyDocument(), State::Missing, {}, {}, true};
    case ReadOutcome::NotRegular:
        return {emptyDocument(), State::NotRegular, {}, {}};
    case ReadOutcome::Failed:
        return {emptyDocument(), State::Unreadable, {}, read.error};
    case ReadOutcome::Read:
        break;
    }
    if (read.bytes.size() > kMaxFileBytes)
        return tooLarge(read.meta);
    const qint64 age = read.meta.modified.msecsTo(now());
    *racy = age < kTimestampGranularityMs; // a time in the future counts as young
    return {std::make_shared<const ProfileDocument>(ProfileCodec::decode(read.bytes)),
            State::Read,
            read.meta,
            {}};
}

ProfileCache::Lookup ProfileCache::tooLarge(const FileMeta& meta)
{
    // Part of a file would be an appointment or settings of defaults: one that cannot be read
    // whole is not read at all, and never written over.
    return {emptyDocument(), State::Unreadable, meta, QString::fromLocal8Bit(std::strerror(EFBIG))};
}

void ProfileCache::remember(const QString& path, Entry entry)
{
    forget(path);
    m_bytes += entry.cost;
    m_order.push_back(path);
    m_entries.insert(path, Slot{std::move(entry), std::prev(m_order.end())});
    while (m_entries.size() > 1 && (int(m_entries.size()) > m_capacity || m_bytes > m_byteCapacity))
        forget(m_order.front());
}

void ProfileCache::forget(const QString& path)
{
    if (path == m_freeName)
        m_freeName.clear();
    const auto found = m_entries.find(path);
    if (found == m_entries.end())
        return;
    m_bytes -= found->entry.cost;
    m_order.erase(found->position);
    m_entries.erase(found);
}

void ProfileCache::clear()
{
    m_freeName.clear();
    m_entries.clear();
    m_order.clear();
    m_bytes = 0;
}
