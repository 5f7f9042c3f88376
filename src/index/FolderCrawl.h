#pragma once

#include "index/AppointmentIndex.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "store/ClassTermin.h"

#include <QElapsedTimer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <deque>

// Brings the local index up to its data folder one directory at a time, for a caller that runs
// it in small steps while nothing else waits for the share. A step lists one directory of the
// tree (its subdirectories become steps of their own, the newest year first) and asks each
// appointment file in it for its metadata once, reading only a file the index does not hold
// like that. What a listing no longer names, and a file that cannot be read now, leave the
// index. A round starts at the top and, once no directory is left, marks the index complete
// unless a change was seen meanwhile.
class FolderCrawl {
public:
    struct Pace {
        // After a change seen elsewhere, the next round waits this long after the last one.
        std::chrono::milliseconds restAfterChange{std::chrono::minutes(1)};
        // Other users' changes that nobody told of are found by a round this often.
        std::chrono::milliseconds interval{std::chrono::hours(1)};
    };

    // files: the share's, of the thread the steps run on; the index is open for the folder.
    FolderCrawl(FileAccess& files, ProfileCache& profiles, AppointmentIndex& index);
    FolderCrawl(FileAccess& files, ProfileCache& profiles, AppointmentIndex& index, Pace pace);

    enum class Step {
        Done,        // nothing to do now
        More,        // call again
        Unreachable, // the folder did not list: the step is kept for later
    };
    Step step();

    // How far the crawl is: what a window tells while the index is being made.
    struct Progress {
        int listed = 0;          // directories listed by the round under way or the last one
        int left = 0;            // directories of the round known and not listed yet
        bool roundEnded = false; // a round has ended and none runs now
        bool operator==(const Progress&) const = default;
        bool underWay() const { return !roundEnded && listed + left > 0; }
        int percent() const { return 100 * listed / std::max(1, listed + left); }
    };
    Progress progress() const
    {
        return {int(m_listed.size()), int(m_directories.size()), m_ranOnce && !running()};
    }

    // A change of the folder seen elsewhere (a watch, a job's writes): not complete until a
    // round begun after it has finished. One in a file (a view read it otherwise than the
    // index held it, and it is held as read now) counts only where this round has been.
    void noteChange();
    void noteChangeOf(const QString& path);
    // After the index was opened for another folder: the first step begins a round.
    void restart();
    bool running() const { return !m_directories.empty(); }

    // What the file holds, read with this content, as the index keeps it.
    static TerminPtr recordOf(ProfileCache& profiles, const QString& path,
                              const ProfileCache::Lookup& file);
    // Whether the index, open for searching, holds what the folder holds now: a crawl has
    // finished since the last change it was told of, and every directory it listed is as it
    // was then (a name that comes, goes or is renamed changes its directory's time). One
    // metadata query per directory, no listing.
    static bool vouchesForFolder(FileAccess& files, AppointmentIndex& index);
    // Whether a directory (inside the folder, '/' between the names, ending in one) is one the
    // tree lays out; the top is "".
    static bool isTreeDirectory(const QString& dir);

private:
    bool roundDue() const;
    void list(const QString& dir, const DirectoryListing& listing);
    void visit(const QString& path);
    // The index differs from the folder: it is not complete until this round ends.
    void behind();

    FileAccess& m_files;
    ProfileCache& m_profiles;
    AppointmentIndex& m_index;
    Pace m_pace;
    std::deque<QString> m_directories; // the next one first
    QSet<QString> m_listed;            // by this round
    bool m_ranOnce = false;
    bool m_changeSeen = false;
    bool m_behind = false;
    QElapsedTimer m_sinceRound; // since the last round ended
};
