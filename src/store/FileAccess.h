#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The one seam through which the store touches the disk. On a network share every call is a
// round trip, so the store is built to call it as rarely as possible, and tests count the calls.

struct FileMeta {
    QDateTime modified;
    qint64 size = 0;

    bool operator==(const FileMeta&) const = default;
};

struct WriteOutcome {
    bool ok = false;
    QString error; // the system's reason, for the user's message; empty when ok
};

class FileAccess {
public:
    virtual ~FileAccess() = default;

    // Names of the regular files in dir whose names end in suffix (letter case ignored).
    // nullopt when the directory is missing or cannot be listed.
    virtual std::optional<QStringList> listFiles(const QString& dir, const QString& suffix) = 0;
    // True when dir exists and can be listed.
    virtual bool isListableDir(const QString& dir) = 0;
    // Modification time and size of a regular file; nullopt when it is gone.
    virtual std::optional<FileMeta> metadata(const QString& path) = 0;
    // Up to maxBytes from the start of the file; nullopt when it cannot be opened.
    virtual std::optional<QByteArray> read(const QString& path, qint64 maxBytes) = 0;
    // Replaces the file whole: readers see the old content or the new, never a mix.
    virtual WriteOutcome writeAtomically(const QString& path, const QByteArray& content) = 0;
    virtual bool remove(const QString& path) = 0;
    // Creates dir with every missing parent.
    virtual bool makePath(const QString& dir) = 0;
};

// The local file system (and whatever share is mounted into it).
class RealFileAccess : public FileAccess {
public:
    std::optional<QStringList> listFiles(const QString& dir, const QString& suffix) override;
    bool isListableDir(const QString& dir) override;
    std::optional<FileMeta> metadata(const QString& path) override;
    std::optional<QByteArray> read(const QString& path, qint64 maxBytes) override;
    WriteOutcome writeAtomically(const QString& path, const QByteArray& content) override;
    bool remove(const QString& path) override;
    bool makePath(const QString& dir) override;

    // The process-wide instance for code that has no other to hand.
    static RealFileAccess& instance();
};

// Counts every call before passing it on: for tests and the benchmark.
class CountingFileAccess : public FileAccess {
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

    explicit CountingFileAccess(FileAccess& inner)
        : m_inner(inner)
    {
    }

    std::optional<QStringList> listFiles(const QString& dir, const QString& suffix) override;
    bool isListableDir(const QString& dir) override;
    std::optional<FileMeta> metadata(const QString& path) override;
    std::optional<QByteArray> read(const QString& path, qint64 maxBytes) override;
    WriteOutcome writeAtomically(const QString& path, const QByteArray& content) override;
    bool remove(const QString& path) override;
    bool makePath(const QString& dir) override;

    const Counts& counts() const { return m_counts; }
    void resetCounts() { m_counts = {}; }

private:
    FileAccess& m_inner;
    Counts m_counts;
};
