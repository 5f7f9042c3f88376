#pragma once

#include "store/DeletionCount.h"
#include "sync/SyncRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a sync does, decided before anything is done: from the record and what both sides hold
// now to a list of actions. No I/O here, so every rule can be tried on its own; the run reads
// the sides, asks for the plan and performs its actions one at a time.
namespace SyncPlan {

// A file of the folder as the listing found it.
struct LocalFile {
    qint64 modified = 0; // ms since the epoch
    qint64 size = 0;
    // The hash of its bytes; read only when time or size differ from the record's, or when no
    // item claims it. Without it the file is as the record knew it.
    std::optional<QByteArray> hash;
    // Only for files no item claims: its own UID (empty: none), and whether it holds an
    // appointment to send at all.
    QString uid;
    bool sendable = true;
    // Its SeriesId, of a file no item claims or one changed: a new part of a series is sent
    // with the series' event.
    QString series = {};
};
using Local = QHash<QString, LocalFile>; // by path inside the folder

// A server event by its href exactly as the server sent it, with its ETag.
using Server = QHash<QString, QByteArray>;

// What a fetched event of the server is: only needed for events new or changed there.
struct Fetched {
    QString uid;
    bool exact = true; // one appointment file holds it exactly
};

enum class Kind {
    // PUT If-None-Match: *, to the item's href when one was sent without an answer; item -1: a
    // file no item claims (uid empty: draw one)
    UploadNew,
    UploadChange,   // PUT If-Match the item's ETag
    DownloadNew,    // item -1: an event no item knows
    DownloadChange, // the event over the item's files
    DeleteHere,     // the item's files
    DeleteThere,    // DELETE If-Match the item's ETag
    // Both sides changed: the file's version becomes an appointment of its own and the
    // server's takes the file, unless both hold the same event: then it is only recorded.
    ConflictCopy,
    RecordOnly, // the item's files as they are now (touched, or some of a mirror gone)
    Forget,     // gone on both sides
};

struct Action {
    Kind kind;
    qsizetype item = -1; // in the record; -1: new on one side
    QString path;        // the file concerned, where it is now
    QString href;        // the event concerned; for an item, the href it has from now on
    QString uid;         // UploadNew of a file: the UID to send, empty: draw a new one
    // UploadNew of new files of one series: the others, sent with path as one event.
    QStringList with = {};
};

// The items of one side a plan would delete, of how many that side holds.
using Deletions = DeletionCount;

struct Options {
    // The deletions of a side with too many are undone instead, once: an event whose files
    // went comes again from the server as new, a file whose event went is sent again.
    bool restore = false;
};

struct Plan {
    QList<Action> actions;
    // What the sync would delete without a restore.
    Deletions here;  // appointment files, of the items that have files
    Deletions there; // events, of the server's
    // Events whose bodies a restore needs and was not given: fetch them and plan again.
    QStringList fetch;
    // Files of the record per item as they are now: what RecordOnly writes.
    QHash<qsizetype, QList<SyncRecord::File>> files;
};

// The hrefs whose bodies the plan needs: events new on the server or changed there.
QStringList toFetch(const QList<SyncRecord::Item>& items, const Server& server);

// Whether a file differs from what the record knew of it.
bool changed(const SyncRecord::File& recorded, const LocalFile& now);

Plan plan(const QList<SyncRecord::Item>& items, const Local& local, const Server& server,
          const QHash<QString, Fetched>& fetched, Options options = {});

// A calendar synced down only: the plan without what it would send or delete there, which
// comes back for the user to hear of. The folder's changes stay until the server changes
// their event; then both versions are kept, as for any change on both sides.
QList<Action> downOnly(Plan& plan);

// Whether the plan would delete too many of one side.
inline bool massDeletion(const Plan& plan)
{
    return plan.here.tooMany() || plan.there.tooMany();
}

} // namespace SyncPlan
