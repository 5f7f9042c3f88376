#include "ProfileCache.h"

#include "ProfileCodec.h"

namespace {

// A file cut at the size limit keeps only its complete lines.
QByteArray cutAtLastLineEnd(QByteArray bytes)
{
    const qsizetype end = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
    bytes.truncate(end + 1);
    return bytes;
}

} // namespace

ProfileCache::ProfileCache(FileAccess& files, int capacity)
    : m_files(files)
    , m_capacity(std::max(1, capacity))
{
}

std::shared_ptr<const ProfileDocument> ProfileCache::document(const QString& path)
{
    return document(path, m_files.metadata(path));
}

std::shared_ptr<const ProfileDocument> ProfileCache::document(const QString& path,
                                                              const std::optional<FileMeta>& meta)
{
    if (!meta) {
        forget(path);
        return std::make_shared<const ProfileDocument>();
    }
    const auto found = m_entries.find(path);
    if (found != m_entries.end() && found->entry.meta == *meta) {
        m_order.splice(m_order.end(), m_order, found->position);
        return found->entry.document;
    }
    auto parsed = load(path);
    if (!parsed) // a read that failed on the way is tried again next time
        return std::make_shared<const ProfileDocument>();
    remember(path, *meta, parsed);
    return parsed;
}

std::shared_ptr<const ProfileDocument> ProfileCache::load(const QString& path)
{
    // One byte more than the limit tells whether the file was cut.
    std::optional<QByteArray> bytes = m_files.read(path, kMaxFileBytes + 1);
    if (!bytes)
        return nullptr;
    if (bytes->size() > kMaxFileBytes)
        *bytes = cutAtLastLineEnd(bytes->left(kMaxFileBytes));
    return std::make_shared<const ProfileDocument>(ProfileCodec::decode(*bytes));
}

void ProfileCache::remember(const QString& path, const FileMeta& meta,
                            const std::shared_ptr<const ProfileDocument>& document)
{
    forget(path);
    m_order.push_back(path);
    m_entries.insert(path, Slot{Entry{meta, document}, std::prev(m_order.end())});
    while (int(m_entries.size()) > m_capacity) {
        m_entries.remove(m_order.front());
        m_order.pop_front();
    }
}

void ProfileCache::forget(const QString& path)
{
    const auto found = m_entries.find(path);
    if (found == m_entries.end())
        return;
    m_order.erase(found->position);
    m_entries.erase(found);
}

void ProfileCache::clear()
{
    m_entries.clear();
    m_order.clear();
}
