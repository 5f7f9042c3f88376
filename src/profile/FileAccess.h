#pragma once

#include "profile/Descriptor.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <optional>

// The one seam through which the store touches the disk. On a network share every call is a
// round trip, so the store is built to call it as rarely as possible, and tests count the calls.
//
// Calls that take a `root` stay inside it: an entry that leads out of root (through a link
// in its name or in a directory above it) is treated as if it were not there. An empty root
// confines nothing (the settings files may lie anywhere).

// A folder's path as every data folder is named: with the native separator appended, unless
// the path is empty ("/" would make the file system's root the folder) or already ends in
// either separator.
QString WithTrailingSeparator(const QString& path);

class FileAccess;
// The whole of a file the user named, if it is a regular file of at most maxBytes; else
// nothing, and the reason in the user's language in *error.
std::optional<QByteArray> ReadWholeFile(FileAccess& files, const QString& path, qint64 maxBytes,
                                        QString* error);

struct FileMeta {
    QDateTime modified;
    qint64 size = 0;
    // Where the file system reports them (0 otherwise): a file renamed over another, or
    // rewritten with its old time and size, still differs in identity or change time.
    quint64 device = 0;
    quint64 inode = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    bool operator==(const FileMeta&) const = default;
};

// What became of a write: the one result every layer hands up to the window that tells the
// user what failed and why.
struct [[nodiscard]] WriteOutcome {
    enum class Cause {
        System,            // the system refused; error says why
        Unreadable,        // the file is there but could not be read, so it was not written over
        OutsideFolder,     // a link leads out of the data folder
        FolderUnreachable, // the data folder itself is missing or cannot be listed
        Locked,            // the shared settings file is locked
        NotAnswering,      // the data folder did not answer: nothing was written
        Refused,           // the program's own rule refused it; error says why in the user's words
        NameTaken,         // a new file's name was taken meanwhile: nothing was written
    };
    bool ok = false;
    QString error; // the system's reason, when there is one
    Cause cause = Cause::System;
    QString path; // the file or folder concerned
    // The new file's metadata, taken from it once it was closed, where the file access tells:
    // its modification time is the one later lookups see.
    std::optional<FileMeta> written;

    static WriteOutcome done()
    {
        WriteOutcome outcome;
        outcome.ok = true;
        return outcome;
    }
    static WriteOutcome failed(Cause cause, QString path, QString error = {})
    {
        WriteOutcome outcome;
        outcome.cause = cause;
        outcome.path = std::move(path);
        outcome.error = std::move(error);
        return outcome;
    }
};

struct ReadOutcome {
    enum Status {
        Read,       // bytes and meta (taken from the open file) are valid
        Missing,    // nothing at all has the name (any more): no FIFO, directory or link either
        NotRegular, // a directory, FIFO, device, or a link that dangles or leads out of root
        Failed,     // a regular file that could not be read: permission, I/O error
    };
    Status status = Missing;
    QByteArray bytes;
    FileMeta meta;
    QString error;
};

struct DirectoryListing {
    // Regular files, and links to regular files inside root.
    QStringList names;
    // Names the program cannot represent (not valid in the file-name encoding), shown with
    // their odd bytes escaped; neither read nor counted.
    QStringList unrepresentable;
    // Real subdirectories, whatever their names; a link to a directory is none.
    QStringList directories;
    // The directory's own metadata, taken before its names were read, so that a name that
    // comes or goes after the listing changes it (see FileAccess::listFilesWithTime).
    std::optional<FileMeta> time;
};

class FileAccess {
public:
    virtual ~FileAccess() = default;

