#pragma once

#include "FileAccess.h"
#include "ProfileDocument.h"

#include <QHash>
#include <QString>

#include <list>
#include <memory>

// Parsed profile files keyed by path, so a file is read from disk once per change: a lookup
// asks for the file's modification time and size and reads it only when they differ from
// what was read before.
class ProfileCache {
public:
    static constexpr qint64 kMaxFileBytes = 1024 * 1024; // a shared folder must not exhaust memory
    static constexpr int kDefaultCapacity = 4000;

    explicit ProfileCache(FileAccess& files, int capacity = kDefaultCapacity);

    struct Entry {
        FileMeta meta;
        std::shared_ptr<const ProfileDocument> document;
    };

    // The file's parsed content; an empty document when the file is missing or unreadable.
    // Pass meta when the caller has just asked for it, to save the round trip.
    std::shared_ptr<const ProfileDocument> document(const QString& path);
    std::shared_ptr<const ProfileDocument> document(const QString& path,
                                                    const std::optional<FileMeta>& meta);

    // After our own write: the next lookup reads the file again.
    void forget(const QString& path);
    void clear();

    FileAccess& files() const { return m_files; }

private:
    // nullptr when the file cannot be read.
    std::shared_ptr<const ProfileDocument> load(const QString& path);
    void remember(const QString& path, const FileMeta& meta,
                  const std::shared_ptr<const ProfileDocument>& document);

    FileAccess& m_files;
    int m_capacity;
    // Least recently used first.
    std::list<QString> m_order;
    struct Slot {
        Entry entry;
        std::list<QString>::iterator position;
    };
    QHash<QString, Slot> m_entries;
};
