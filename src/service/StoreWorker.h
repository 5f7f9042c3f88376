#pragma once

#include "profile/ProfileCache.h"
#include "service/IndexKeeping.h"
#include "service/MissingDirectories.h"
#include "service/ParallelFetch.h"
#include "service/WriteJournal.h"
#include "settings/Team.h"
#include "store/AppointmentFiling.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"
#include "store/RuleSeriesFiling.h"
#include "store/SeriesFiling.h"
#include "store/SpanDays.h"
#include "store/UndoStep.h"
#include "threads/ShareClock.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// The store service's side on its worker thread: the data folder's store with its own file
// access and caches. Made on the window's thread, then used on the worker's thread only.
class StoreWorker {
public:
    // indexDirectory: where the folder's local index is kept; none when empty. moreFiles
    // makes the file accesses of the requests a read asks at once (the real file system when
    // empty); see useParallelRequests.
    StoreWorker(std::unique_ptr<FileAccess> files, std::shared_ptr<ShareClock> clock,
                DataAccess::Clock now, const QString& indexDirectory = {},
                ParallelFetch::Factory moreFiles = {});
    ~StoreWorker();

    // The folder every following call works in; a new one forgets what the caches hold.
    void useFolder(const QString& folder, int monthIntervalSeconds);
    void useTeam(const QList<TeamMember>& team) { m_team = team; }
    // The team's zone the folder's times are in (see StoreSource::teamZone).
    void useTeamZone(const QString& zone);
    // How many requests a read has in flight at most; 1 asks one after another.
    void useParallelRequests(int width);

    struct Days {
        QHash<QDate, QList<TerminPtr>> days; // copies of their own, never cached here
        QHash<QDate, bool> marks;
        bool reachable = true;
        // The files unreadable after this read, when it looked at the folder at all.
        std::optional<QList<DataAccess::UnreadableFile>> unreadable;
    };
    // Reads in one pass while it lives, however many reads it spans; what the pass saw goes
    // into the local index when it ends.
    class ReadPass {
    public:
        explicit ReadPass(StoreWorker& worker);
        ~ReadPass();
        ReadPass(const ReadPass&) = delete;
        ReadPass& operator=(const ReadPass&) = delete;

    private:
        StoreWorker& m_worker;
        const bool m_outermost;
        DataAccess::Pass m_pass;
    };
    std::unique_ptr<ReadPass> pass() { return std::make_unique<ReadPass>(*this); }
    // One pass: each directory listed once and each file asked for at most once. Whether the
    // folder is there is asked unless the caller knows it from a read of the same pass.
    Days read(const QList<QDate>& days, const QList<QDate>& marks, bool freshMarks,
              std::optional<bool> reachable = std::nullopt);

    WriteOutcome file(ClassTermin& appointment) { return m_filing.File(appointment); }
    // Writes ahead the series kept by their rule files that time has caught up with; whether
    // anything was written.
    bool extendSeries()
    {
        return !RuleSeriesFiling::extendAll(m_store, m_filing).written.isEmpty();
    }
    bool remove(const QString& path);
    SeriesFiling::Outcome changeSeries(const SeriesFiling::Request& request)
    {
        return m_series.apply(request);
    }
    // The span `day` belongs to made what `change` makes of it as its files are now (nullopt:
    // deleted): every day written or deleted, none when another user changed `day` since it
    // was loaded (StoreWorkerSpan.cpp).
    using SpanChange = std::function<std::optional<SpanDays::Shape>(const SpanDays::Shape& now)>;
    SeriesFiling::Outcome changeSpan(const ClassTermin& day, const SpanChange& change);
    DataAccess::FileChange changeSinceLoaded(const ClassTermin& appointment)
    {
        return m_store.ChangeSinceLoaded(appointment);
    }