    // Whether a listing brings the directory's own time: one request more on a share.
    enum class DirectoryTime { NotAsked, Asked };
    // The files in dir whose names end in suffix (letter case ignored), and its subdirectories.
    // nullopt when the directory is missing, cannot be listed, or lies outside root.
    virtual std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                          const QString& root,
                                                          DirectoryTime time) = 0;
    std::optional<DirectoryListing> listFiles(const QString& dir, const QString& suffix,
                                              const QString& root)
    {
        return listDirectory(dir, suffix, root, DirectoryTime::NotAsked);
    }
    // The same with the directory's time, asked of the directory as opened for the listing:
    // one path walk less on a share than asking its metadata first.
    std::optional<DirectoryListing> listFilesWithTime(const QString& dir, const QString& suffix,
                                                      const QString& root)
    {
        return listDirectory(dir, suffix, root, DirectoryTime::Asked);
    }
    // True when dir exists and can be listed.
    virtual bool isListableDir(const QString& dir) = 0;
    // Modification time, size and identity of a regular file; nullopt when there is none.
    virtual std::optional<FileMeta> metadata(const QString& path) = 0;
    // The same of a directory, itself and not a link to one: its time changes when a name in
    // it comes, goes or is renamed over. nullopt when there is none.
    virtual std::optional<FileMeta> directoryMetadata(const QString& dir) = 0;
    // True when anything at all has this name (a FIFO, a dangling link, a directory).
    virtual bool exists(const QString& path) = 0;
    // Up to maxBytes from the start of the file. Never blocks on a FIFO or device: only a
    // regular file is read, as checked on the opened file itself.
    virtual ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) = 0;
    // Whether a write may take the place of what already has the name.
    enum class Replace {
        Any,   // the name is the file's, whatever had it before
        Never, // a new file: when anything has the name by the time it is given, nothing is
               // written and the outcome is NameTaken. One request where the file system can
               // tell (a local disk, an SMB share), else a look just before the name is given.
    };
    // Writes the file whole: readers see the old content or the new, never a mix, and a
    // failed write leaves the old file and no temporary one. With a root, the file's directory
    // must lie inside it (OutsideFolder otherwise), the directories between root and the file
    // are made as needed, never root itself (FolderUnreachable when it is missing), and a link
    // under the name is replaced, never written through. Without a root, a missing directory
    // is a failure and a link under the name is followed.
    virtual WriteOutcome writeFile(const QString& path, const QByteArray& content,
                                   const QString& root, Replace replace) = 0;
    WriteOutcome writeAtomically(const QString& path, const QByteArray& content,
                                 const QString& root)
    {
        return writeFile(path, content, root, Replace::Any);
    }
    WriteOutcome writeNew(const QString& path, const QByteArray& content, const QString& root)
    {
        return writeFile(path, content, root, Replace::Never);
    }
    // Removes the name; a link is removed itself, never its target. With a root, the name's
    // directory must lie inside it after resolving links, or nothing is removed.
    virtual bool remove(const QString& path, const QString& root) = 0;
    // Makes the file with content only when nothing has its name yet: of several callers, on
    // this machine or another on the share, one at most succeeds. Its directory must be there
    // and lie inside root; a link under the name is never followed.
    virtual bool createExclusively(const QString& path, const QByteArray& content,
                                   const QString& root) = 0;
    // Creates dir with every missing parent.
    virtual bool makePath(const QString& dir) = 0;
};

// The local file system (and whatever share is mounted into it).
class RealFileAccess : public FileAccess {
public:
    std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                  const QString& root, DirectoryTime time) override;
    bool isListableDir(const QString& dir) override;
    std::optional<FileMeta> metadata(const QString& path) override;
    std::optional<FileMeta> directoryMetadata(const QString& dir) override;
    bool exists(const QString& path) override;
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override;
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override;
    bool remove(const QString& path, const QString& root) override;
    bool createExclusively(const QString& path, const QByteArray& content,
                           const QString& root) override;
    bool makePath(const QString& dir) override;

private:
    QByteArray canonicalRootOf(const QString& root);
    // Whether the open fd, reached by name, lies inside root (empty: confines nothing).
    bool confined(int fd, const QByteArray& name, const QString& root);
    // The directory a file is written into, checked to lie inside root (when there is one);
    // -1 with *failure filled in when it cannot be had.
    int openTargetDirectory(const QByteArray& dir, const QString& root, WriteOutcome* failure);
    // Makes the directories between root and dir that are missing, root itself never.
    int makeDirectories(const QByteArray& dir, const QString& root, WriteOutcome* failure);
    // Whether root is on a share: found out once for as long as the root stays the same.
    bool onShare(const QString& root);

    QString m_lastRoot;
    QByteArray m_lastCanonicalRoot;
    QString m_kindKnownOf;
    bool m_rootOnShare = false;
    // What writes learnt of the folder's directories, so that the next write asks the share
    // less: every name the last listings found in a directory (by its cleaned path), and the
    // directory a directory was last made in, kept open.
    static constexpr qsizetype kDirectoriesKnown = 512;
    QHash<QByteArray, QSet<QByteArray>> m_namesIn;
    QByteArray m_madeInName;
    Descriptor m_madeIn{-1};
    // The permissions of the regular file metadata() or read() saw last, for its rewrite.
    struct Seen {
        QByteArray name;
        unsigned mode = 0;
    } m_lastSeen;
};

