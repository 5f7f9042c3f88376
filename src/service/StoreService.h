#pragma once

#include "index/AppointmentIndex.h"
#include "index/FolderCrawl.h"
#include "profile/FileAccess.h"
#include "service/ServiceState.h"
#include "service/StoreWorker.h"
#include "service/UndoHistory.h"
#include "store/AppointmentFiling.h"
#include "store/ClassTermin.h"
#include "store/DaySource.h"
#include "threads/WorkerThread.h"

#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class FolderJobs;
class FolderWatchThread;
class Settings;
class ShareClock;

// The store as the windows see it: the data folder's store, its caches and its file access run
// on a thread of their own, and the window asks for what it shows and never waits for the
// answer. It draws from what is known (knownDay, knownMark) and draws again when daysChanged
// or marksChanged tell that an answer brought something new. Writes are requests too, answered
// the same way. A file request that has been running for a second marks the data folder as
// not answering until it returns.
class StoreService : public QObject, public Filer {
    Q_OBJECT

public:
    using FileAccessFactory = std::function<std::unique_ptr<FileAccess>()>;
    using Clock = std::function<QDateTime()>;

    struct Options {
        // The worker's own file access; the real file system by default. Made on the
        // window's thread, used on the worker's only.
        FileAccessFactory files;
        // The store's clock ("today" for day marks' expiry, file times of unreadable files).
        Clock clock;
        // How long one file request may take before the folder counts as not answering.
        int notAnsweringAfterMs = 1000;
        // Days kept for showing at once: the view, the calendars and their neighbours.
        int keptDays = 400;
        // Whether directories are watched for other processes' changes.
        bool watchFolders = true;
        // Where each folder's local index is kept (AppointmentIndex::defaultDirectory() for
        // the user's cache); none when empty. The worker keeps it from what it reads and
        // writes, and crawls the folder for the rest while nothing else waits.
        QString indexDirectory;
        // How many requests a read of the view has in flight at once: a file server answers
        // them side by side. 1 asks one after another, for a server that dislikes more.
        int parallelRequests = 32;
        // How often the directories of the shown days are looked at for a changed time,
        // which a save by another copy on a share without change notification leaves; a
        // changed one is read at once. None when 0 (the desktop program's is 2000).
        int directoryCheckMs = 0;
    };

    explicit StoreService(QObject* parent = nullptr);
    explicit StoreService(Options options, QObject* parent = nullptr);
    // Ends the worker without waiting for a request stuck on a share (see shutDown).
    ~StoreService() override;

    // The data folder (ending in a separator) and how long its day marks hold; a change of
    // folder forgets everything known.
    void setFolder(const QString& folder, int monthIntervalSeconds);
    // The team whose names a refused booking gives the owners of other appointments.
    void setTeam(const QList<TeamMember>& team);
    // ... and the team's zone, which the folder's times are in, as the settings name them.
    void setTeam(const Settings& settings);
    QString folder() const { return m_folder; }
    // As made: a service of another folder is made alike.
    const Options& options() const { return m_options; }
    // See Options::parallelRequests; from the next read on.
    void setParallelRequests(int width) { m_options.parallelRequests = std::max(1, width); }

    // What is known of a day or a day mark now; nullopt when it has not been read yet.
    std::optional<QList<TerminPtr>> knownDay(const QDate& date) const;
    std::optional<bool> knownMark(const QDate& date) const;
    // The days as known, an unknown day as empty: what the view draws from.
    DaySource knownDays() const;
    // The categories of the appointments known now, each once (letter case aside), sorted:
    // what the settings window offers for the team's list without reading the folder.
    QStringList knownCategories() const;
    // At the first show of a folder, the view's days are drawn from the local index at once
    // while the share is read; the share's answer replaces them. Such an appointment is
    // partial (the index keeps what the views draw), so it is not to be edited, and a write
    // of its file is refused as not answering. checking: some known day is still the index's.
    bool provisional(const QString& path) const;
    bool checking() const { return !m_provisionalDays.isEmpty(); }
    // How far the local index's crawl of the folder is (nothing listed without an index).
    FolderCrawl::Progress crawlProgress() const { return m_state.crawlProgress; }

    // What the window shows: the view's days, the calendars' day marks, and days worth keeping
    // warm (the neighbours of the view). A request replaces the one before it when that has not
    // started yet, so stepping through ten weeks quickly reads the last one only. The view's
    // days are looked at again in one pass (each directory listed once, each file asked for at
    // most once: other users' changes show); day marks hold as long as the store keeps them,
    // unless freshMarks; warm days are read only when not known yet.
    struct Request {
        QList<QDate> viewDays;
        QList<QDate> markDays;
        QList<QDate> warmDays;
        bool freshMarks = false;
    };
    void show(const Request& request);

