#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <optional>

class FileAccess;

// What the laptop's copy of a data folder and the share held when they last agreed: per file
// its hash and size, and its time on either side (each side's own). Kept in a hidden directory
// of the copy, which no listing of the tree sees, and written whole or not at all.
namespace OfflineRecord {

inline const QString kDirectory = QStringLiteral(".offline");

struct Entry {
    QByteArray hash;
    qint64 size = 0;
    qint64 copyModified = 0;  // ms since the epoch, as the copy holds the file
    qint64 shareModified = 0; // the same on the share
    bool operator==(const Entry&) const = default;
};

struct Record {
    QString share;                 // the data folder the copy was taken of, ending in a separator
    QDateTime reconciled;          // when both sides last agreed; invalid: never
    QHash<QString, Entry> entries; // by path inside the folder, '/' between parts
};

// The record of copyFolder: an empty one when there is none. nullopt with *error when it
// cannot be read or another version wrote it: then it must not be written over.
std::optional<Record> load(FileAccess& files, const QString& copyFolder, QString* error);
bool save(FileAccess& files, const QString& copyFolder, const Record& record, QString* error);

} // namespace OfflineRecord