// The one factory of file access to the real file system: every thread and job makes its own,
// since a file access keeps what it saw last and is not to be shared between threads.
std::unique_ptr<FileAccess> MakeFileAccess();
// The calling thread's own file access, made by MakeFileAccess on the thread's first call.
FileAccess& ThreadFileAccess();

// Passes every call on to another file access: the base of decorators and test fakes, which
// override only what they change.
class ForwardingFileAccess : public FileAccess {
public:
    explicit ForwardingFileAccess(FileAccess& inner)
        : m_inner(inner)
    {
    }
    // A copy would pass calls on past the one it was made from (a counting one, say).
    ForwardingFileAccess(const ForwardingFileAccess&) = delete;
    ForwardingFileAccess& operator=(const ForwardingFileAccess&) = delete;

    std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                  const QString& root, DirectoryTime time) override
    {
        noteCall(Call::Listing);
        return m_inner.listDirectory(dir, suffix, root, time);
    }
    bool isListableDir(const QString& dir) override
    {
        noteCall(Call::Listing);
        return m_inner.isListableDir(dir);
    }
    std::optional<FileMeta> metadata(const QString& path) override
    {
        noteCall(Call::Metadata);
        return m_inner.metadata(path);
    }
    std::optional<FileMeta> directoryMetadata(const QString& dir) override
    {
        noteCall(Call::Metadata);
        return m_inner.directoryMetadata(dir);
    }
    bool exists(const QString& path) override
    {
        noteCall(Call::Metadata);
        return m_inner.exists(path);
    }
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override
    {
        noteCall(Call::Read);
        return m_inner.read(path, maxBytes, root);
    }
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override
    {
        noteCall(Call::Write);
        return m_inner.writeFile(path, content, root, replace);
    }
    bool remove(const QString& path, const QString& root) override
    {
        noteCall(Call::Removal);
        return m_inner.remove(path, root);
    }
    bool createExclusively(const QString& path, const QByteArray& content,
                           const QString& root) override
    {
        noteCall(Call::Write);
        return m_inner.createExclusively(path, content, root);
    }
    bool makePath(const QString& dir) override
    {
        noteCall(Call::MakePath);
        return m_inner.makePath(dir);
    }

protected:
    enum class Call { Listing, Metadata, Read, Write, Removal, MakePath };
    // Every call passes here first.
    virtual void noteCall(Call) {}

    FileAccess& m_inner;
};

// Counts every call before passing it on: for tests and the benchmark. On a share each call
// is a round trip.
class CountingFileAccess : public ForwardingFileAccess {
public:
    struct Counts {
        int listings = 0;
        int metadataQueries = 0;
        int reads = 0;
        int writes = 0;
        int removals = 0;
        int makePaths = 0;

        int total() const
        {
            return listings + metadataQueries + reads + writes + removals + makePaths;
        }
    };

    using ForwardingFileAccess::ForwardingFileAccess;

    // The counts so far. A probe may count the calls of several threads (a store and a
    // settings thread behind one factory), so they are kept under a lock.
    Counts counts() const
    {
        const std::lock_guard lock(m_mutex);
        return m_counts;
    }
    void resetCounts()
    {
        const std::lock_guard lock(m_mutex);
        m_counts = {};
    }

    // A file access of its own over the real file system whose calls are counted here too:
    // what a factory hands each thread it serves, since a file access is never shared.
    std::unique_ptr<FileAccess> makeCounted();

protected:
    void noteCall(Call call) override;

private:
    class Counted;

    mutable std::mutex m_mutex;
    Counts m_counts;
};