    // A write and the step that takes it back: the files it wrote as they were and became.
    // The step has no files when it wrote nothing or when what it replaced could not be read.
    template <typename Result> struct Journaled {
        Result result;
        UndoStep step;
    };
    template <typename Write>
    auto journaled(UndoStep::Act act, Write write) -> Journaled<decltype(write(*this))>
    {
        m_journal.begin();
        auto result = write(*this);
        return {std::move(result), stepOf(act, m_journal.end())};
    }

    // What an undo (or redo) of step found and did.
    struct Restored {
        WriteOutcome outcome = WriteOutcome::done();
        DataAccess::FileChange conflict; // nothing was written
    };
    Restored restore(const UndoStep& step, bool undo, bool overwrite);

    // The directories among dirs whose metadata differs from what the check before saw of
    // them, one request each; a directory looked at the first time is only remembered.
    QStringList changedDirectories(const QStringList& dirs);
    // The same for those of dirs never looked at, inside a pass before it lists them: a change
    // after the listing then shows at the next check, one before it is in the listing. Each is
    // listed with its time here, and the pass takes that listing.
    void rememberDirectories(const QStringList& dirs);

    // One step of the local index's crawl: one directory of the folder.
    FolderCrawl::Step crawl() { return m_index.crawl(); }
    FolderCrawl::Progress crawlProgress() const { return m_index.crawlProgress(); }
    // Another process changed the folder: the index is not complete until a crawl after it.
    void noteChange() { m_index.noteChange(); }
    // The files a search found, looked at on the share and kept in the index as they are now.
    bool confirm(const QStringList& paths)
    {
        m_index.confirm(paths);
        return true;
    }

private:
    // Fetches at once what a pass over days and marks is going to ask, round by round.
    void askAhead(const QList<QDate>& days, const QList<QDate>& marks);
    // Each directory's metadata, side by side where the worker asks so; one that its parent's
    // listing does not name is answered as missing without a request (see MissingDirectories).
    // Inside a pass, the time comes with the directory's listing, left for the pass.
    QList<std::optional<FileMeta>> directoryTimes(const QStringList& dirs);
    // What a pass wants (and the parents' listings and times the plan asks), handed to the
    // pass's answers, with the metadata of the directories `times`, which it returns.
    QList<std::optional<FileMeta>> askParents(const MissingDirectories::Plan& plan,
                                              AheadRequests wanted, const QStringList& times = {});
    // What a pass wants, handed to the pass's answers, and the metadata of directories: side by
    // side where the worker asks so, else one after another.
    QList<std::optional<FileMeta>> fetchAhead(const AheadRequests& wanted,
                                              const QStringList& directories);
    // Names the step after the appointment it changed. A Change of one appointment is told
    // from its files (a new one, a deletion, a move, a resize); any other act is kept.
    UndoStep stepOf(UndoStep::Act act, QList<FileVersions> files);
    TerminPtr appointmentIn(const QString& path, const QByteArray& bytes);
    // Puts back what the actions done so far replaced, as far as it goes.
    void rollBack(const QList<UndoPlan::Action>& done, const QHash<QString, UndoPlan::Found>& was);

    // Our own writes reach the index from below the clock, whoever made them.
    ClockedFileAccess m_files;
    WriteJournal m_journal{m_files};
    AnswersAhead m_ahead{m_journal};
    ProfileCache m_profiles;
    QString m_folder;
    int m_monthInterval = 60;
    QList<TeamMember> m_team;
    QString m_teamZone;
    DataAccess m_store;
    AppointmentFiling m_filing;
    SeriesFiling m_series{m_store, m_filing};
    IndexKeeping m_index;
    std::shared_ptr<ShareClock> m_clock;
    ParallelFetch::Factory m_moreFiles;
    std::unique_ptr<ParallelFetch> m_fetch; // none while requests go one after another
    QHash<QString, std::optional<FileMeta>> m_directories; // as the last check saw them
    MissingDirectories m_missing; // which directories the parents' listings name
};
