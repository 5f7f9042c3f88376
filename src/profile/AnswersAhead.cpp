#include "profile/AnswersAhead.h"

void AheadRequests::removeDuplicates()
{
    listings.removeDuplicates();
    metadata.removeDuplicates();
    reads.removeDuplicates();
    timedListings.removeDuplicates();
}

void AnswersAhead::addListing(const QString& dir, std::optional<DirectoryListing> listing)
{
    m_listings.insert(dir, std::move(listing));
}

void AnswersAhead::addMetadata(const QString& path, std::optional<FileMeta> meta)
{
    m_metadata.insert(path, std::move(meta));
}

void AnswersAhead::addRead(const QString& path, qint64 maxBytes, ReadOutcome read)
{
    m_reads.insert(path, {maxBytes, std::move(read)});
}

void AnswersAhead::clear()
{
    m_listings.clear();
    m_metadata.clear();
    m_reads.clear();
}

const std::optional<DirectoryListing>* AnswersAhead::listing(const QString& dir) const
{
    const auto found = m_listings.constFind(dir);
    return found == m_listings.cend() ? nullptr : &*found;
}

const std::optional<FileMeta>* AnswersAhead::metadataOf(const QString& path) const
{
    const auto found = m_metadata.constFind(path);
    return found == m_metadata.cend() ? nullptr : &*found;
}

std::optional<DirectoryListing> AnswersAhead::listDirectory(const QString& dir,
                                                            const QString& suffix,
                                                            const QString& root, DirectoryTime time)
{
    // The store lists its directories with one suffix and one root, the ones asked ahead with.
    if (const auto found = m_listings.constFind(dir);
        found != m_listings.cend() &&
        (time == DirectoryTime::NotAsked || !*found || (*found)->time))
        return m_listings.take(dir);
    return ForwardingFileAccess::listDirectory(dir, suffix, root, time);
}

std::optional<FileMeta> AnswersAhead::metadata(const QString& path)
{
    if (m_metadata.contains(path))
        return m_metadata.take(path);
    return ForwardingFileAccess::metadata(path);
}

ReadOutcome AnswersAhead::read(const QString& path, qint64 maxBytes, const QString& root)
{
    if (const auto found = m_reads.find(path);
        found != m_reads.end() && found->maxBytes == maxBytes)
        return m_reads.take(path).outcome;
    return ForwardingFileAccess::read(path, maxBytes, root);
}

WriteOutcome AnswersAhead::writeFile(const QString& path, const QByteArray& content,
                                     const QString& root, Replace replace)
{
    forget(path);
    return ForwardingFileAccess::writeFile(path, content, root, replace);
}

bool AnswersAhead::remove(const QString& path, const QString& root)
{
    forget(path);
    return ForwardingFileAccess::remove(path, root);
}

void AnswersAhead::forget(const QString& path)
{
    m_metadata.remove(path);
    m_reads.remove(path);
    m_listings.remove(path.left(path.lastIndexOf(QLatin1Char('/')) + 1));
}
