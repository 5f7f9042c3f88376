#pragma once

#include "index/Sqlite.h"
#include "profile/DateParts.h"
#include "profile/FileAccess.h"
#include "store/ApiLoginName.h"
#include "store/ClassTermin.h"
#include "store/Recurrence.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// The local index of one data folder: what each appointment file held when it was last seen,
// with the file's metadata, kept per machine in the user's cache and never on the share, so a
// search answers at once however slow the share is. Texts and owners are searched folded (see
// TextFolding). It is a cache: deleting its file loses nothing, and a file that is damaged, of
// another version or of another folder is deleted and made anew, as is a name that is not a
// regular file of the user's own (a link, say, to another program's file): that is never
// written through.
//
// Paths are full ones, as records name their files; only appointment files of the folder's tree
// are kept. One connection per thread: open it on the thread that uses it.
class AppointmentIndex {
public:
    static constexpr int kSchemaVersion = 5;
    static constexpr int kMaxHits = 500;

    // <the user's cache>/index.
    static QString defaultDirectory();
    // The file of folder's index in directory, named from a hash of the folder's path.
    static QString fileOf(const QString& directory, const QString& folder);

    // The index is the user's own: another user's private appointment is kept as "Busy", so
    // its text is neither on this disk nor found by a search (see Privacy).
    explicit AppointmentIndex(QString directory = defaultDirectory(),
                              QString viewer = GetLoginName());

    // For keeping it: opens the folder's index, making it when missing or unusable.
    bool open(const QString& folder);
    // For searching only: never changes the file, and fails when it is missing or unusable.
    bool openToSearch(const QString& folder);
    // Closes the file; one this object checked is noted as sound as it is left.
    void close();
    ~AppointmentIndex() { close(); }
    bool isOpen() const { return m_db.isOpen(); }
    // Ends in a separator.
    const QString& folder() const { return m_folder; }
    // A call found the file damaged: the next open() makes it anew.
    bool damaged() const { return m_db.corrupt(); }

    // The metadata of the file as the index holds it; nullopt when it holds none it vouches for:
    // not held, or seen while its time was too young to tell a later change (see ProfileCache).
    std::optional<FileMeta> metaOf(const QString& path);
    // Keeps what the file holds, as record read it with this metadata. True when the index did
    // not know the file like that: new, or changed since it vouched for it.
    bool put(const QString& path, const FileMeta& meta, const ClassTermin& record);
    // True when it held the file.
    bool remove(const QString& path);
    // Forgets what it holds under dir (a directory of the tree, ending in a separator) that a
    // listing no longer names: names are files of dir, or subdirectories ending in '/', whose
    // contents stay. The number of files forgotten.
    int removeMissing(const QString& dir, const QStringList& names);

    // What a result line shows of one appointment.
    struct Hit {
        QString path;
        Recurrence::Kind kind = Recurrence::Kind::None;
        QDate day;   // one-time: its day; recurring: the first day of the search it falls on
        QDate from;  // the recurring range; one-time: the day
        QDate until; // both ends inclusive
        TimeOfDay start;
        TimeOfDay end;
        qint16 colour = 1;
        QString owner;
        QString text;
        QString seriesId;
        QStringList forUsers; // those it is for besides its owner
        QStringList rooms;
        QString location;
        bool isPrivate = false;
        bool masked = false; // kept as "Busy" (see ClassTermin::isMasked)

        // As the views draw it; what the file holds besides is read when it is opened.
        ClassTermin record() const;
    };
    struct Found {
        QList<Hit> hits;        // by day, then start
        bool truncated = false; // more hits than asked for
    };
    // The appointments shown on a day from..to (an invalid end is open) whose text, location or
    // owner holds every word, folded: inside a word, or at a word's start for a word shorter
    // than TextFolding::kInsideWordLength. No words: all of them.
    Found search(const QStringList& words, const QDate& from, const QDate& to,
                 int limit = kMaxHits);
    int size();

    // What a directory of the tree (full, ending in a separator) was like when it was last
    // listed; nullopt forgets it.
    void putDirectory(const QString& dir, const std::optional<FileMeta>& meta);
    // The directories held, full, each with what it was like; nullopt where its time was too
    // young to tell a later change.
    QList<std::pair<QString, std::optional<FileMeta>>> directories();

    // Whether a full crawl has finished since the last change of the folder that was seen,
    // and when it last did.
    bool complete();
    QDateTime completedAt();
    void setComplete(bool complete, const QDateTime& at = QDateTime::currentDateTime());

    // Several changes in one transaction while it lives.
    class Batch {
    public:
        explicit Batch(AppointmentIndex& index)
            : m_transaction(index.m_db)
        {
        }

    private:
        SqliteTransaction m_transaction;
    };

    // A search for the command line: opens folder's index in directory on the calling thread
    // for this search only. Not usable when there is no index of the folder yet.
    struct Answer {
        bool usable = false;
        bool complete = false;
        QDateTime completedAt;
        Found found;
    };
    static Answer lookUp(const QString& directory, const QString& folder, const QStringList& words,
                         const QDate& from, const QDate& to, int limit = kMaxHits);

private:
    bool openFile(const QString& file, bool create);
    bool createSchema();
    QString metaValue(const char* key);
    bool setMetaValue(const char* key, const QString& value);
    // The path inside the folder, '/' between the names; empty for anything not kept.
    QString relative(const QString& path) const;
    bool removeRow(qint64 id);

    QString m_directory;
    QString m_viewer;
    QString m_folder;
    SqliteDb m_db;
    QString m_checkedFile; // the open file, checked whole when it was opened to write
};