    // Directories the window shows, watched for other processes' changes (folderChanged).
    void watch(const QStringList& directories);
    // What is watched now; waits for the watch's thread, so for tests only.
    QStringList watchedForTests() const;

    // Writes, done on the worker in the order asked; done runs on the window's thread. An
    // appointment filed comes back as filed (its new file name and time). While the folder is
    // not answering a filing is refused at once and says why, and a question about changes
    // answers "none" (the save that follows is refused).
    void file(const ClassTermin& appointment, Filed done) override;
    // The same, kept in the history as act (a paste, a duplicate) rather than as what the
    // files tell.
    void file(const ClassTermin& appointment, Filed done, UndoStep::Act act);
    void remove(const QString& path, std::function<void(bool removed)> done);
    void changeSinceLoaded(const ClassTermin& appointment, Changed done) override;
    // One occurrence, the rest or all of a series changed or deleted, as one request; the
    // series' exceptions known from the days read so far are part of it.
    using SeriesDone = std::function<void(const SeriesFiling::Outcome& outcome)>;
    void changeSeries(SeriesFiling::Request request, SeriesDone done);
    // The span of days `day` belongs to changed (see StoreWorker::changeSpan) as one undo step.
    void changeSpan(const ClassTermin& day, StoreWorker::SpanChange change, SeriesDone done);

    // The changes made through file, remove and changeSeries in this folder since it was
    // chosen, for taking them back; a change of folder forgets them.
    const UndoHistory& history() const { return m_history; }
    struct UndoOutcome {
        WriteOutcome outcome = WriteOutcome::done();
        // Another user changed or removed a file of the step since: nothing was written, and
        // the step stays where it was.
        DataAccess::FileChange conflict;
        QString title; // of the step
        bool ok() const
        {
            return outcome.ok && conflict.kind == DataAccess::FileChange::Kind::None;
        }
    };
    using UndoDone = std::function<void(const UndoOutcome& outcome)>;
    // Puts the files of the newest step back as they were (redo: as it left them), under
    // their own names. With overwrite, over another user's change since. Refused at once
    // while the folder is not answering.
    void undo(bool overwrite, UndoDone done);
    void redo(bool overwrite, UndoDone done);
    // Forgets the newest step to undo (redo) without writing: another user's version stays.
    void dropUndo();
    void dropRedo();

    // The folder's other jobs (imports, export, printing, ...): threads and file accesses of
    // their own from this service's factory; what they wrote is read again here at once.
    FolderJobs& jobs() { return *m_jobs; }

    // The appointments of the folder whose text or owner holds every word (see
    // AppointmentIndex::search), answered from the local index at once whatever the share
    // does; done runs on the window's thread. Not usable without an index, or before the
    // worker made one; complete tells whether it knows the whole folder.
    using Searched = std::function<void(const AppointmentIndex::Answer& answer)>;
    void search(const QStringList& words, const QDate& from, const QDate& to, Searched done);
    // Looks at the files of a search's hits on the share, a few at a time between the
    // window's other requests, and keeps them in the index as they are now; done runs on the
    // window's thread once all were looked at, for searching again. Nothing while the folder
    // does not answer.
    void confirm(const QStringList& paths, std::function<void()> done);

    // The days read from the folder now, on the worker, as a view reads them (each series laid
    // out on its days, its exceptions included), without changing what the views know; done
    // gets them on the window's thread, with reachable false (and no days) when the folder
    // could not be listed.
    struct DaysRead {
        QHash<QDate, QList<TerminPtr>> days;
        bool reachable = true;
    };
    using Read = std::function<void(const DaysRead& read)>;
    void readDays(const QList<QDate>& days, Read done);

    bool answering() const { return m_state.answering; }
    bool reachable() const { return m_state.reachable; }
    // Files of the folder that cannot be read whole and are not shown, each with the system's
    // reason, until they read again or are gone.
    const QList<DataAccess::UnreadableFile>& unreadableFiles() const { return m_unreadable; }
    // True while nothing asked of the worker is unanswered.
    bool idle() const;

