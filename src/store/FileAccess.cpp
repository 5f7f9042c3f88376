#include "FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

std::optional<QStringList> RealFileAccess::listFiles(const QString& dir, const QString& suffix)
{
    QDir d(dir);
    if (!d.exists() || !d.isReadable())
        return std::nullopt;
    d.setFilter(QDir::Files | QDir::Hidden);
    d.setSorting(QDir::Unsorted);
    // Matched by hand: a name filter costs a pattern match per entry. A Windows share may hold
    // ".NV3" names, so letter case does not count.
    QStringList names = d.entryList();
    names.removeIf(
        [&](const QString& name) { return !name.endsWith(suffix, Qt::CaseInsensitive); });
    return names;
}

bool RealFileAccess::isListableDir(const QString& dir)
{
    const QFileInfo info(dir);
    return info.isDir() && info.isReadable();
}

std::optional<FileMeta> RealFileAccess::metadata(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return FileMeta{info.lastModified(), info.size()};
}

std::optional<QByteArray> RealFileAccess::read(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(maxBytes);
}

WriteOutcome RealFileAccess::writeAtomically(const QString& path, const QByteArray& content)
{
    // The temporary name QSaveFile draws never ends in the appointment extension, so a listing
    // by another user never picks up a half-written file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

bool RealFileAccess::remove(const QString& path)
{
    return !path.isEmpty() && QFile::remove(path);
}

bool RealFileAccess::makePath(const QString& dir)
{
    return QDir().mkpath(dir);
}

RealFileAccess& RealFileAccess::instance()
{
    static RealFileAccess real;
    return real;
}

std::optional<QStringList> CountingFileAccess::listFiles(const QString& dir, const QString& suffix)
{
    ++m_counts.listings;
    return m_inner.listFiles(dir, suffix);
}

bool CountingFileAccess::isListableDir(const QString& dir)
{
    ++m_counts.listings;
    return m_inner.isListableDir(dir);
}

std::optional<FileMeta> CountingFileAccess::metadata(const QString& path)
{
    ++m_counts.metadataQueries;
    return m_inner.metadata(path);
}

std::optional<QByteArray> CountingFileAccess::read(const QString& path, qint64 maxBytes)
{
    ++m_counts.reads;
    return m_inner.read(path, maxBytes);
}

WriteOutcome CountingFileAccess::writeAtomically(const QString& path, const QByteArray& content)
{
    ++m_counts.writes;
    return m_inner.writeAtomically(path, content);
}

bool CountingFileAccess::remove(const QString& path)
{
    ++m_counts.removals;
    return m_inner.remove(path);
}

bool CountingFileAccess::makePath(const QString& dir)
{
    ++m_counts.makePaths;
    return m_inner.makePath(dir);
}
