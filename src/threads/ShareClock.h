#pragma once

#include "profile/FileAccess.h"

#include <QElapsedTimer>

#include <memory>
#include <mutex>
#include <set>

// How long the oldest file request now running has been waiting: written by the file
// accesses of the worker and of its parallel fetch around each call, read on the window's
// thread to tell a share that does not answer.
class ShareClock {
public:
    ShareClock() { m_clock.start(); }

    // The request's start, which its end hands back.
    qint64 begin()
    {
        const std::lock_guard lock(m_mutex);
        const qint64 started = m_clock.elapsed();
        m_started.insert(started);
        return started;
    }
    void end(qint64 started)
    {
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_started.find(started); found != m_started.end())
            m_started.erase(found);
    }
    // 0 while no request runs.
    qint64 runningForMs() const
    {
        const std::lock_guard lock(m_mutex);
        return m_started.empty() ? 0 : m_clock.elapsed() + 1 - *m_started.begin();
    }

private:
    QElapsedTimer m_clock; // monotonic; elapsed() is safe from any thread once started
    mutable std::mutex m_mutex;
    std::multiset<qint64> m_started;
};

namespace detail {
struct OwnedFileAccess {
    std::unique_ptr<FileAccess> owned;
};
} // namespace detail

// A file access that tells its share clock when each call begins and ends.
class ClockedFileAccess : private detail::OwnedFileAccess, public ForwardingFileAccess {
public:
    ClockedFileAccess(std::unique_ptr<FileAccess> inner, std::shared_ptr<ShareClock> clock)
        : detail::OwnedFileAccess{std::move(inner)}
        , ForwardingFileAccess(*owned)
        , m_clock(std::move(clock))
    {
    }

    std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                  const QString& root, DirectoryTime time) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::listDirectory(dir, suffix, root, time);
    }
    bool isListableDir(const QString& dir) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::isListableDir(dir);
    }
    std::optional<FileMeta> metadata(const QString& path) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::metadata(path);
    }
    std::optional<FileMeta> directoryMetadata(const QString& dir) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::directoryMetadata(dir);
    }
    bool exists(const QString& path) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::exists(path);
    }
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::read(path, maxBytes, root);
    }
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::writeFile(path, content, root, replace);
    }
    bool remove(const QString& path, const QString& root) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::remove(path, root);
    }
    bool makePath(const QString& dir) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::makePath(dir);
    }

private:
    struct Running {
        explicit Running(ShareClock& shared)
            : clock(shared)
            , started(clock.begin())
        {
        }
        ~Running() { clock.end(started); }
        ShareClock& clock;
        const qint64 started;
    };

    std::shared_ptr<ShareClock> m_clock;
};
