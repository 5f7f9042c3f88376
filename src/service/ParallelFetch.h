#pragma once

#include "profile/AnswersAhead.h"
#include "profile/FileAccess.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class ShareClock;

// Asks many requests of the share at once: a file server answers them side by side, so a
// pass pays round trips instead of requests. Each of up to `width` threads has a file access
// of its own, made by the factory on that thread and told to the share clock; answers come
// back by value. A thread without work for a few seconds ends. Used from one thread, which
// fetch() holds until every request has answered.
class ParallelFetch {
public:
    using Factory = std::function<std::unique_ptr<FileAccess>()>;

    ParallelFetch(Factory files, std::shared_ptr<ShareClock> clock, int width);
    ~ParallelFetch();
    ParallelFetch(const ParallelFetch&) = delete;
    ParallelFetch& operator=(const ParallelFetch&) = delete;

    int width() const { return m_width; }
    // Listings with suffix, reads of ProfileCache::kReadLimit bytes, both confined to root;
    // beside them, the metadata of directories, returned in the order asked.
    QList<std::optional<FileMeta>> fetch(const AheadRequests& requests, const QString& suffix,
                                         const QString& root, AnswersAhead& into,
                                         const QStringList& directories = {});

private:
    struct Shared;
    // One thread's loop: jobs while there are any, and an end after a while without.
    static void serve(const std::shared_ptr<Shared>& shared, const Factory& factory,
                      const std::shared_ptr<ShareClock>& clock);
    // Holds the caller until every job has run on one of the threads.
    void runAll(std::vector<std::function<void(FileAccess&)>> jobs);

    Factory m_factory;
    std::shared_ptr<ShareClock> m_clock;
    int m_width;
    std::shared_ptr<Shared> m_shared; // threads are started as a fetch needs them
};
