#pragma once

#include "profile/FileAccess.h"

#include <QElapsedTimer>

#include <atomic>
#include <memory>

// How long the file request now running has been waiting: written by the worker's file access
// around each call, read on the window's thread to tell a share that does not answer.
class ShareClock {
public:
    ShareClock() { m_clock.start(); }

    void begin() { m_startedMs.store(m_clock.elapsed() + 1, std::memory_order_relaxed); }
    void end() { m_startedMs.store(0, std::memory_order_relaxed); }
    // 0 while no request runs.
    qint64 runningForMs() const
    {
        const qint64 started = m_startedMs.load(std::memory_order_relaxed);
        return started == 0 ? 0 : m_clock.elapsed() + 1 - started;
    }

private:
    QElapsedTimer m_clock; // monotonic; elapsed() is safe from any thread once started
    std::atomic<qint64> m_startedMs{0};
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

    std::optional<DirectoryListing> listFiles(const QString& dir, const QString& suffix,
                                              const QString& root) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::listFiles(dir, suffix, root);
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
    WriteOutcome writeAtomically(const QString& path, const QByteArray& content,
                                 const QString& root) override
    {
        const Running running(*m_clock);
        return ForwardingFileAccess::writeAtomically(path, content, root);
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
        {
            clock.begin();
        }
        ~Running() { clock.end(); }
        ShareClock& clock;
    };

    std::shared_ptr<ShareClock> m_clock;
};
