#pragma once

#include "profile/FileAccess.h"
#include "profile/ProfileDocument.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include <functional>
#include <list>
#include <memory>

// Parsed profile files keyed by path, so a file is read from disk once per change: a lookup
// asks for the file's metadata (time, size, identity, change time) and reads it only when
// they differ from what was read before. Bounded by entries and by bytes.
class ProfileCache {
public:
    using Clock = std::function<QDateTime()>;

    // Larger files are unreadable: a shared folder must not exhaust memory.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    static constexpr int kDefaultCapacity = 4000;
    static constexpr qint64 kDefaultByteCapacity = 64 * 1024 * 1024;
    // Shares keep modification times as coarse as two seconds: a file read while its time was
    // that young may still change without its time changing, so it is read again next time.
    static constexpr qint64 kTimestampGranularityMs = 2000;

    explicit ProfileCache(FileAccess& files, int capacity = kDefaultCapacity,
                          qint64 byteCapacity = kDefaultByteCapacity, Clock clock = {});

    enum class State {
        Missing,    // nothing there: reads give defaults, a write creates the file
        Read,       // the file's content
        NotRegular, // a directory, FIFO, device or a link out of root: skipped, never written
        Unreadable, // a file that could not be read: never cached, never written over
    };
    struct Lookup {
        std::shared_ptr<const ProfileDocument> document; // never null; empty unless Read
        State state = State::Missing;
        FileMeta meta; // of the file as it was read
        QString error; // the system's reason when Unreadable
        // Missing only: the look itself found nothing at all under the name, not even a FIFO,
        // a directory or a link. Metadata alone cannot tell.
        bool nothingThere = false;
    };

    // Pass meta when the caller has just asked for it, to save the round trip. Reads stay
    // inside root (see FileAccess).
    Lookup lookup(const QString& path, const QString& root = {});
    Lookup lookup(const QString& path, const std::optional<FileMeta>& meta,
                  const QString& root = {});

    // Reads the file without asking for its metadata first: for a file not held yet, one open
    // (whose own metadata is kept) is all it costs.
    Lookup read(const QString& path, const QString& root = {});
    bool holds(const QString& path) const { return m_entries.contains(path); }
    // Whether a lookup of path given meta would read the file: for asking ahead.
    bool wouldRead(const QString& path, const FileMeta& meta) const;
    // What a read asks for: one byte more than the limit tells whether the file was cut.
    static constexpr qint64 kReadLimit = kMaxFileBytes + 1;

    // The content a write is about to merge into, at the cost of one call at most: a file held
    // is checked by its metadata, any other is opened once, and a name just noted free is not
    // asked about again.
    Lookup lookupForWrite(const QString& path, const QString& root = {});
    // The caller has just found nothing at all under the name: a lookupForWrite of it right
    // after takes that answer. Only the last name counts, and only for kFreeNameMs.
    void noteFree(const QString& path);
    static constexpr qint64 kFreeNameMs = 2000;

    // After our own write: the next lookup reads the file again.
    void forget(const QString& path);
    void clear();

    qint64 bytesHeld() const { return m_bytes; }
    FileAccess& files() const { return m_files; }

private:
    struct Entry {
        Lookup lookup;
        bool racy = false; // read while its modification time was within the granularity
        qint64 cost = 0;
    };
    Lookup load(const QString& path, const QString& root, bool* racy);
    static Lookup tooLarge(const FileMeta& meta);
    // Loads the file and keeps what was read; previous is what was held for it, if anything.
    Lookup reload(const QString& path, const QString& root, const Entry* previous);
    void remember(const QString& path, Entry entry);
    QDateTime now() const;

    FileAccess& m_files;
    int m_capacity;
    qint64 m_byteCapacity;
    Clock m_clock;
    qint64 m_bytes = 0;
    // Least recently used first.
    std::list<QString> m_order;
    struct Slot {
        Entry entry;
        std::list<QString>::iterator position;
    };
    QHash<QString, Slot> m_entries;
    QString m_freeName; // noted by noteFree(), taken by the next lookupForWrite()
    QElapsedTimer m_freeNameAge;
};
