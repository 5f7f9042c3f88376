#include "service/StoreService.h"

#include "profile/FileAccess.h"
#include "service/FolderJobs.h"
#include "service/FolderWatchThread.h"
#include "service/StoreWorker.h"
#include "settings/Settings.h"
#include "store/Recurrence.h"
#include "threads/ShareClock.h"
#include "threads/WorkerThread.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace {

// Two readings of a day are the same when each appointment is the same file in the same state.
bool sameDay(const QList<TerminPtr>& a, const QList<TerminPtr>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const ClassTermin& x = *a[i];
        const ClassTermin& y = *b[i];
        if (x.filename() != y.filename() || x.FileDate() != y.FileDate() || x.Text() != y.Text() ||
            x.StartTime() != y.StartTime() || x.EndTime() != y.EndTime() ||
            x.ColorCode() != y.ColorCode() || x.datum() != y.datum())
            return false;
    }
    return true;
}

// The directories the days' appointments lie in, the recurring ones' included.
QStringList directoriesOfDays(const QString& folder, const QList<QDate>& days)
{
    QStringList dirs;
    for (const QDate& day : days)
        dirs << Recurrence::directoriesOfDay(folder, day);
    dirs.removeDuplicates();
    return dirs;
}

} // namespace

// The newest view request not yet taken by the worker: a later one replaces it.
struct StoreService::LoadSlot {
    std::mutex mutex; // the standard library's, which a race checker sees
    std::optional<Request> request;
    QString folder;
    int monthInterval = 60;
    int parallelRequests = 1;
    bool directoryCheck = false;
    quint64 generation = 0;
    bool posted = false;

    bool waiting()
    {
        const std::lock_guard lock(mutex);
        return posted;
    }
};

StoreService::StoreService(QObject* parent)
    : StoreService(Options(), parent)
{
}

