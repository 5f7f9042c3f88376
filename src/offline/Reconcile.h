#pragma once

#include "store/DeletionCount.h"

#include <QDate>
#include <QString>

#include <functional>

class FileAccess;

// The laptop's copy of a data folder and the share brought to agree: both sides listed, the
// plan asked (FolderPlan), its actions done one at a time through each side's file access.
// Nothing is written over a file that changed since it was listed or that could not be read;
// the record learns each finished action, and every action can be repeated, so a reconcile
// killed or stopped by a share that fails half-way loses no edit: the next one finishes.
namespace Offline {

struct Options {
    QDate today;
    int daysBack = 30;
    int daysAhead = 365;
    QString who;      // the login a conflict copy names as having changed it
    QString langCode; // of the conflict copy's mark; empty: this process's language
    bool allowMassDelete = false;
    // Called after each action; a test's throw stops the reconcile dead, as a kill would.
    std::function<void()> afterAction = {};
};

struct Result {
    enum class Status {
        Done,
        Unreachable,      // the share cannot be listed: nothing was done
        Failed,           // a file could not be read or written; what was done stays done
        TooManyDeletions, // the guard stopped it before anything was done
    };
    Status status = Status::Done;
    QString error;
    int toShare = 0;
    int toCopy = 0;
    int deletedOnShare = 0;
    int deletedOnCopy = 0;
    int conflicts = 0;
    int left = 0; // changed again since the listing: the next reconcile takes them
    // The copy was taken before and can stand in for the folder while the share is gone.
    bool taken = false;
    DeletionCount shareDeletions;
    DeletionCount copyDeletions;
};

// Where the copy of shareFolder lies under dataDirectory (the user's own, never the share).
QString copyFolderOf(const QString& dataDirectory, const QString& shareFolder);

// Both folders end in a separator; the copy's is made when missing.
Result reconcile(FileAccess& share, FileAccess& copy, const QString& shareFolder,
                 const QString& copyFolder, const Options& options);

} // namespace Offline
