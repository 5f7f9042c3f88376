#pragma once

#include "index/AppointmentIndex.h"
#include "index/FolderCrawl.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "store/DataAccess.h"
#include "threads/ShareClock.h"

#include <QString>

#include <memory>

// The store worker's local index of its folder, on the worker's thread: kept from what the
// worker reads and writes anyway, and brought up to the folder by a crawl in small steps that
// the service runs while nothing else waits. Without a directory there is no index, and every
// call does nothing.
class IndexKeeping {
public:
    // files: the worker's share; directory: where the indexes lie (see AppointmentIndex).
    IndexKeeping(FileAccess& files, ProfileCache& profiles, QString directory);

    // Opens the folder's index unless it is open already; after a change of folder the crawl
    // begins anew.
    void useFolder(const QString& folder);

    // What a pass of the views saw: files read, gone or unreadable, and directories listed.
    void takeSeen(const DataAccess::PassMemo& seen);
    // Our own writes and removals, as the file access made them.
    void written(const QString& path, const QByteArray& content,
                 const std::optional<FileMeta>& meta);
    void removed(const QString& path);
    // Another process changed the folder.
    void noteChange() { m_crawl.noteChange(); }
    // Looks at these files on the share (their metadata, and a read where it changed) and
    // keeps what they hold now: what a search found is checked before it is trusted.
    void confirm(const QStringList& paths);

    FolderCrawl::Step crawl();
    FolderCrawl::Progress crawlProgress() const { return m_crawl.progress(); }

private:
    ProfileCache& m_profiles;
    const QString m_directory;
    AppointmentIndex m_index;
    FolderCrawl m_crawl;
    QString m_folder; // the one asked for, opened or not
};

// Passes every call on, and tells the index of each write and removal that went through.
class IndexedWrites : private detail::OwnedFileAccess, public ForwardingFileAccess {
public:
    IndexedWrites(std::unique_ptr<FileAccess> inner, IndexKeeping& index);

    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override;
    bool remove(const QString& path, const QString& root) override;

private:
    IndexKeeping& m_index;
};