StoreService::StoreService(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
{
    startWorker();
    m_jobs = std::make_unique<FolderJobs>(m_options.files);
    connect(m_jobs.get(), &FolderJobs::written, this, [this](const QStringList& paths) {
        if (paths.isEmpty())
            for (auto known = m_days.cbegin(); known != m_days.cend(); ++known)
                m_staleDays.insert(known.key());
        markStale(paths);
        emit folderChanged();
    });
    if (m_options.watchFolders) {
        m_watch = std::make_unique<FolderWatchThread>();
        connect(m_watch.get(), &FolderWatchThread::changed, this, &StoreService::folderChanged);
    }
    if (!m_options.indexDirectory.isEmpty()) {
        // Another process's change may lie where the crawl has been already.
        connect(this, &StoreService::folderChanged, this, [this] {
            ask<bool>(
                [](StoreWorker& store) {
                    store.noteChange();
                    return true;
                },
                {});
        });
    }
    m_directoryCheck.setInterval(m_options.directoryCheckMs);
    connect(&m_directoryCheck, &QTimer::timeout, this, &StoreService::checkDirectories);
    if (m_options.directoryCheckMs > 0)
        m_directoryCheck.start();
    m_answerCheck.setInterval(std::max(10, m_options.notAnsweringAfterMs / 4));
    connect(&m_answerCheck, &QTimer::timeout, this, &StoreService::checkAnswering);
    m_answerCheck.start();
}

void StoreService::startWorker()
{
    m_worker = std::make_unique<WorkerThread>(QStringLiteral("Norvane store"));
    m_shareClock = std::make_shared<ShareClock>();
    m_slot = std::make_shared<LoadSlot>();
    std::unique_ptr<FileAccess> files = m_options.files ? m_options.files() : MakeFileAccess();
    m_store = std::make_shared<StoreWorker>(std::move(files), m_shareClock, m_options.clock,
                                            m_options.indexDirectory, m_options.files);
    m_loads = m_worker->inbox<LoadPart>([this](const LoadPart& part) { takeLoadPart(part); });
    m_crawls =
        m_worker->inbox<CrawlAnswer>([this](const CrawlAnswer& answer) { takeCrawl(answer); });
    m_answers = m_worker->inbox<Asked>([this](const Asked& answer) { takeAnswer(answer); });
}

void StoreService::setState(const ServiceState& state)
{
    const ServiceState was = std::exchange(m_state, state);
    if (was.answering != state.answering)
        emit answeringChanged(state.answering);
    if (was.reachable != state.reachable)
        emit reachableChanged(state.reachable);
    if (was.crawlProgress != state.crawlProgress)
        emit crawlProgressed();
}

void StoreService::leaveStuckWorker()
{
    // Its thread ends on its own once the share answers, and tells nobody; what it was asked
    // for the old folder is answered no more.
    m_worker->stop(std::chrono::milliseconds(0));
    m_waiting.clear();
    startWorker();
    setState(m_state.workerStuck());
}

StoreService::~StoreService()
{
    shutDown();
}

bool StoreService::shutDown(std::chrono::milliseconds wait)
{
    if (!m_state.shuttingDown) {
        m_state = m_state.shutDown();
        m_answerCheck.stop();
        m_directoryCheck.stop();
    }
    m_watch.reset();
    if (m_searches)
        m_searches->stop();
    return m_worker->stop(wait);
}

void StoreService::setTeam(const QList<TeamMember>& team)
{
    m_worker->post([store = m_store, team] { store->useTeam(team); });
}

void StoreService::setFolder(const QString& folder, int monthIntervalSeconds)
{
    const QString withSeparator = WithTrailingSeparator(folder);
    m_monthInterval = std::max(1, monthIntervalSeconds);
    if (withSeparator == m_folder)
        return;
    // A request stuck on the share left behind must not hold the folder chosen now.
    if (!m_state.answering && !m_state.shuttingDown)
        leaveStuckWorker();
    m_folder = withSeparator;
    m_state = m_state.folderChosen();
    m_days.clear();
    m_marks.clear();
    m_staleDays.clear();
    const bool wasChecking = checking();
    m_provisionalDays.clear();
    m_watchWanted.reset();
    m_watchForwarded.clear();
    m_unreadable.clear();
    m_history.clear();
    emit historyChanged();
    if (wasChecking)
        emit checkingChanged();
    setState(m_state.reachableSeen(true));
}

std::optional<QList<TerminPtr>> StoreService::knownDay(const QDate& date) const
{
    const auto day = m_days.constFind(date);
    if (day == m_days.cend())
        return std::nullopt;
    return *day;
}

std::optional<bool> StoreService::knownMark(const QDate& date) const
{
    const auto mark = m_marks.constFind(date);
    if (mark == m_marks.cend())
        return std::nullopt;
    return *mark;
}

DaySource StoreService::knownDays() const
{
    return [this](const QDate& date) { return knownDay(date).value_or(QList<TerminPtr>()); };
}

bool StoreService::idle() const
{
    return m_state.idle();
}

void StoreService::show(const Request& request)
{
    if (m_state.shuttingDown || m_folder.isEmpty())
        return;
    m_lastShown = request.viewDays + request.markDays;
    m_lastViewDays = request.viewDays;
    if (!m_state.warmStartAsked) {
        m_state = m_state.warmStartTaken();
        warmStart(request.viewDays);
    }
    Request wanted = request;
    wanted.warmDays.removeIf([&](const QDate& day) {
        return (m_days.contains(day) && !m_staleDays.contains(day)) ||
               wanted.viewDays.contains(day);
    });
    if (wanted.viewDays.isEmpty() && wanted.markDays.isEmpty() && wanted.warmDays.isEmpty())
        return;
    watchViewAhead(wanted.viewDays);
    postLoad(wanted);
}

void StoreService::postLoad(const Request& request)
{
    {
        const std::lock_guard lock(m_slot->mutex);
        // A request not taken yet is replaced, but fresh marks asked for stay asked for.
        const bool freshMarks = m_slot->request && m_slot->request->freshMarks;
        m_slot->request = request;
        m_slot->request->freshMarks = m_slot->request->freshMarks || freshMarks;
        m_slot->folder = m_folder;
        m_slot->monthInterval = m_monthInterval;
        m_slot->parallelRequests = m_options.parallelRequests;
        m_slot->directoryCheck = m_options.directoryCheckMs > 0;
        m_slot->generation = m_state.generation;
        if (m_slot->posted)
            return; // the job waiting already takes this request instead
        m_slot->posted = true;
    }
    m_state = m_state.loadPosted();
    m_worker->post([slot = m_slot, store = m_store, inbox = m_loads] {
        Request taken;
        quint64 generation = 0;
        QStringList checkedDirectories;
        {
            const std::lock_guard lock(slot->mutex);
            taken = slot->request.value_or(Request());
            slot->request.reset();
            slot->posted = false;
            generation = slot->generation;
            store->useFolder(slot->folder, slot->monthInterval);
            store->useParallelRequests(slot->parallelRequests);
            if (slot->directoryCheck)
                checkedDirectories = directoriesOfDays(slot->folder, taken.viewDays);
        }
        // The view first, then the calendars' marks, then the neighbours, each shown as soon
        // as it is read; one pass over the folder for all of it.
        const auto pass = store->pass();
        store->rememberDirectories(checkedDirectories);
        using Part = LoadPart::Part;
        const StoreWorker::Days view = store->read(taken.viewDays, {}, false);
        inbox.send({generation, Part::View, view});
        inbox.send({generation, Part::Marks,
                    store->read({}, taken.markDays, taken.freshMarks, view.reachable)});
        // The neighbours only while nobody waits for another view.
        StoreWorker::Days warm;
        if (view.reachable && !taken.warmDays.isEmpty() && !slot->waiting())
            warm = store->read(taken.warmDays, {}, false, true);
        inbox.send({generation, Part::Warm, warm});
    });
}

void StoreService::takeLoadPart(const LoadPart& part)
{
    switch (part.part) {
    case LoadPart::Part::View:
        m_state = m_state.viewRead();
        takeDays(part.generation, part.days, true);
        watchWhenRead();
        extendSeriesWhenRead();
        break;
    case LoadPart::Part::Marks:
        takeDays(part.generation, part.days, false);
        break;
    case LoadPart::Part::Warm:
        m_state = m_state.answered();
        takeDays(part.generation, part.days, false);
        crawlWhenIdle();
        break;
    }
}

void StoreService::takeDays(quint64 generation, const StoreWorker::Days& read, bool view)
{
    if (!m_state.current(generation))
        return; // read for a folder no longer shown
    if (view)
        setState(m_state.reachableSeen(read.reachable));
    if (read.unreadable && *read.unreadable != m_unreadable) {
        m_unreadable = *read.unreadable;
        emit unreadableFilesChanged();
    }
    bool daysChangedNow = false;
    const bool wasChecking = checking();
    for (auto day = read.days.cbegin(); day != read.days.cend(); ++day) {
        m_staleDays.remove(day.key());
        // The index's records are partial, however alike they look.
        const bool provisional = m_provisionalDays.remove(day.key());
        const auto known = m_days.constFind(day.key());
        if (!provisional && known != m_days.cend() && sameDay(*known, day.value()))
            continue;
        m_days.insert(day.key(), day.value());
        daysChangedNow = daysChangedNow || view || provisional;
    }
    bool marksChangedNow = false;
    for (auto mark = read.marks.cbegin(); mark != read.marks.cend(); ++mark) {
        const auto known = m_marks.constFind(mark.key());
        if (known != m_marks.cend() && *known == mark.value())
            continue;
        m_marks.insert(mark.key(), mark.value());
        marksChangedNow = true;
    }
    forgetBeyondKept();
    if (daysChangedNow)
        emit daysChanged();
    if (wasChecking && !checking())
        emit checkingChanged();
    if (marksChangedNow)
        emit marksChanged();
}

void StoreService::forgetBeyondKept()
{
    // The days nearest to what is shown stay; the rest is read again when it is wanted.
    if (m_days.size() <= m_options.keptDays || m_lastShown.isEmpty())
        return;
    const QDate centre = m_lastShown.first();
    QList<QDate> days = m_days.keys();
    std::sort(days.begin(), days.end(), [&](const QDate& a, const QDate& b) {
        return std::abs(centre.daysTo(a)) < std::abs(centre.daysTo(b));
    });
    for (qsizetype i = m_options.keptDays; i < days.size(); ++i)
        if (!m_lastShown.contains(days[i])) {
            m_days.remove(days[i]);
            m_provisionalDays.remove(days[i]);
        }
    if (m_marks.size() > 2 * m_options.keptDays)
        m_marks.removeIf([this](const auto& mark) { return !m_lastShown.contains(mark.key()); });
}

void StoreService::markStale(const QStringList& paths)
{
    // Shown as they are until the next look, which reads them again. A one-time file touches
    // the day its directory names; a recurring one may touch any day.
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        if (const QDate day = DataAccess::DayOfOneTimeFile(path); day.isValid()) {
            m_staleDays.insert(day);
            continue;
        }
        for (auto known = m_days.cbegin(); known != m_days.cend(); ++known)
            m_staleDays.insert(known.key());
    }
}

