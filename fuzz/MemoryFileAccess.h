#pragma once

// A file system in memory behind the store's file-access seam: a fuzzer runs thousands of
// inputs a second through the same code the disk would, and nothing touches the disk.
#include "profile/FileAccess.h"

#include <QHash>
#include <QSet>

class MemoryFileAccess : public FileAccess {
public:
    // Directories end in '/'.
    void addDirectory(const QString& dir)
    {
        QString path = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
        while (!path.isEmpty() && !m_dirs.contains(path)) {
            m_dirs.insert(path);
            path = parentOf(path);
        }
    }
    void put(const QString& path, const QByteArray& bytes)
    {
        File& file = m_files[path];
        file.bytes = bytes;
        // Every write is a new file with a new time, as an atomic rename leaves it.
        ++m_clock;
        file.meta.inode = quint64(m_clock);
        file.meta.modifiedNs = m_clock * 1000000;
        file.meta.changedNs = file.meta.modifiedNs;
        file.meta.modified = QDateTime::fromMSecsSinceEpoch(kEpochMs + m_clock, Qt::UTC);
        file.meta.size = bytes.size();
    }
    QByteArray bytesOf(const QString& path) const { return m_files.value(path).bytes; }
    QStringList paths() const { return m_files.keys(); }

    std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                  const QString&, DirectoryTime time) override
    {
        if (!m_dirs.contains(dir))
            return std::nullopt;
        DirectoryListing listing;
        if (time == DirectoryTime::Asked)
            listing.time = directoryMetadata(dir);
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
            if (parentOf(it.key()) == dir && it.key().endsWith(suffix, Qt::CaseInsensitive))
                listing.names.append(it.key().mid(dir.size()));
        }
        listing.names.sort();
        return listing;
    }
    bool isListableDir(const QString& dir) override
    {
        return m_dirs.contains(dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/'));
    }
    std::optional<FileMeta> metadata(const QString& path) override
    {
        const auto it = m_files.constFind(path);
        if (it == m_files.cend())
            return std::nullopt;
        return it->meta;
    }
    std::optional<FileMeta> directoryMetadata(const QString& dir) override
    {
        return isListableDir(dir) ? std::optional(FileMeta()) : std::nullopt;
    }
    bool exists(const QString& path) override
    {
        return m_files.contains(path) || isListableDir(path);
    }
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString&) override
    {
        ReadOutcome outcome;
        const auto it = m_files.constFind(path);
        if (it == m_files.cend()) {
            outcome.status = isListableDir(path) ? ReadOutcome::NotRegular : ReadOutcome::Missing;
            return outcome;
        }
        outcome.status = ReadOutcome::Read;
        outcome.bytes = it->bytes.left(maxBytes);
        outcome.meta = it->meta;
        return outcome;
    }
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override
    {
        // As on disk: with a root, the directories inside it are made, root itself never;
        // without one, a missing directory is a failure.
        const QString dir = parentOf(path);
        if (!root.isEmpty() && !m_dirs.contains(dir)) {
            const QString top = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
            if (!m_dirs.contains(top))
                return WriteOutcome::failed(WriteOutcome::Cause::FolderUnreachable, root);
            if (dir.startsWith(top))
                addDirectory(dir);
        }
        if (!m_dirs.contains(dir) || isListableDir(path))
            return WriteOutcome::failed(WriteOutcome::Cause::System, path);
        if (replace == Replace::Never && m_files.contains(path))
            return WriteOutcome::failed(WriteOutcome::Cause::NameTaken, path);
        put(path, content);
        WriteOutcome outcome = WriteOutcome::done();
        outcome.written = m_files.value(path).meta;
        return outcome;
    }
    bool remove(const QString& path, const QString&) override { return m_files.remove(path) > 0; }
    bool createExclusively(const QString& path, const QByteArray& content, const QString&) override
    {
        if (m_files.contains(path))
            return false;
        put(path, content);
        return true;
    }
    bool makePath(const QString& dir) override
    {
        addDirectory(dir);
        return true;
    }

private:
    static constexpr qint64 kEpochMs = 1577836800000; // 2020-01-01, so no file is young

    struct File {
        QByteArray bytes;
        FileMeta meta;
    };

    // "/a/b/" for "/a/b/c" and for "/a/b/c/"; empty above the root.
    static QString parentOf(const QString& path)
    {
        if (path.size() <= 1)
            return {};
        const qsizetype end = path.endsWith(QLatin1Char('/')) ? path.size() - 2 : path.size() - 1;
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'), end);
        return slash < 0 ? QString() : path.left(slash + 1);
    }

    QHash<QString, File> m_files;
    QSet<QString> m_dirs;
    qint64 m_clock = 0;
};
