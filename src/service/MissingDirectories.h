#pragma once

#include "profile/FileAccess.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// Which directories of the tree are there, told by their parent's listing: most a day asks
// for (`recurring/wd<N>`, `recurring/d<N>`, ...) are missing, and on a share each look for a
// missing name is a round trip, one after another within one directory. A parent is listed
// once; while its time is unchanged no name came or went in it, so its listing still holds and
// a child it does not name is not asked for. A parent is listed with its time, taken before
// its names (FileAccess::listFilesWithTime), which vouches for the listing at the next look.
// No I/O: the caller asks what the plan says and tells what it found.
class MissingDirectories {
public:
    // "a/b/c/" -> "a/b/"; the top of the file system has none.
    static QString parentOf(const QString& dir);

    // The data folder (ending in a separator), above which nothing is asked; forgets all.
    void useFolder(const QString& top);
    // A new look at the folder: what parents' times told an earlier one no longer holds.
    void newLook();

    struct Plan {
        QStringList ask;      // directories to look at now
        QStringList times;    // parents whose time is wanted: their children wait for it
        QStringList listings; // parents to list with their time: their children wait for it
        QStringList missing;  // known missing now: answered without a request
    };
    // What to do with directories about to be looked at in this look.
    Plan plan(const QStringList& dirs) const;
    // What the requests of a plan found. Tell the listings before the times asked beside them.
    void parentListed(const QString& parent, const std::optional<DirectoryListing>& listing);
    void parentTime(const QString& parent, const std::optional<FileMeta>& time);

private:
    struct Known {
        QSet<QString> children; // the subdirectories' paths, each ending in a separator
        bool exists = false;
        std::optional<FileMeta> vouch; // the parent's time taken with the listing
    };
    enum class State { Unknown, Listed, Missing };
    State stateNow(const QString& parent) const;

    QString m_top;
    QHash<QString, Known> m_known;
    // This look's: parents' times asked, and parents whose listing holds now.
    QHash<QString, std::optional<FileMeta>> m_timesNow;
    QSet<QString> m_holdsNow;
};