void StoreService::checkAnswering()
{
    setState(m_state.answeringSeen(m_shareClock->runningForMs() < m_options.notAnsweringAfterMs));
    crawlWhenIdle();
}

void StoreService::extendSeriesWhenRead()
{
    const QDate today = m_options.clock ? m_options.clock().date() : QDate::currentDate();
    if (m_folder.isEmpty() || !m_state.answering ||
        (m_extendedFolder == m_folder && m_extendedOn == today))
        return;
    m_extendedFolder = m_folder;
    m_extendedOn = today;
    ask<bool>([](StoreWorker& store) { return store.extendSeries(); },
              [this](bool written) {
                  if (written)
                      emit folderChanged();
              });
}

void StoreService::crawlWhenIdle()
{
    // Only while nothing asked of the worker is unanswered (every request counts there), one
    // step at a time: a request posted meanwhile waits for one directory at most.
    // After a round, or while the folder does not list, it asks now and then only.
    constexpr qint64 kRestMs = 5000;
    const bool rested = !m_crawlAnswered.isValid() || m_crawlAnswered.elapsed() >= kRestMs;
    if (m_options.indexDirectory.isEmpty() || m_folder.isEmpty() || !m_state.mayCrawl(rested))
        return;
    m_state = m_state.crawlStarted();
    m_worker->post([store = m_store, inbox = m_crawls, folder = m_folder,
                    interval = m_monthInterval, generation = m_state.generation] {
        store->useFolder(folder, interval);
        inbox.send({generation, store->crawl(), store->crawlProgress()});
    });
}

