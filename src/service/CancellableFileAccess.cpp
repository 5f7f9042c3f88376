#include "service/CancellableFileAccess.h"

CancellableFileAccess::CancellableFileAccess(std::unique_ptr<FileAccess> inner)
    : ForwardingFileAccess(*inner)
    , m_owned(std::move(inner))
{
}

std::optional<DirectoryListing> CancellableFileAccess::listDirectory(const QString& dir,
                                                                     const QString& suffix,
                                                                     const QString& root,
                                                                     DirectoryTime time)
{
    return m_cancelled ? std::nullopt : m_inner.listDirectory(dir, suffix, root, time);
}

bool CancellableFileAccess::isListableDir(const QString& dir)
{
    return !m_cancelled && m_inner.isListableDir(dir);
}

std::optional<FileMeta> CancellableFileAccess::metadata(const QString& path)
{
    return m_cancelled ? std::nullopt : m_inner.metadata(path);
}

std::optional<FileMeta> CancellableFileAccess::directoryMetadata(const QString& dir)
{
    return m_cancelled ? std::nullopt : m_inner.directoryMetadata(dir);
}

bool CancellableFileAccess::exists(const QString& path)
{
    return !m_cancelled && m_inner.exists(path);
}

ReadOutcome CancellableFileAccess::read(const QString& path, qint64 maxBytes, const QString& root)
{
    if (!m_cancelled)
        return m_inner.read(path, maxBytes, root);
    ReadOutcome unread;
    unread.status = ReadOutcome::Failed;
    return unread;
}

WriteOutcome CancellableFileAccess::writeFile(const QString& path, const QByteArray& content,
                                              const QString& root, Replace replace)
{
    if (m_cancelled)
        return WriteOutcome::failed(WriteOutcome::Cause::FolderUnreachable, path);
    return m_inner.writeFile(path, content, root, replace);
}

bool CancellableFileAccess::remove(const QString& path, const QString& root)
{
    return !m_cancelled && m_inner.remove(path, root);
}

bool CancellableFileAccess::makePath(const QString& dir)
{
    return !m_cancelled && m_inner.makePath(dir);
}