    // Ends the worker: waits up to wait (about a second) for a request still running, then
    // abandons it. True when nothing had to be abandoned; an abandoned request is never
    // answered.
    bool shutDown(std::chrono::milliseconds wait = std::chrono::milliseconds(1000));
    bool shuttingDown() const { return m_state.shuttingDown; }

signals:
    // A shown day's appointments, or a day mark, differ from what was known.
    void daysChanged();
    void marksChanged();
    void answeringChanged(bool answering);
    void reachableChanged(bool reachable);
    void unreadableFilesChanged();
    // Another process changed a watched directory (a burst told once), or a job of jobs()
    // wrote files: what is shown is to be looked at again.
    void folderChanged();
    // A step was recorded, undone or redone, or the history was forgotten.
    void historyChanged();
    // checking() changed.
    void checkingChanged();
    // crawlProgress() changed.
    void crawlProgressed();

private:
    struct LoadSlot;
    // What the worker jobs send back: values only, handled on the window's thread.
    struct LoadPart {
        enum class Part { View, Marks, Warm };
        quint64 generation = 0;
        Part part = Part::View;
        StoreWorker::Days days;
    };
    struct CrawlAnswer {
        quint64 generation = 0;
        FolderCrawl::Step step = FolderCrawl::Step::More;
        FolderCrawl::Progress progress;
    };
    struct Asked {
        quint64 ticket = 0;
        std::shared_ptr<const void> result;
    };
    struct WarmFound {
        quint64 generation = 0;
        QHash<QDate, QList<TerminPtr>> days;
    };
    void takeLoadPart(const LoadPart& part);
    void takeCrawl(const CrawlAnswer& answer);
    void takeAnswer(const Asked& answer);
    void setState(const ServiceState& state);
    // A worker of its own, with its own file access, caches and share clock.
    void startWorker();
    // Replaces a worker held up by a share that does not answer.
    void leaveStuckWorker();
    void postLoad(const Request& request);
    void takeDays(quint64 generation, const StoreWorker::Days& read, bool view);
    // Asks the local index for the days (on the search thread), shown where the share has
    // not answered yet.
    void warmStart(const QList<QDate>& days);
    void takeWarmStart(const WarmFound& found);
    // The search thread, made when first needed.
    WorkerThread& searches();
    void checkAnswering();
    void forgetBeyondKept();
    // After our own change of these files.
    void markStale(const QStringList& paths);
    void restore(bool undo, bool overwrite, UndoDone done);
    // Hands the directories asked for to the folder watch: the view's before it is read, the
    // rest once no view read is under way.
    void watchViewAhead(const QList<QDate>& viewDays);
    void watchWhenRead();
    // Looks at the shown days' directories for another copy's change.
    void checkDirectories();
    // Posts the next step of the index's crawl when the worker has nothing else to do.
    void crawlWhenIdle();
    // Once a day and folder, after its first view: the series written ahead as time passes.
    void extendSeriesWhenRead();
    void confirmFrom(std::shared_ptr<const QStringList> paths, int next, quint64 generation,
                     std::function<void()> done);
    void record(UndoStep step);
    // Runs job on the worker in this folder; done gets its result on the window's thread.
    template <typename Result>
    void ask(std::function<Result(StoreWorker&)> job, std::function<void(const Result&)> done);

    Options m_options;
    std::unique_ptr<WorkerThread> m_worker;
    std::shared_ptr<ShareClock> m_shareClock;
    std::shared_ptr<StoreWorker> m_store; // used on the worker's thread only
    std::shared_ptr<LoadSlot> m_slot;
    WorkerThread::Inbox<LoadPart> m_loads;
    WorkerThread::Inbox<CrawlAnswer> m_crawls;
    WorkerThread::Inbox<Asked> m_answers;
    // What to do with each answer asked for, by ticket; dropped with a worker left behind.
    QHash<quint64, std::function<void(const void*)>> m_waiting;
    quint64 m_lastTicket = 0;
    std::unique_ptr<FolderWatchThread> m_watch;
    std::unique_ptr<FolderJobs> m_jobs;
    std::unique_ptr<WorkerThread> m_searches; // the index's reader, made at the first search
    WorkerThread::Inbox<WarmFound> m_warmFound;

    QString m_folder;
    int m_monthInterval = 60;
    ServiceState m_state;
    std::optional<QStringList> m_watchWanted; // for the folder watch, not handed on yet
    QStringList m_watchForwarded;             // what it was handed last

    QHash<QDate, QList<TerminPtr>> m_days;
    QHash<QDate, bool> m_marks;
    // Known, but to be read again when warmed: after our own change.
    QSet<QDate> m_staleDays;
    QList<QDate> m_lastShown; // the latest view and calendar days, kept when trimming
    QList<QDate> m_lastViewDays;
    QSet<QDate> m_provisionalDays; // known from the index only

    UndoHistory m_history;
    QTimer m_answerCheck;
    QTimer m_directoryCheck;
    QList<DataAccess::UnreadableFile> m_unreadable;
    QElapsedTimer m_crawlAnswered; // since the last step answered
    QString m_extendedFolder;      // the folder and day the series were last written ahead
    QDate m_extendedOn;
};