void StoreService::takeCrawl(const CrawlAnswer& answer)
{
    setState(m_state.crawlAnswered(answer.generation, answer.step, answer.progress));
    m_crawlAnswered.start();
    crawlWhenIdle();
}

void StoreService::checkDirectories()
{
    // Only between requests, and never behind one stuck on the share.
    if (m_folder.isEmpty() || m_lastViewDays.isEmpty() || !m_state.mayCheckDirectories())
        return;
    const QStringList dirs = directoriesOfDays(m_folder, m_lastViewDays);
    m_state = m_state.directoryCheckStarted();
    ask<QStringList>([dirs](StoreWorker& store) { return store.changedDirectories(dirs); },
                     [this, generation = m_state.generation](const QStringList& changed) {
                         m_state = m_state.directoryCheckAnswered();
                         if (m_state.current(generation) && !changed.isEmpty())
                             emit folderChanged();
                     });
}

void StoreService::search(const QStringList& words, const QDate& from, const QDate& to,
                          Searched done)
{
    if (m_options.indexDirectory.isEmpty() || m_state.shuttingDown) {
        QMetaObject::invokeMethod(
            this,
            [done = std::move(done)] {
                if (done)
                    done({});
            },
            Qt::QueuedConnection);
        return;
    }
    searches().post([directory = m_options.indexDirectory, folder = m_folder, words, from, to,
                     done = std::move(done), reply = searches().replies()] {
        AppointmentIndex::Answer answer =
            AppointmentIndex::lookUp(directory, folder, words, from, to);
        reply([done, answer = std::move(answer)] {
            if (done)
                done(answer);
        });
    });
}

