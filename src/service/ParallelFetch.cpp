#include "service/ParallelFetch.h"

#include "profile/ProfileCache.h"
#include "threads/ShareClock.h"
#include "threads/Threads.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

struct ParallelFetch::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable done;
    std::condition_variable ended;
    std::deque<std::function<void(FileAccess&)>> jobs;
    int unfinished = 0;
    int serving = 0; // threads that take jobs
    int running = 0; // threads not ended yet, those on their way out included
    bool stopping = false;
};

namespace {

// A thread without work ends after this: between passes the pool holds none for long.
constexpr std::chrono::seconds kIdleEnd{5};

} // namespace

ParallelFetch::ParallelFetch(Factory files, std::shared_ptr<ShareClock> clock, int width)
    : m_factory(files ? std::move(files) : Factory(MakeFileAccess))
    , m_clock(std::move(clock))
    , m_width(std::max(1, width))
    , m_shared(std::make_shared<Shared>())
{
}

ParallelFetch::~ParallelFetch()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->wake.notify_all();
    m_shared->ended.wait(lock, [&] { return m_shared->running == 0; });
}

void ParallelFetch::serve(const std::shared_ptr<Shared>& shared, const Factory& factory,
                          const std::shared_ptr<ShareClock>& clock)
{
    {
        ClockedFileAccess files(factory(), clock);
        for (;;) {
            std::function<void(FileAccess&)> job;
            {
                std::unique_lock lock(shared->mutex);
                const bool woken = shared->wake.wait_for(
                    lock, kIdleEnd, [&] { return !shared->jobs.empty() || shared->stopping; });
                if (!woken || shared->jobs.empty()) {
                    --shared->serving; // decided under the lock, so runAll starts another
                    break;
                }
                job = std::move(shared->jobs.front());
                shared->jobs.pop_front();
            }
            job(files);
            const std::lock_guard lock(shared->mutex);
            if (--shared->unfinished == 0)
                shared->done.notify_all();
        }
    }
    const std::lock_guard lock(shared->mutex);
    --shared->running;
    shared->ended.notify_all();
}

void ParallelFetch::runAll(std::vector<std::function<void(FileAccess&)>> jobs)
{
    if (jobs.empty())
        return;
    const int count = int(jobs.size());
    std::unique_lock lock(m_shared->mutex);
    for (auto& job : jobs)
        m_shared->jobs.push_back(std::move(job));
    m_shared->unfinished += count;
    for (int more = std::min(m_width, count) - m_shared->serving; more > 0; --more) {
        ++m_shared->serving;
        ++m_shared->running;
        // Its own copies of what it uses: the destructor waits until it stops serving, but its
        // last steps, letting go of them, may come after this object is gone.
        Threads::detached([shared = m_shared, factory = m_factory, clock = m_clock] {
            serve(shared, factory, clock);
        });
    }
    m_shared->wake.notify_all();
    m_shared->done.wait(lock, [&] { return m_shared->unfinished == 0; });
}

QList<std::optional<FileMeta>> ParallelFetch::fetch(const AheadRequests& requests,
                                                    const QString& suffix, const QString& root,
                                                    AnswersAhead& into,
                                                    const QStringList& directories)
{
    // Each answer has a place of its own, written by one thread and read here once all ended.
    std::vector<std::optional<DirectoryListing>> listings(requests.listings.size());
    std::vector<std::optional<DirectoryListing>> timed(requests.timedListings.size());
    std::vector<std::optional<FileMeta>> metadata(requests.metadata.size());
    std::vector<ReadOutcome> reads(requests.reads.size());
    std::vector<std::optional<FileMeta>> times(directories.size());
    std::vector<std::function<void(FileAccess&)>> jobs;
    for (qsizetype i = 0; i < directories.size(); ++i)
        jobs.push_back(
            [&, i](FileAccess& files) { times[i] = files.directoryMetadata(directories[i]); });
    for (qsizetype i = 0; i < requests.listings.size(); ++i)
        jobs.push_back([&, i](FileAccess& files) {
            listings[i] = files.listFiles(requests.listings[i], suffix, root);
        });
    for (qsizetype i = 0; i < requests.timedListings.size(); ++i)
        jobs.push_back([&, i](FileAccess& files) {
            timed[i] = files.listFilesWithTime(requests.timedListings[i], suffix, root);
        });
    for (qsizetype i = 0; i < requests.metadata.size(); ++i)
        jobs.push_back(
            [&, i](FileAccess& files) { metadata[i] = files.metadata(requests.metadata[i]); });
    for (qsizetype i = 0; i < requests.reads.size(); ++i)
        jobs.push_back([&, i](FileAccess& files) {
            reads[i] = files.read(requests.reads[i], ProfileCache::kReadLimit, root);
        });
    runAll(std::move(jobs));
    for (qsizetype i = 0; i < requests.listings.size(); ++i)
        into.addListing(requests.listings[i], std::move(listings[i]));
    for (qsizetype i = 0; i < requests.timedListings.size(); ++i)
        into.addListing(requests.timedListings[i], std::move(timed[i]));
    for (qsizetype i = 0; i < requests.metadata.size(); ++i)
        into.addMetadata(requests.metadata[i], std::move(metadata[i]));
    for (qsizetype i = 0; i < requests.reads.size(); ++i)
        into.addRead(requests.reads[i], ProfileCache::kReadLimit, std::move(reads[i]));
    return QList<std::optional<FileMeta>>(times.begin(), times.end());
}
