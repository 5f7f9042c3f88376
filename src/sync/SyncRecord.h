#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

// The status of the last sync, kept in a hidden directory of the data folder so any machine
// can run the next one: for each item its event on the server (href, ETag) and its files in
// the folder (time, size and a hash of the bytes), as both sides were when they last agreed.
namespace SyncRecord {

inline const QString kDirectory = QStringLiteral(".sync");

struct File {
    QString path;        // inside the data folder, '/' between parts
    qint64 modified = 0; // ms since the epoch
    qint64 size = 0;
    QByteArray hash;
};

struct Item {
    QString uid;
    QString href; // empty: not on the server yet
    QByteArray etag;
    bool mirror = false; // files mirror a server event the folder cannot hold exactly
    QList<File> files;
};

struct Status {
    QString account;    // the URL the user gave
    QString collection; // the calendar found from it
    QString token;      // the collection's sync token and ctag when nothing was left to do
    QString ctag;
    QList<Item> items;
};

// The record of dataFolder; an empty one when there is none; nullopt when it cannot be read.
std::optional<Status> load(const QString& dataFolder, QString* error);
// Written whole or not at all.
bool save(const QString& dataFolder, const Status& status, QString* error);

// One sync per data folder: a lock file naming machine, process and time. Held while it lives.
class Lock {
public:
    Lock(const QString& dataFolder, std::chrono::seconds staleAfter, std::chrono::seconds wait);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    bool held() const { return m_held; }
    // Who holds it when it is not ours.
    const QString& holder() const { return m_holder; }

private:
    bool tryTake(std::chrono::seconds staleAfter);
    QString m_path;
    QByteArray m_mark;
    bool m_held = false;
    QString m_holder;
};

} // namespace SyncRecord