void StoreService::confirm(const QStringList& paths, std::function<void()> done)
{
    if (m_options.indexDirectory.isEmpty() || !m_state.mayWrite())
        return;
    confirmFrom(std::make_shared<const QStringList>(paths), 0, m_state.generation, std::move(done));
}

void StoreService::confirmFrom(std::shared_ptr<const QStringList> paths, int next,
                               quint64 generation, std::function<void()> done)
{
    // A chunk at a time, each asked when the one before answered: a step of the view asked
    // meanwhile waits for one chunk at most.
    constexpr int kChunk = 16;
    if (!m_state.current(generation) || !m_state.answering)
        return;
    if (next >= paths->size()) {
        if (done)
            done();
        return;
    }
    const QStringList chunk = paths->mid(next, kChunk);
    ask<bool>([chunk](StoreWorker& store) { return store.confirm(chunk); },
              [this, paths, next, generation, done = std::move(done)](const bool&) {
                  confirmFrom(paths, next + kChunk, generation, done);
              });
}

void StoreService::readDays(const QList<QDate>& days, Read done)
{
    if (m_state.shuttingDown || m_folder.isEmpty()) {
        QMetaObject::invokeMethod(
            this,
            [done = std::move(done)] {
                if (done)
                    done({{}, false});
            },
            Qt::QueuedConnection);
        return;
    }
    ask<DaysRead>(
        [days, width = m_options.parallelRequests](StoreWorker& store) {
            // Side by side, as the view's days are read.
            store.useParallelRequests(width);
            const auto pass = store.pass();
            StoreWorker::Days read = store.read(days, {}, false);
            if (!read.reachable)
                read.days.clear();
            return DaysRead{read.days, read.reachable};
        },
        std::move(done));
}

void StoreService::watch(const QStringList& directories)
{
    if (!m_watch || m_folder.isEmpty())
        return;
    // The window asks for the view right after this: see watchWhenRead.
    m_watchWanted = directories;
    QMetaObject::invokeMethod(this, &StoreService::watchWhenRead, Qt::QueuedConnection);
}

void StoreService::watchViewAhead(const QList<QDate>& viewDays)
{
    if (!m_watchWanted || !m_watch)
        return;
    // The view's directories are watched before the view is read, so no change falls between
    // the two; the calendars' hundreds wait until it is read, not to stand in its way on the
    // share. The watch asks the share only about directories it does not watch yet.
    QStringList now = m_watchForwarded;
    for (const QString& dir : directoriesOfDays(m_folder, viewDays))
        if (m_watchWanted->contains(dir) && !now.contains(dir))
            now << dir;
    m_watch->watch(m_folder, now); // unchanged, it asks nothing
    m_watchForwarded = now;
}

void StoreService::watchWhenRead()
{
    if (!m_watchWanted || !m_watch || !m_state.viewsRead())
        return;
    m_watch->watch(m_folder, *m_watchWanted);
    m_watchForwarded = *m_watchWanted;
    m_watchWanted.reset();
}

QStringList StoreService::watchedForTests() const
{
    return m_watch ? m_watch->watchedForTests() : QStringList();
}

template <typename Result>
void StoreService::ask(std::function<Result(StoreWorker&)> job,
                       std::function<void(const Result&)> done)
{
    m_state = m_state.asked();
    const quint64 ticket = ++m_lastTicket;
    m_waiting.insert(ticket, [done = std::move(done)](const void* result) {
        if (done)
            done(*static_cast<const Result*>(result));
    });
    m_worker->post([job = std::move(job), store = m_store, inbox = m_answers, ticket,
                    folder = m_folder, interval = m_monthInterval] {
        store->useFolder(folder, interval);
        inbox.send({ticket, std::make_shared<const Result>(job(*store))});
    });
}

void StoreService::takeAnswer(const Asked& answer)
{
    m_state = m_state.answered();
    if (const auto done = m_waiting.take(answer.ticket))
        done(answer.result.get());
    crawlWhenIdle();
}

