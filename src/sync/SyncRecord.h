#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

class FileAccess;

// The status of the last sync, kept in a hidden directory of the data folder so any machine
// can run the next one: for each item its event on the server (href, ETag) and its files in
// the folder (time, size and a hash of the bytes), as both sides were when they last agreed.
namespace SyncRecord {

inline const QString kDirectory = QStringLiteral(".sync");

// Whether a path inside the data folder ('/' between parts) is a file the sync may pair with an
// event: an appointment file of the tree, or the rule file of a series
// (recurring/rules/<SeriesId>.nv3), whose other files are never paired themselves.
bool isSyncedPath(const QString& relative);

struct File {
    QString path;        // inside the data folder, '/' between parts
    qint64 modified = 0; // ms since the epoch
    qint64 size = 0;
    QByteArray hash;
    bool operator==(const File&) const = default;
};

struct Item {
    QString uid;
    QString href; // empty: not on the server yet
    QByteArray etag;
    bool mirror = false; // files mirror a server event the folder cannot hold exactly
    QList<File> files;
    // The SeriesId of its files when they are the parts of one series: a new file of the
    // series belongs to this event.
    QString series = {};
};

struct Status {
    QString account;    // the URL the user gave
    QString collection; // the calendar found from it
    QString token;      // the collection's sync token and ctag when nothing was left to do
    QString ctag;
    QList<Item> items;
    // Files not sent because they hold no appointment, as they were when the user was told.
    QList<File> withheld;
    // Not saved: the entries the reader left out because it cannot trust them.
    QStringList ignored;
};

// A record from its bytes; nullopt with *error when they cannot be trusted as a whole (cut
// short, not JSON, another version's). An entry that cannot be trusted (a path outside the
// appointment tree, an href outside the collection, a file or href claimed twice) is left out
// and named in ignored.
std::optional<Status> fromJson(const QByteArray& bytes, QString* error);

// The record of dataFolder, read inside it: an empty one when there is none, and also (with
// *error saying why) when what is there cannot be trusted, since starting afresh loses
// nothing. nullopt when it cannot be read or another version wrote it: then it must not be
// written over.
std::optional<Status> load(FileAccess& files, const QString& dataFolder, QString* error);
// Written whole or not at all, never through a link out of the folder.
bool save(FileAccess& files, const QString& dataFolder, const Status& status, QString* error);

// One sync per data folder: a lock file naming machine, process and time. Held while it
// lives. It lies in the folder's own .sync directory, never one that a link leads to.
class Lock {
public:
    Lock(const QString& dataFolder, std::chrono::seconds staleAfter, std::chrono::seconds wait);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    bool held() const { return m_held; }
    // Who holds it when it is not ours.
    const QString& holder() const { return m_holder; }
    // Why it could not be taken when no other sync holds it: the .sync directory is a link, or
    // cannot be made.
    const QString& error() const { return m_error; }

private:
    bool tryTake(std::chrono::seconds staleAfter);
    QByteArray readLock() const;
    QString m_path; // of the .sync directory, for messages
    int m_dir = -1; // the .sync directory, opened once
    QByteArray m_mark;
    bool m_held = false;
    QString m_holder;
    QString m_error;
};

} // namespace SyncRecord
