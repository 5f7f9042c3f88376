#pragma once

#include "offline/OfflineRecord.h"
#include "store/DeletionCount.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// What a reconcile of the laptop's copy with the share does, decided before anything is done:
// from the record of the last agreement and both sides' listings to one action per file. No
// I/O here; the reconcile lists both sides, asks for the plan and performs it.
namespace FolderPlan {

// Whether a path inside a data folder ('/' between parts) is a file the copy carries: an
// appointment file of the tree, or the rule file of a series.
bool isCarried(const QString& relative);

// The days the copy holds: one-time appointments from..to, every recurring one.
struct Window {
    QDate from;
    QDate to;
    bool contains(const QString& relative) const;
};

// A file as a side's listing found it.
struct Seen {
    qint64 modified = 0; // ms since the epoch
    qint64 size = 0;
    // Read only when time or size differ from the record's, or the record knows no such file:
    // without it the file counts as changed.
    std::optional<QByteArray> hash;
};
using Listing = QHash<QString, Seen>; // by path inside the folder

enum class Kind {
    ToShare,       // the copy's file over the share's (or new there)
    ToCopy,        // the share's file over the copy's (or new there)
    DeleteOnShare, // deleted in the copy, unchanged on the share
    DeleteOnCopy,  // deleted on the share, unchanged in the copy
    // Both changed differently: the share's version keeps the path on both sides, the copy's
    // becomes an appointment of its own beside it, marked with who changed it.
    Conflict,
    RecordOnly, // both hold the same bytes: only the record learns their times
    Forget,     // gone on both sides
    Evict,      // left the window unchanged: out of the copy, the share's file stays
};

struct Action {
    Kind kind;
    QString path;
    bool operator==(const Action&) const = default;
};

struct Plan {
    QList<Action> actions; // by path
    DeletionCount share;   // of the share's files in the window
    DeletionCount copy;    // of the copy's files
};

// The share's listing covers the window and every path the copy holds changed or new outside
// it; the copy's listing covers the whole copy. Outside the window a file the copy did not
// change is never deleted on either side for being absent from the other.
Plan plan(const QHash<QString, OfflineRecord::Entry>& record, const Listing& copy,
          const Listing& share, const Window& window);

inline bool massDeletion(const Plan& plan)
{
    return plan.share.tooMany() || plan.copy.tooMany();
}

} // namespace FolderPlan