// The undo and redo in StoreServiceUndo.cpp and the spans' changes ask through here too.
template void
StoreService::ask<StoreWorker::Restored>(std::function<StoreWorker::Restored(StoreWorker&)> job,
                                         std::function<void(const StoreWorker::Restored&)> done);
template void StoreService::ask<StoreWorker::Journaled<SeriesFiling::Outcome>>(
    std::function<StoreWorker::Journaled<SeriesFiling::Outcome>(StoreWorker&)> job,
    std::function<void(const StoreWorker::Journaled<SeriesFiling::Outcome>&)> done);

void StoreService::file(const ClassTermin& appointment, Filed done)
{
    file(appointment, std::move(done), UndoStep::Act::Change);
}

void StoreService::file(const ClassTermin& appointment, Filed done, UndoStep::Act act)
{
    // Nothing is written behind a request that is stuck on the share, nor over a file the
    // share has not told of yet: refused at once.
    if (!m_state.mayWrite() || provisional(appointment.filename())) {
        if (done)
            done(WriteOutcome::failed(WriteOutcome::Cause::NotAnswering, m_folder), appointment);
        return;
    }
    using Answer = StoreWorker::Journaled<std::pair<WriteOutcome, ClassTermin>>;
    ask<Answer>(
        [appointment, act](StoreWorker& store) {
            return store.journaled(act, [&appointment](StoreWorker& worker) {
                ClassTermin filed = appointment;
                const WriteOutcome outcome = worker.file(filed);
                return std::pair{outcome, filed};
            });
        },
        [this, oldPath = appointment.filename(), done = std::move(done)](const Answer& filed) {
            // Our own change shows at the next look, whatever the caches thought.
            markStale({oldPath, filed.result.second.filename()});
            record(filed.step);
            if (done)
                done(filed.result.first, filed.result.second);
        });
}

void StoreService::remove(const QString& path, std::function<void(bool)> done)
{
    if (provisional(path)) {
        if (done)
            done(false);
        return;
    }
    using Answer = StoreWorker::Journaled<bool>;
    ask<Answer>(
        [path](StoreWorker& store) {
            return store.journaled(UndoStep::Act::Delete,
                                   [&path](StoreWorker& worker) { return worker.remove(path); });
        },
        [this, path, done = std::move(done)](const Answer& removed) {
            markStale({path});
            record(removed.step);
            if (done)
                done(removed.result);
        });
}

void StoreService::changeSeries(SeriesFiling::Request request, SeriesDone done)
{
    if (!m_state.mayWrite() || provisional(request.part.filename())) {
        SeriesFiling::Outcome refused;
        refused.outcome = WriteOutcome::failed(WriteOutcome::Cause::NotAnswering, m_folder);
        if (done)
            done(refused);
        return;
    }
    const QString& series = request.part.SeriesId();
    if (!series.isEmpty()) {
        QSet<QString> known;
        for (auto day = m_days.cbegin(); day != m_days.cend(); ++day) {
            if (m_provisionalDays.contains(day.key()))
                continue; // partial records are never written back
            for (const TerminPtr& a : day.value()) {
                if (!a->repeats() && a->SeriesId() == series && !known.contains(a->filename())) {
                    known.insert(a->filename());
                    request.knownExceptions.append(*a);
                }
            }
        }
    }
    using Answer = StoreWorker::Journaled<SeriesFiling::Outcome>;
    ask<Answer>(
        [request](StoreWorker& store) {
            return store.journaled(UndoStep::Act::Series, [&request](StoreWorker& worker) {
                return worker.changeSeries(request);
            });
        },
        [this, done = std::move(done)](const Answer& changed) {
            markStale(changed.result.written + changed.result.removed);
            record(changed.step);
            if (done)
                done(changed.result);
        });
}

void StoreService::changeSinceLoaded(const ClassTermin& appointment, Changed done)
{
    if (!m_state.mayWrite()) {
        if (done)
            done({}); // the save that follows is refused anyway
        return;
    }
    ask<DataAccess::FileChange>(
        [appointment](StoreWorker& store) { return store.changeSinceLoaded(appointment); },
        std::move(done));
}
