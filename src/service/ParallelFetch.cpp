#include "service/ParallelFetch.h"

#include "profile/ProfileCache.h"
#include "service/ShareClock.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>

struct ParallelFetch::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable done;
    std::deque<std::function<void(FileAccess&)>> jobs;
    int unfinished = 0;
    bool stopping = false;
};

ParallelFetch::ParallelFetch(Factory files, std::shared_ptr<ShareClock> clock, int width)
    : m_factory(files ? std::move(files) : Factory(MakeFileAccess))
    , m_clock(std::move(clock))
    , m_width(std::max(1, width))
    , m_shared(std::make_shared<Shared>())
{
}

ParallelFetch::~ParallelFetch()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->stopping = true;
    }
    m_shared->wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void ParallelFetch::run()
{
    ClockedFileAccess files(m_factory(), m_clock);
    for (;;) {
        std::function<void(FileAccess&)> job;
        {
            std::unique_lock lock(m_shared->mutex);
            m_shared->wake.wait(lock,
                                [&] { return !m_shared->jobs.empty() || m_shared->stopping; });
            if (m_shared->jobs.empty())
                return;
            job = std::move(m_shared->jobs.front());
            m_shared->jobs.pop_front();
        }
        job(files);
        const std::lock_guard lock(m_shared->mutex);
        if (--m_shared->unfinished == 0)
            m_shared->done.notify_all();
    }
}

void ParallelFetch::runAll(std::vector<std::function<void(FileAccess&)>> jobs)
{
    if (jobs.empty())
        return;
    const int count = int(jobs.size());
    {
        const std::lock_guard lock(m_shared->mutex);
        for (auto& job : jobs)
            m_shared->jobs.push_back(std::move(job));
        m_shared->unfinished += count;
    }
    while (int(m_threads.size()) < std::min(m_width, count))
        m_threads.emplace_back([this] { run(); });
    m_shared->wake.notify_all();
    std::unique_lock lock(m_shared->mutex);
    m_shared->done.wait(lock, [&] { return m_shared->unfinished == 0; });
}

void ParallelFetch::fetch(const AheadRequests& requests, const QString& suffix, const QString& root,
                          AnswersAhead& into)
{
    // Each answer has a place of its own, written by one thread and read here once all ended.
    std::vector<std::optional<DirectoryListing>> listings(requests.listings.size());
    std::vector<std::optional<FileMeta>> metadata(requests.metadata.size());
    std::vector<ReadOutcome> reads(requests.reads.size());
    std::vector<std::function<void(FileAccess&)>> jobs;
    for (qsizetype i = 0; i < requests.listings.size(); ++i)
        jobs.push_back([&, i](FileAccess& files) {
            listings[i] = files.listFiles(requests.listings[i], suffix, root);
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
    for (qsizetype i = 0; i < requests.metadata.size(); ++i)
        into.addMetadata(requests.metadata[i], std::move(metadata[i]));
    for (qsizetype i = 0; i < requests.reads.size(); ++i)
        into.addRead(requests.reads[i], ProfileCache::kReadLimit, std::move(reads[i]));
}

QList<std::optional<FileMeta>> ParallelFetch::directoryMetadata(const QStringList& dirs)
{
    std::vector<std::optional<FileMeta>> found(dirs.size());
    std::vector<std::function<void(FileAccess&)>> jobs;
    for (qsizetype i = 0; i < dirs.size(); ++i)
        jobs.push_back([&, i](FileAccess& files) { found[i] = files.directoryMetadata(dirs[i]); });
    runAll(std::move(jobs));
    return QList<std::optional<FileMeta>>(found.begin(), found.end());
}
